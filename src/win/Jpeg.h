#pragma once

// JPEG pictures from the program's resources, decoded into 32-bit DIB sections.

#include <windows.h>

#include <cstddef>

#include "win/UniqueHandle.h"

namespace quorvel::win {

// An empty bitmap when the bytes are not a JPEG the system can decode; never ends the program.
UniqueBitmap DecodeJpeg(const void* data, std::size_t size);

// The JPEG stored as RCDATA under resourceId in module (null: the program itself); an empty
// bitmap when there is no such resource or it does not decode.
UniqueBitmap DecodeJpegResource(int resourceId, HMODULE module = nullptr);

// Width and height of a bitmap; 0 x 0 for an empty one.
SIZE BitmapSize(HBITMAP bitmap);

}  // namespace quorvel::win

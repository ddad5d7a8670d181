#pragma once

// JPEG pictures from the program's resources, decoded into 32-bit DIB sections.

#include <windows.h>

#include <cstddef>
#include <map>
#include <thread>
#include <vector>

#include "win/UniqueHandle.h"

namespace quorvel::win {

// An empty bitmap when the bytes are not a picture WIC can read; never ends the program.
UniqueBitmap DecodeJpeg(const void* data, std::size_t size);

// The JPEG stored as RCDATA under resourceId in module (null: the program itself); an empty
// bitmap when there is no such resource or it does not decode.
UniqueBitmap DecodeJpegResource(int resourceId, HMODULE module = nullptr);

// Width and height of a bitmap; 0 x 0 for an empty one.
SIZE BitmapSize(HBITMAP bitmap);

// The pictures of the first windows, decoded on a thread of their own from the start, while the
// windows are made: loading the decoder is the slowest step of the start-up. Each is handed out
// once; a picture asked for again (a dialog opened a second time) or never listed is decoded there
// and then.
class PicturesAhead {
public:
    PicturesAhead() = default;
    explicit PicturesAhead(std::vector<int> resourceIds);
    PicturesAhead(const PicturesAhead&) = delete;
    PicturesAhead& operator=(const PicturesAhead&) = delete;
    ~PicturesAhead();

    UniqueBitmap Take(int resourceId);

private:
    void Decode(const std::vector<int>& resourceIds);

    std::map<int, UniqueBitmap> decoded_;  // written by the thread until it is joined
    std::thread decoder_;
};

}  // namespace quorvel::win

#pragma once

// One registry value read through the ANSI functions, as the system information tool's
// location is looked up.

#include <windows.h>

#include <optional>
#include <string>

namespace quorvel::win {

// The value valueName under root\keyName as text: strings as they are, 32-bit numbers in
// decimal, empty for a value of another type. Nothing when the key or value cannot be read.
std::optional<std::string> GetKeyValue(HKEY root, const std::string& keyName, const std::string& valueName);

}  // namespace quorvel::win

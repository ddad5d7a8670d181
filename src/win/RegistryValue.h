#pragma once

// One registry value read through the ANSI functions, as the system information tool's
// location is looked up.

#include <windows.h>

#include <string>

namespace quorvel::win {

// One value under KeyRoot\KeyName as text (strings as they are, 32-bit numbers in decimal).
// On failure KeyVal is emptied and the result is false.
bool GetKeyValue(HKEY KeyRoot, const std::string& KeyName, const std::string& SubKeyRef, std::string& KeyVal);

}  // namespace quorvel::win

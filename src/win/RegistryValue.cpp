#include "win/RegistryValue.h"

#include <array>
#include <cstdint>

#include "win/UniqueHandle.h"

namespace quorvel::win {

std::optional<std::string> GetKeyValue(HKEY root, const std::string& keyName, const std::string& valueName) {
    // Read access only: asking for more fails for an ordinary user under HKEY_LOCAL_MACHINE.
    UniqueHkey key;
    if (::RegOpenKeyExA(root, keyName.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return std::nullopt;
    std::array<char, 1024> buffer{};
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD type = 0;
    if (::RegQueryValueExA(
            key.Get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ: {
            std::string text(buffer.data(), size);
            if (const auto end = text.find('\0'); end != std::string::npos) text.resize(end);
            if (type == REG_EXPAND_SZ) {
                std::string expanded(32768, '\0');
                const DWORD length =
                    ::ExpandEnvironmentStringsA(text.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
                if (length > 0 && length <= expanded.size()) {
                    expanded.resize(length - 1);
                    text = expanded;
                }
            }
            return text;
        }
        case REG_DWORD:
            if (size == 4) {
                const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
                const std::uint32_t value =
                    bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t{bytes[3]} << 24);
                return std::to_string(value);
            }
            break;
        default: break;
    }
    return std::string();
}

}  // namespace quorvel::win

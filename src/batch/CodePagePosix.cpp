// Code pages through the C library's iconv, away from Windows.

#include <iconv.h>

#include <cerrno>
#include <mutex>

#include "CodePage.h"
#include "Utf8.h"

namespace quorvel {
namespace {

bool IsDoubleByte(unsigned number) { return number == 932 || number == 936 || number == 949 || number == 950; }

class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (IsOpen()) iconv_close(handle_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool IsOpen() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of input, appending to output. On a sequence it cannot convert, stops there
    // and gives the bytes of input left (never 0 then); 0 when all was converted.
    std::size_t Convert(std::string_view input, std::string& output) {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        while (true) {
            char buffer[1024];
            char* out = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = iconv(handle_, inLeft != 0 ? &in : nullptr, &inLeft, &out, &outLeft);
            output.append(buffer, sizeof buffer - outLeft);
            if (result != static_cast<std::size_t>(-1)) {
                if (inLeft == 0) return 0;
                continue;
            }
            if (errno == E2BIG) continue;
            return inLeft != 0 ? inLeft : 1;
        }
    }

private:
    iconv_t handle_;
};

class IconvCodePage final : public CodePage {
public:
    IconvCodePage(unsigned number, const char* name)
        : number_(number), encoder_(name, "UTF-8"), decoder_("UTF-8", name) {
        if (!IsOpen() || IsDoubleByte(number) || number == kCodePageUtf8) return;
        // A Windows single-byte code page reads a byte it leaves undefined in 0x80..0x9F as
        // the C1 control of the same value; iconv knows no such byte.
        for (unsigned byte = 0x80; byte <= 0x9F; ++byte) {
            std::string utf8;
            const char single = static_cast<char>(byte);
            if (decoder_.Convert(std::string_view(&single, 1), utf8) != 0) undefined_[byte - 0x80] = true;
        }
    }

    bool IsOpen() const { return encoder_.IsOpen() && decoder_.IsOpen(); }

    unsigned Number() const override { return number_; }

    bool Encode(std::string_view utf8, std::string& bytes) const override {
        bytes.clear();
        if (CopiedAsAscii(utf8, bytes)) return true;
        const std::lock_guard<std::mutex> lock(mutex_);
        for (std::string_view rest = utf8; !rest.empty();) {
            const std::size_t left = encoder_.Convert(rest, bytes);
            if (left == 0) break;
            rest.remove_prefix(rest.size() - left);
            std::size_t length = 0;
            const char32_t c = NextCodePoint(rest, length);
            if (c < 0x80 || c > 0x9F || !undefined_[c - 0x80]) return false;
            bytes += static_cast<char>(c);
            rest.remove_prefix(length);
        }
        // A conversion that does not read back as the text (a decomposed letter, a look-alike)
        // would name another file.
        std::string back;
        return DecodeLocked(bytes, back) && back == utf8;
    }

    bool Decode(std::string_view bytes, std::string& utf8) const override {
        utf8.clear();
        if (CopiedAsAscii(bytes, utf8)) return true;
        const std::lock_guard<std::mutex> lock(mutex_);
        return DecodeLocked(bytes, utf8);
    }

private:
    bool DecodeLocked(std::string_view bytes, std::string& utf8) const {
        while (!bytes.empty()) {
            const std::size_t left = decoder_.Convert(bytes, utf8);
            if (left == 0) break;
            bytes.remove_prefix(bytes.size() - left);
            const auto byte = static_cast<unsigned char>(bytes.front());
            if (byte < 0x80 || byte > 0x9F || !undefined_[byte - 0x80]) return false;
            utf8 += static_cast<char>(0xC2);
            utf8 += static_cast<char>(byte);
            bytes.remove_prefix(1);
        }
        return true;
    }

    unsigned number_;
    mutable std::mutex mutex_;
    mutable IconvHandle encoder_;
    mutable IconvHandle decoder_;
    bool undefined_[0x20] = {};
};

}  // namespace

Status OpenCodePage(unsigned number, std::unique_ptr<CodePage>& codePage) {
    std::string name = number == kCodePageUtf8 ? std::string("UTF-8") : "CP" + std::to_string(number);
    auto opened = std::make_unique<IconvCodePage>(number, name.c_str());
    if (number == 0 || !opened->IsOpen()) {
        return Status::Fail("This system cannot convert text to the code page " + CodePageLabel(number));
    }
    codePage = std::move(opened);
    return Status::Ok();
}

unsigned PlatformCodePage() { return LocaleCodePage(); }

}  // namespace quorvel

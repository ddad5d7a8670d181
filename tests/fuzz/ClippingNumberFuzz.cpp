// The clipping decision on any pair of typed texts.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "batch/BatchList.h"
#include "batch/JobWriter.h"
#include "batch/BatchRequest.h"

namespace {

// Blanks, a sign, digits with at most one point (at least one digit), blanks.
bool ReferenceNumber(std::string_view text) {
    std::size_t pos = text.find_first_not_of(' ');
    if (pos == std::string_view::npos) return false;
    const std::size_t last = text.find_last_not_of(' ');
    std::string_view body = text.substr(pos, last - pos + 1);
    if (body.front() == '+' || body.front() == '-') body.remove_prefix(1);
    int digits = 0;
    int points = 0;
    for (char c : body) {
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.') {
            ++points;
        } else {
            return false;
        }
    }
    return digits > 0 && points <= 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = size == 0 ? 0 : data[0] % (size + 1);
    const std::string top(bytes.substr(0, cut));
    const std::string bottom(bytes.substr(cut));
    const std::string joined = top + bottom;

    const bool number = quorvel::IsClippingNumber(joined);
    FUZZ_CHECK(number == ReferenceNumber(joined));
    FUZZ_CHECK(quorvel::IsClippingNumber("  " + joined + " ") == number);

    // The request check must agree with the decision and never throw.
    quorvel::BatchJob job;
    job.SourceDirectory = "C:\\Video";
    job.OutputDirectory = "D:\\Out\\";
    job.SourceNames = {"a.avi"};
    quorvel::AdvancedOptions options;
    options.TopClipping = top;
    options.BottomClipping = bottom;
    FUZZ_CHECK(quorvel::CheckBatchRequest(job, options).IsOk() == number);
    return 0;
}

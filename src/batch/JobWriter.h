#pragma once

// The writer of one job item of a batch list and of the built-in encoding block.

#include <string>
#include <string_view>

#include "BatchList.h"
#include "BatchOutput.h"
#include "BatchRequest.h"
#include "Status.h"

namespace quorvel {

// Lines of a job item besides its encoding block.
inline constexpr int kJobLinesWithoutBlock = 93;
inline constexpr int kBuiltInBlockLines = 105;

// The 105 lines of the built-in Super Video CD (PAL) settings.
void WriteDefaultMpegSettings(BatchOutput& out);

// One job item for fileName, which already carries the '#39' form of its quotes. Fails
// (having written part of the item) when the template cannot be read or the clipping
// texts are not a number.
Status PrintItemToBatch(BatchOutput& out, std::string_view fileName, const BatchJob& job,
                        const AdvancedOptions& options, AnsiEncoder encoder = PlatformAnsiEncoder());

// The code the list holds for an aspect ratio text; 1 for any text not in the dialog's list.
int AspectRatioCode(std::string_view aspectRatio);

// Clipping is on when the joined texts read as a number other than zero. Only meaningful
// when IsClippingNumber holds for the joined text.
bool IsClippingOn(std::string_view joined);

}  // namespace quorvel

#pragma once

// The writer of one job item of a batch list and of the built-in encoding block.

#include <string>
#include <string_view>

#include "BatchOutput.h"
#include "BatchRequest.h"
#include "CodePage.h"
#include "Status.h"

namespace quorvel {

// Lines of a job item besides its encoding block.
inline constexpr int kJobLinesWithoutBlock = 93;
inline constexpr int kBuiltInBlockLines = 105;

// The 105 lines of the built-in Super Video CD (PAL) settings.
void WriteDefaultMpegSettings(BatchOutput& out);

// One job item for job.SourceNames[source]; fileName is that name already in the '#39' form
// of its quotes, its paths written in the code page. Fails (having written part of the item)
// when the template cannot be read, the clipping texts are not a number or the code page
// cannot hold a path.
Status PrintItemToBatch(BatchOutput& out, std::string_view fileName, const BatchJob& job,
                        const AdvancedOptions& options, const CodePage& codePage, std::size_t source = 0);

// One job item whose encoding block is already at hand: the built-in lines, or a template's
// lines read once for the whole run (ReadTemplateSettings).
Status WriteJobItem(BatchOutput& out, std::string_view fileName, const BatchJob& job, const AdvancedOptions& options,
                    const CodePage& codePage, std::string_view encodingBlock, std::size_t source = 0);

// The encoding block of every job of a request: the template's filtered lines, or the built-in ones.
Status ReadEncodingBlock(const BatchJob& job, std::string& block);

// The clipping decision: the joined text is a number when it is optional blanks, an optional
// sign, digits with at most one decimal point (at least one digit), optional blanks.
bool IsClippingNumber(std::string_view joined);
// Refuses clipping texts that do not join into a number, naming both texts.
Status CheckClipping(const AdvancedOptions& options);

// Clipping is on when the joined texts read as a number other than zero. Only meaningful
// when IsClippingNumber holds for the joined text.
bool IsClippingOn(std::string_view joined);

}  // namespace quorvel

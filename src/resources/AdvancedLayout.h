#pragma once

#include "resources/Layout.h"

namespace quorvel::layout {

// The Advanced options dialog as it looks when it is loaded.
extern const Window kAdvancedLayout;

// The aspect ratio texts, in list order; the job writer compares against these texts.
extern const wchar_t* const kAspectRatioItems[9];
extern const wchar_t* const kVideoSourceTypeItems[2];

}  // namespace quorvel::layout

#pragma once

#include "resources/Layout.h"

namespace quorvel::layout {

// The output directory dialog as it looks when it is loaded.
extern const Window kOutputDirLayout;

}  // namespace quorvel::layout

#pragma once

#include "resources/Layout.h"

namespace quorvel::layout {

// frmAbout as it is created: navy background, transparent labels, three lines, the picture.
const Window& AboutLayout();

}  // namespace quorvel::layout

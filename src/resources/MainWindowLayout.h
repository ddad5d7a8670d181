#pragma once

#include "resources/Layout.h"

namespace quorvel::layout {

// FrmQuorvel as it is created: 27 controls, twips, tab order, fonts and colours.
const Window& MainWindowLayout();

// The pattern box's items, in list order; the box starts with the text of the first.
std::span<const wchar_t* const> FilePatternItems();

}  // namespace quorvel::layout

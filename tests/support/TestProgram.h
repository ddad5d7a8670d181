#pragma once

// The one program of a test run, as WinMain makes it, and short names for its parts.

#include "app/Program.h"

namespace quorvel::testing {

Program& TheProgram();

inline FrmQuorvel& MainWindow() { return TheProgram().MainWindow(); }
inline FrmAbout& AboutDialog() { return TheProgram().AboutDialog(); }
inline FrmAdvanced& AdvancedDialog() { return TheProgram().AdvancedDialog(); }
inline FrmSelectOutputDir& OutputDirectoryDialog() { return TheProgram().OutputDirectoryDialog(); }
inline win::SettingsStore& Settings() { return TheProgram().Settings(); }

}  // namespace quorvel::testing

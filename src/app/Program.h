#pragma once

// The running program's windows and settings store: one of each per process. A window that is
// destroyed (a dialog unloaded) can be created again through the same object.

namespace quorvel {

class FrmQuorvel;
class FrmAbout;
class FrmAdvanced;
class FrmSelectOutputDir;
class SettingsStore;

FrmQuorvel& MainWindow();
FrmAbout& AboutDialog();
FrmAdvanced& AdvancedDialog();
FrmSelectOutputDir& OutputDirectoryDialog();
SettingsStore& Settings();

}  // namespace quorvel

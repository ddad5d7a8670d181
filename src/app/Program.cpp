#include "app/Program.h"

#include "app/FrmQuorvel.h"
#include "app/SettingsStore.h"
#include "dialogs/FrmAbout.h"
#include "dialogs/FrmAdvanced.h"
#include "dialogs/FrmSelectOutputDir.h"

namespace quorvel {

// Made on first use, so each exists before anything can ask for it.
FrmQuorvel& MainWindow() {
    static FrmQuorvel window;
    return window;
}

FrmAbout& AboutDialog() {
    static FrmAbout window;
    return window;
}

FrmAdvanced& AdvancedDialog() {
    static FrmAdvanced window;
    return window;
}

FrmSelectOutputDir& OutputDirectoryDialog() {
    static FrmSelectOutputDir window;
    return window;
}

SettingsStore& Settings() {
    static SettingsStore store;
    return store;
}

}  // namespace quorvel

#pragma once

// The running program: its settings store, its launcher and its four windows, wired together.
// A window that is destroyed (a dialog unloaded) can be created again through the same object.

#include "app/FrmQuorvel.h"
#include "dialogs/FrmAbout.h"
#include "dialogs/FrmAdvanced.h"
#include "dialogs/FrmSelectOutputDir.h"
#include "win/KeyboardNavigation.h"
#include "win/Launch.h"
#include "win/SettingsStore.h"

namespace quorvel {

class Program {
public:
    Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    win::KeyboardNavigation& Keyboard() { return keyboard_; }
    win::MessageSink& Messages() { return messages_; }
    win::SettingsStore& Settings() { return settings_; }
    win::DirectoryProbe& Directories() { return directories_; }
    win::Launcher& Launch() { return launcher_; }
    CommonDialogApi& FileDialogs() { return fileDialogs_; }
    FrmQuorvel& MainWindow() { return main_; }
    FrmAbout& AboutDialog() { return about_; }
    FrmAdvanced& AdvancedDialog() { return advanced_; }
    FrmSelectOutputDir& OutputDirectoryDialog() { return outputDirectory_; }

private:
    win::KeyboardNavigation keyboard_;
    win::MessageSink messages_;
    const win::WindowServices windows_{keyboard_, messages_};
    win::SettingsStore settings_;
    win::DirectoryProbe directories_;
    win::Launcher launcher_;
    CommonDialogApi fileDialogs_;
    FrmAbout about_;
    FrmAdvanced advanced_;
    FrmSelectOutputDir outputDirectory_;
    FrmQuorvel main_;
};

}  // namespace quorvel

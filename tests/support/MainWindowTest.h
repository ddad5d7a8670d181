#pragma once

// A fresh main window for each test: throwaway settings, recorded messages and launches, and a
// working directory of the test's own.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "WindowTestSupport.h"
#include "app/FrmQuorvel.h"
#include "win/Launch.h"
#include "TestProgram.h"
#include "dialogs/FrmAbout.h"
#include "win/DirectoryLists.h"

namespace quorvel::testing {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(registry_.Active()) << "no throwaway HKEY_CURRENT_USER";
        TheProgram().Launch().SetRecorder([this](const win::LaunchRequest& request) {
            launches_.push_back(request);
            return launchSucceeds_;
        });
        working_ = std::make_unique<CurrentDirectoryScope>(temp_.Path());
        // A fresh start: windows another kind of test left open go first.
        Close();
        if (AdvancedDialog().IsLoaded()) ::DestroyWindow(AdvancedDialog().Window());
        if (OutputDirectoryDialog().IsLoaded()) ::DestroyWindow(OutputDirectoryDialog().Window());
        Pump();
    }

    void TearDown() override {
        Close();
        TheProgram().Directories().Simulate({});
        TheProgram().Launch().SetRecorder({});
        working_.reset();
    }

    FrmQuorvel& Start() {
        EXPECT_TRUE(MainWindow().ShowOrActivate());
        Pump();
        return MainWindow();
    }

    void Close() {
        if (AboutDialog().IsLoaded()) ::DestroyWindow(AboutDialog().Window());
        if (MainWindow().IsCreated()) ::DestroyWindow(MainWindow().Window());
        Pump();
        ForgetQuit();
    }

    FrmQuorvel& Restart() {
        Close();
        return Start();
    }

    HWND Control(FrmQuorvel::Id id) { return MainWindow().Control(id); }
    HWND Named(std::wstring_view name) {
        return ControlNamed(MainWindow().Window(), layout::mainwindow::kWindow, name);
    }
    std::wstring DirectoryShown() { return MainWindow().FileListDirectory(); }
    std::vector<std::wstring> Files() { return ListItems(Control(L"filList")); }

    ProgramScope program_;
    ScratchRegistry registry_;
    MessageRecorder messages_;
    TempDirectory temp_;
    std::vector<win::LaunchRequest> launches_;
    bool launchSucceeds_ = true;

private:
    std::unique_ptr<CurrentDirectoryScope> working_;
};

}  // namespace quorvel::testing

#pragma once

// A fresh main window for each test: throwaway settings, recorded messages and launches, and a
// working directory of the test's own.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "app/FrmQuorvel.h"
#include "app/Launch.h"
#include "app/Program.h"
#include "dialogs/FrmAbout.h"
#include "selection/BrowserLists.h"

namespace quorvel::testing {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(registry_.Active()) << "no throwaway HKEY_CURRENT_USER";
        SetLaunchRecorder([this](const LaunchRequest& request) {
            launches_.push_back(request);
            return launchSucceeds_;
        });
        working_ = std::make_unique<CurrentDirectoryScope>(temp_.Path());
    }

    void TearDown() override {
        Close();
        SetDirectoryProbe({});
        SetLaunchRecorder({});
        working_.reset();
    }

    FrmQuorvel& Start() {
        EXPECT_TRUE(MainWindow().Create());
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

    HWND Control(const wchar_t* name) { return MainWindow().Control(name); }
    std::wstring DirectoryShown() { return MainWindow().FileListDirectory(); }
    std::vector<std::wstring> Files() { return ListItems(Control(L"filList")); }

    ScratchRegistry registry_;
    MessageRecorder messages_;
    TempDirectory temp_;
    std::vector<LaunchRequest> launches_;
    bool launchSucceeds_ = true;

private:
    std::unique_ptr<CurrentDirectoryScope> working_;
};

}  // namespace quorvel::testing

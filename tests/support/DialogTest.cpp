#include "DialogTest.h"

#include "DialogSupport.h"
#include "TestProgram.h"
#include "dialogs/FrmAdvanced.h"
#include "dialogs/FrmSelectOutputDir.h"

namespace quorvel::testing {

const std::wstring& SourceDirectory() {
    static TempDirectory sources;
    static const bool filled = [] {
        for (const wchar_t* name : {L"clip1.avi", L"clip2.avi", L"clip3.mpg", L"it's.avi"}) sources.MakeFile(name);
        return true;
    }();
    (void)filled;
    return sources.Path();
}

FrmQuorvel& MainWindowForTests() {
    FrmQuorvel& main = MainWindow();
    if (!main.IsCreated()) {
        Registry().SetSetting(L"DirInput", SourceDirectory());
        EXPECT_TRUE(main.ShowOrActivate());
        Pump();
    }
    return main;
}

void UnloadDialogs() {
    if (AdvancedDialog().IsLoaded()) ::DestroyWindow(AdvancedDialog().Window());
    if (OutputDirectoryDialog().IsCreated()) ::DestroyWindow(OutputDirectoryDialog().Window());
    Pump();
}

void DialogTest::SetUp() {
    MainWindowForTests();
    UnloadDialogs();
    ForgetSettings();
    Messages().clear();
}

void DialogTest::TearDown() { UnloadDialogs(); }

}  // namespace quorvel::testing

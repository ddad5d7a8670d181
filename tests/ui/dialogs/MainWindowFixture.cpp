#include "MainWindowFixture.h"

#include "Support.h"
#include "app/Program.h"
#include "dialogs/FrmAdvanced.h"
#include "dialogs/FrmSelectOutputDir.h"

namespace quorvel::test {

const std::wstring& SourceDirectory() {
    static ScratchDirectory sources;
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
        StoreSetting(L"DirInput", SourceDirectory());
        main.Create();
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
    SetOnMessage(nullptr);
}

void DialogTest::TearDown() {
    SetOnMessage(nullptr);
    UnloadDialogs();
}

}  // namespace quorvel::test

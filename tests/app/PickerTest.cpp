#include <windows.h>

#include <dlgs.h>
#include <gtest/gtest.h>

#include <string>

#include "DialogDriver.h"
#include "DialogTest.h"
#include "DialogSupport.h"
#include "TestProgram.h"
#include "dialogs/FrmAdvanced.h"

namespace quorvel::testing {
namespace {

// What the dialog showed when the driver found it.
struct Seen {
    std::wstring Title;
    std::wstring FileName;
    std::wstring FirstFilter;
};

// The dialog pads the proposed name with blanks to make room for the answer.
std::wstring Trimmed(std::wstring text) {
    while (!text.empty() && text.back() == L' ') text.pop_back();
    return text;
}

Seen Look(HWND dialog) {
    Seen seen{TextOf(dialog), Trimmed(TextOf(FileNameBox(dialog))), {}};
    HWND filters = ::GetDlgItem(dialog, cmb1);
    wchar_t text[256]{};
    if (filters && ::SendMessageW(filters, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text)) > 0)
        seen.FirstFilter = text;
    return seen;
}

class PickerTest : public DialogTest {
protected:
    FrmQuorvel& Main() { return MainWindowForTests(); }
};

TEST_F(PickerTest, CancellingEitherFileDialogLeavesItsBoxAsItWas) {
    TempDirectory jobs;
    struct Case {
        FrmQuorvel::Id Box;
        void (FrmQuorvel::*Browse)();
        Seen Expected;
    };
    const Case cases[] = {
        {L"txtFileOutput",
         &FrmQuorvel::cmdFindBatchFile_Click,
         {L"Select DIZIV Izeru Ruzi Filename", L"TMPEG_Batch.tbe", L"TMPEG Batch Files (*.tbe)"}},
        {L"txtTemplateFile",
         &FrmQuorvel::cmdFindTemplateFile_Click,
         {L"Select TMPEG Template File", L"", L"TMPEG Template (*.mcf)"}},
    };
    for (const Case& c : cases) {
        const std::wstring before = jobs.Path() + L"\\";
        Main().SetText(c.Box, before);
        Seen seen;
        DialogDriver driver({[&](HWND dialog) {
            seen = Look(dialog);
            Press(dialog, IDCANCEL);
        }});
        (Main().*c.Browse)();
        EXPECT_EQ(driver.StepsDone(), 1u);
        EXPECT_FALSE(driver.TimedOut());
        EXPECT_EQ(seen.Title, c.Expected.Title);
        EXPECT_EQ(seen.FileName, c.Expected.FileName);
        EXPECT_EQ(seen.FirstFilter, c.Expected.FirstFilter);
        EXPECT_EQ(Main().Text(c.Box), before);
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PickerTest, AFileChosenInTheStartDirectoryFillsTheBoxWithItsPath) {
    TempDirectory jobs;
    jobs.MakeFile(L"a.tbe");
    Main().SetText(L"txtFileOutput", jobs.Path() + L"\\");
    DialogDriver driver({[&](HWND dialog) {
        TypeFileName(dialog, L"a.tbe");
        Press(dialog, IDOK);
    }});
    Main().cmdFindBatchFile_Click();
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_EQ(Main().Text(L"txtFileOutput"), jobs / L"a.tbe");
}

// Names the ANSI code page cannot hold come back whole from both pickers.
TEST_F(PickerTest, AFileInACyrillicFolderComesBackWithItsWholeName) {
    TempDirectory jobs;
    const std::wstring folder = jobs.Path() + L"\\\u0432\u0438\u0434\u0435\u043e";  // видео
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring list = L"\u65e5\u672c\u8a9e \u03ac.tbe";
    const std::wstring settings = L"\u0395\u03bb\u03bb\u03ac\u03b4\u03b1.mcf";
    for (const std::wstring& name : {list, settings}) WriteBytes(folder + L"\\" + name, "");

    Main().SetText(L"txtFileOutput", folder + L"\\");
    DialogDriver batchDriver({[&](HWND dialog) {
        TypeFileName(dialog, list);
        Press(dialog, IDOK);
    }});
    Main().cmdFindBatchFile_Click();
    EXPECT_FALSE(batchDriver.TimedOut());
    EXPECT_EQ(Main().Text(L"txtFileOutput"), folder + L"\\" + list);

    Main().SetText(L"txtTemplateFile", folder);
    DialogDriver templateDriver({[&](HWND dialog) {
        TypeFileName(dialog, settings);
        Press(dialog, IDOK);
    }});
    Main().cmdFindTemplateFile_Click();
    EXPECT_FALSE(templateDriver.TimedOut());
    EXPECT_EQ(Main().Text(L"txtTemplateFile"), folder + L"\\" + settings);
    for (const std::wstring& name : {list, settings}) ::DeleteFileW((folder + L"\\" + name).c_str());
    ::RemoveDirectoryW(folder.c_str());
}

TEST_F(PickerTest, OfSeveralTemplatesTheFirstIsTakenWithOneBackslash) {
    TempDirectory templates;
    templates.MakeFile(L"a.mcf");
    templates.MakeFile(L"b.mcf");
    Main().SetText(L"txtTemplateFile", templates.Path());
    Seen seen;
    DialogDriver driver({[&](HWND dialog) {
        seen = Look(dialog);
        TypeFileName(dialog, L"\"a.mcf\" \"b.mcf\"");
        Press(dialog, IDOK);
    }});
    Main().cmdFindTemplateFile_Click();
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_EQ(seen.Title, L"Select TMPEG Template File");
    EXPECT_EQ(seen.FileName, L"");
    EXPECT_EQ(Main().Text(L"txtTemplateFile"), templates / L"a.mcf");
}

TEST_F(PickerTest, BrowsingForTheEncoderFillsThePathBoxAndCancelKeepsIt) {
    const std::wstring besideProgram = win::ProgramFolder() + L"TMPGEnc.exe";
    {
        TempDirectory unused;
        ::CopyFileW((unused.MakeFile(L"e.exe")).c_str(), besideProgram.c_str(), FALSE);
    }
    FrmAdvanced& advanced = AdvancedDialog();
    ASSERT_TRUE(advanced.ShowOrActivate(Main().Window()));
    Pump();
    HWND path = advanced.Control(L"txtCommandLineTMPGEnc");

    Seen seen;
    {
        DialogDriver driver({[&](HWND dialog) {
            seen = Look(dialog);
            Press(dialog, IDOK);  // the proposed TMPGEnc.exe in the program's folder
        }});
        advanced.cmdFindTMPEG_Click();
        EXPECT_FALSE(driver.TimedOut());
    }
    EXPECT_EQ(seen.Title, L"Select TMPEG Batch Encoder EXE");
    EXPECT_EQ(seen.FileName, L"TMPGEnc.exe");
    EXPECT_EQ(seen.FirstFilter, L"TMPEG Batch Encoder (TMPGEnc.exe)");
    EXPECT_EQ(TextOf(path), besideProgram);
    EXPECT_FALSE(IsChecked(advanced.Control(L"chkAutoRun"))) << "browsing sets no check";

    {
        DialogDriver driver({[&](HWND dialog) { Press(dialog, IDCANCEL); }});
        advanced.cmdFindTMPEG_Click();
        EXPECT_FALSE(driver.TimedOut());
    }
    EXPECT_EQ(TextOf(path), besideProgram);
    ::DeleteFileW(besideProgram.c_str());
}

}  // namespace
}  // namespace quorvel::testing

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogTest.h"
#include "DialogSupport.h"
#include "TestProgram.h"
#include "batch/BatchList.h"
#include "dialogs/FrmAdvanced.h"
#include "batch/TextWindows.h"

namespace quorvel::testing {
namespace {

constexpr wchar_t kCreated[] = L"Created Batch List to file ";
constexpr wchar_t kFailed[] = L"Could not create the batch list: ";

class CreateCommandTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        ::DeleteFileW(EncoderRecordPath().c_str());
        Select({});
    }
    FrmQuorvel& Main() { return MainWindowForTests(); }
    FrmAdvanced& Advanced() { return AdvancedDialog(); }

    // Selects exactly these entries of the file list.
    void Select(const std::vector<std::wstring>& names) {
        HWND list = Main().Control(L"filList");
        ::SendMessageW(list, LB_SETSEL, FALSE, -1);
        for (const std::wstring& name : names) {
            const LRESULT line = ::SendMessageW(
                list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name.c_str()));
            ASSERT_NE(line, LB_ERR) << "not listed";
            ::SendMessageW(list, LB_SETSEL, TRUE, line);
        }
    }
    // The selected names in the list's order: the order the job lines take.
    std::vector<std::string> SelectedInListOrder() {
        HWND list = Main().Control(L"filList");
        std::vector<std::string> names;
        const int count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            if (::SendMessageW(list, LB_GETSEL, i, 0) <= 0) continue;
            wchar_t text[MAX_PATH]{};
            ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            names.push_back(Narrow(text));
        }
        return names;
    }
    void SetRequest(const std::wstring& batchFile, const std::wstring& templateFile, const std::wstring& outputDir) {
        Main().SetText(L"txtFileOutput", batchFile);
        Main().SetText(L"txtTemplateFile", templateFile);
        Main().SetText(L"txtOutputDirectory", outputDir);
    }
    // Auto-launch set through the dialog with an encoder that passes the check.
    void SetAutoLaunch(const std::wstring& encoder) {
        EXPECT_TRUE(Advanced().ShowOrActivate(Main().Window()));
        Pump();
        SetTextOf(Advanced().Control(L"txtCommandLineTMPGEnc"), encoder);
        Click(Advanced().Control(L"chkAutoRun"));
        ASSERT_TRUE(IsChecked(Advanced().Control(L"chkAutoRun")));
        Click(Advanced().Control(L"cmdOK"));
    }
    void ClickCreateBatch() {
        HWND picture = Main().Control(L"Image2");
        ::SendMessageW(Main().Window(),
                       WM_COMMAND,
                       MAKEWPARAM(::GetDlgCtrlID(picture), BN_CLICKED),
                       reinterpret_cast<LPARAM>(picture));
        Pump();
    }
    std::vector<std::wstring> MessageTexts() {
        std::vector<std::wstring> texts;
        for (const ShownMessage& m : Messages()) texts.push_back(m.Text);
        return texts;
    }
    // Copies the fake encoder to a path with blanks, under the name the user would pick.
    std::wstring InstallEncoder(const TempDirectory& scratch) {
        const std::wstring folder = scratch.MakeDirectory(L"Encoder Dir");
        const std::wstring encoder = folder + L"\\TMPGEnc.exe";
        EXPECT_TRUE(::CopyFileW((win::ProgramFolder() + L"quorvel_fake_encoder.exe").c_str(), encoder.c_str(), FALSE));
        return encoder;
    }
};

TEST_F(CreateCommandTest, CreateBatchWritesTheCoresListForTheRequestInTheControls) {
    TempDirectory out;
    const std::wstring batch = out / L"list.tbe";
    const std::wstring outputDir = out.MakeDirectory(L"mpg") + L"\\";
    SetRequest(batch, L"", outputDir);
    Select({L"it's.avi", L"clip3.mpg", L"clip1.avi"});

    EXPECT_TRUE(Advanced().ShowOrActivate(Main().Window()));
    Pump();
    SetTextOf(Advanced().Control(L"cmbAspectRatio"), L"16:9 Display");
    SetTextOf(Advanced().Control(L"cmbVideoSourceType"), L"Interlace");
    SetTextOf(Advanced().Control(L"txtTopClipping"), L"8");
    SetTextOf(Advanced().Control(L"txtBottomClipping"), L"16");
    Click(Advanced().Control(L"chkDeinterlace"));
    Click(Advanced().Control(L"chktNoiseReduction"));
    Click(Advanced().Control(L"cmdOK"));
    Messages().clear();

    ClickCreateBatch();
    EXPECT_EQ(MessageTexts(), std::vector<std::wstring>{kCreated + batch});
    const std::string written = ReadBytes(batch);
    ASSERT_FALSE(written.empty());

    BatchJob job;
    job.BatchFile = Narrow(batch);
    job.OutputDirectory = Narrow(outputDir);
    job.SourceDirectory = Narrow(SourceDirectory());
    job.SourceNames = SelectedInListOrder();
    ASSERT_EQ(job.SourceNames.size(), 3u);
    AdvancedOptions options;
    options.AspectRatio = "16:9 Display";
    options.VideoSourceType = "Interlace";
    options.TopClipping = "8";
    options.BottomClipping = "16";
    options.Deinterlace = 1;
    options.NoiseReduction = 1;
    ASSERT_TRUE(WriteBatchList(job, options).IsOk());
    EXPECT_EQ(written, ReadBytes(batch));
}

TEST_F(CreateCommandTest, TheHiddenCreateButtonWritesAnEmptyListWithoutAsking) {
    TempDirectory out;
    const std::wstring batch = out / L"empty.tbe";
    SetRequest(batch, L"", out.Path() + L"\\");
    Main().cmdCreate_Click();
    Pump();
    // Taking the options loaded the dialog, which shows it.
    EXPECT_TRUE(Advanced().IsLoaded());
    EXPECT_TRUE(::IsWindowVisible(Advanced().Window()));
    EXPECT_EQ(MessageTexts(), std::vector<std::wstring>{kCreated + batch});

    const std::string written = ReadBytes(batch);
    BatchJob job;
    job.BatchFile = Narrow(batch);
    job.OutputDirectory = Narrow(out.Path() + L"\\");
    job.SourceDirectory = Narrow(SourceDirectory());
    ASSERT_TRUE(WriteBatchList(job, AdvancedOptions()).IsOk());
    EXPECT_EQ(written, ReadBytes(batch));
}

TEST_F(CreateCommandTest, TheTwoRefusalsWriteNothing) {
    TempDirectory out;
    const std::wstring spaced = out.MakeDirectory(L"with blank") + L"\\list.tbe";
    SetRequest(spaced, L"", out.Path() + L"\\");
    SetAutoLaunch(out.MakeFile(L"enc.exe"));
    Messages().clear();

    // A blank with auto-launch: only that message, even with nothing selected.
    ClickCreateBatch();
    EXPECT_EQ(
        MessageTexts(),
        std::vector<std::wstring>{L"The batch file (and path) cannot have any spaces in it to run automatically"});
    EXPECT_EQ(::GetFocus(), Main().Control(L"txtFileOutput"));
    EXPECT_FALSE(FileExists(spaced));

    // Nothing selected: the old list stays as it was.
    const std::wstring batch = out / L"old.tbe";
    WriteBytes(batch, "object TTMPGEncBatchEncodeList\r\n");
    Main().SetText(L"txtFileOutput", batch);
    Messages().clear();
    ClickCreateBatch();
    EXPECT_EQ(MessageTexts(), std::vector<std::wstring>{L"No Files select to add to batch"});
    EXPECT_EQ(::GetFocus(), Main().Control(L"filList"));
    EXPECT_EQ(ReadBytes(batch), "object TTMPGEncBatchEncodeList\r\n");

    // Without auto-launch the blank is fine.
    Click(Advanced().Control(L"chkAutoRun"));
    Main().SetText(L"txtFileOutput", spaced);
    Select({L"clip1.avi"});
    Messages().clear();
    ClickCreateBatch();
    EXPECT_EQ(MessageTexts(), std::vector<std::wstring>{kCreated + spaced});
    EXPECT_TRUE(FileExists(spaced));
}

TEST_F(CreateCommandTest, AFailedRunSaysWhyOnceAndKeepsTheOldListAndStartsNothing) {
    TempDirectory out;
    const std::wstring batch = out / L"list.tbe";
    WriteBytes(batch, "object TTMPGEncBatchEncodeList\r\n");
    const std::wstring missingTemplate = out / L"svcd.mcf";
    SetRequest(batch, missingTemplate, out.Path() + L"\\");
    SetAutoLaunch(InstallEncoder(out));
    Select({L"clip1.avi"});
    Messages().clear();

    ClickCreateBatch();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Text.rfind(kFailed, 0), 0u)
        << std::string(Messages()[0].Text.begin(), Messages()[0].Text.end());
    EXPECT_NE(Messages()[0].Text.find(L"svcd.mcf"), std::wstring::npos);
    EXPECT_EQ(ReadBytes(batch), "object TTMPGEncBatchEncodeList\r\n");

    // An output that would overwrite its own source is refused by the core in the same way.
    Main().SetText(L"txtTemplateFile", L"");
    Main().SetText(L"txtOutputDirectory", SourceDirectory() + L"\\");
    Select({L"clip3.mpg"});
    Messages().clear();
    ClickCreateBatch();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Text.rfind(kFailed, 0), 0u);
    EXPECT_EQ(ReadBytes(batch), "object TTMPGEncBatchEncodeList\r\n");
    EXPECT_FALSE(FileExists(EncoderRecordPath()));
}

// The cursor the file list saw when the selection was read from it.
HCURSOR cursorWhileRead = nullptr;
WNDPROC fileListProcedure = nullptr;
LRESULT CALLBACK WatchFileList(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == LB_GETSELITEMS) cursorWhileRead = ::GetCursor();
    return ::CallWindowProcW(fileListProcedure, window, message, wParam, lParam);
}

TEST_F(CreateCommandTest, TheWaitCursorIsUpWhileTheListIsWrittenAndGoneBeforeTheMessage) {
    TempDirectory out;
    const std::wstring batch = out / L"list.tbe";
    SetRequest(batch, L"", out.Path() + L"\\");
    Select({L"clip1.avi", L"clip3.mpg"});
    HWND list = Main().Control(L"filList");
    fileListProcedure =
        reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchFileList)));
    const HCURSOR wait = ::LoadCursorW(nullptr, IDC_WAIT);
    Messages().clear();

    cursorWhileRead = nullptr;
    ClickCreateBatch();
    EXPECT_EQ(cursorWhileRead, wait);
    ASSERT_EQ(MessageTexts(), std::vector<std::wstring>{kCreated + batch});
    EXPECT_FALSE(Messages()[0].WaitCursor);

    // A run that fails gives the cursor back too.
    Main().SetText(L"txtTemplateFile", out / L"missing.mcf");
    Messages().clear();
    cursorWhileRead = nullptr;
    ClickCreateBatch();
    EXPECT_EQ(cursorWhileRead, wait);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Text.rfind(kFailed, 0), 0u);
    EXPECT_FALSE(Messages()[0].WaitCursor);
    ::SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(fileListProcedure));
}

TEST_F(CreateCommandTest, TheEncoderStartsMinimisedOnTheNewListAfterTheMessage) {
    TempDirectory out;
    const std::wstring batch = out / L"list.tbe";
    const std::wstring encoder = InstallEncoder(out);
    SetRequest(batch, L"", out.Path() + L"\\");
    SetAutoLaunch(encoder);
    Select({L"clip2.avi"});
    Messages().clear();

    ClickCreateBatch();
    ASSERT_EQ(MessageTexts(), std::vector<std::wstring>{kCreated + batch});
    EXPECT_FALSE(Messages()[0].EncoderHadStarted) << "the message comes first";
    ASSERT_TRUE(PumpUntil([] { return FileExists(EncoderRecordPath()); }));

    const std::wstring record = Widen(ReadBytes(EncoderRecordPath()));
    const std::wstring commandLine = record.substr(0, record.find(L"\r\n"));
    EXPECT_EQ(commandLine, L"\"" + encoder + L"\" /batch \"" + batch + L"\"");
    EXPECT_EQ(record.substr(record.find(L"\r\n") + 2), std::to_wstring(SW_SHOWMINIMIZED) + L"\r\n");
    EXPECT_TRUE(FileExists(batch));
    EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(CreateCommandTest, AnEncoderThatCannotStartIsReportedAndNothingEnds) {
    TempDirectory out;
    const std::wstring batch = out / L"list.tbe";
    SetRequest(batch, L"", out.Path() + L"\\");
    SetAutoLaunch(out.MakeFile(L"enc.exe"));
    Select({L"clip1.avi"});

    // The path is tested only when the box is set; afterwards it may name anything.
    const std::wstring gone = out / L"gone\\TMPGEnc.exe";
    SetTextOf(Advanced().Control(L"txtCommandLineTMPGEnc"), gone);
    Messages().clear();
    ClickCreateBatch();
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[0].Text, kCreated + batch);
    EXPECT_NE(Messages()[1].Text.find(gone), std::wstring::npos);
    EXPECT_GT(Messages()[1].Text.size(), gone.size() + 30) << "the reason is given";
    EXPECT_TRUE(::IsWindow(Main().Window()));

    // A quote in the path would end the quoting early and let the rest run as arguments.
    const std::wstring quoted = out / L"x\" /evil \"y.exe";
    SetTextOf(Advanced().Control(L"txtCommandLineTMPGEnc"), quoted);
    Messages().clear();
    ClickCreateBatch();
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[0].Text, kCreated + batch);
    EXPECT_NE(Messages()[1].Text.find(L"double quote"), std::wstring::npos);
    EXPECT_FALSE(FileExists(EncoderRecordPath()));
}

// Names no Western code page holds: the encoder gets short paths it can open.
TEST_F(CreateCommandTest, AListInACyrillicFolderStartsTheEncoderOnAPathItCanOpen) {
    TempDirectory out;
    const std::wstring folder = out.MakeDirectory(L"\u0432\u0438\u0434\u0435\u043e");   // видео
    const std::wstring batch = folder + L"\\\u03b1\u03c1\u03c7\u03b5\u03af\u03bf.tbe";  // αρχείο.tbe
    const std::wstring encoder = InstallEncoder(out);
    ::DeleteFileW((EncoderRecordPath() + L".list").c_str());
    SetRequest(batch, L"", folder + L"\\");
    SetAutoLaunch(encoder);
    Select({L"clip2.avi", L"it's.avi"});
    Messages().clear();

    ClickCreateBatch();
    ASSERT_EQ(MessageTexts(), std::vector<std::wstring>{kCreated + batch});
    ASSERT_TRUE(PumpUntil([] { return FileExists(EncoderRecordPath()); }));
    const std::string list = ReadBytes(batch);
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(ReadBytes(EncoderRecordPath() + L".list"), list) << "the encoder could not open the list it was given";
    // The outputs go to the folder by a path the encoder can open.
    for (size_t at = list.find("Job.OutputFileName = '"); at != std::string::npos;
         at = list.find("Job.OutputFileName = '", at + 1)) {
        const size_t from = at + 22;
        const std::string output = list.substr(from, list.find('\'', from) - from);
        EXPECT_EQ(output.find('?'), std::string::npos) << output;
        const std::string outputFolder = output.substr(0, output.rfind('\\') + 1);
        EXPECT_NE(::GetFileAttributesA(outputFolder.c_str()), INVALID_FILE_ATTRIBUTES) << output;
    }
}

// What would destroy a file or give the encoder a path it cannot open is refused before writing.
TEST_F(CreateCommandTest, RefusalsNameTheCauseAndKeepEveryFile) {
    TempDirectory out;
    const std::wstring batch = out / L"list.tbe";
    const std::string oldList = "object TTMPGEncBatchEncodeList\r\n\x83\x5C";
    const std::wstring picture = out.MakeFile(L"picture.mcf");
    WriteBytes(picture, std::string("MPEG.a = 1\r\n\0\x89PNG", 17));
    const std::wstring source = SourceDirectory() + L"\\clip1.avi";
    const std::string sourceBytes = ReadBytes(source);
    struct Case {
        std::wstring BatchFile, TemplateFile, OutputDirectory, Refusal;
    };
    const Case cases[] = {
        // Cyrillic, accented Greek and Japanese, or plain Latin: a missing folder is refused alike.
        {batch, L"", out / L"\u043d\u0435\u0442\u03ac\u65e5\\", L" does not exist"},
        {batch, L"", out / L"missing\\", L" does not exist"},
        {batch, L"", batch + L"\\", L" is a file, not a folder"},
        {batch, picture, out.Path() + L"\\", L"is not a text template"},
        {source, L"", out.Path() + L"\\", L"is the source clip1.avi"},
    };
    Select({L"clip1.avi"});
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.Refusal));
        WriteBytes(batch, oldList);
        SetRequest(c.BatchFile, c.TemplateFile, c.OutputDirectory);
        Messages().clear();
        ClickCreateBatch();
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0].Text.rfind(kFailed, 0), 0u);
        EXPECT_NE(Messages()[0].Text.find(c.Refusal), std::wstring::npos) << Narrow(Messages()[0].Text);
        EXPECT_EQ(ReadBytes(batch), oldList);
        EXPECT_EQ(ReadBytes(source), sourceBytes);
    }
}

// An empty output box means the batch file's folder, as the label under it says.
TEST_F(CreateCommandTest, AnEmptyOutputDirectoryIsTheBatchFilesFolder) {
    TempDirectory out;
    const std::wstring batch = out / L"list.tbe";
    SetRequest(batch, L"", L"");
    Select({L"clip1.avi"});
    Messages().clear();
    ClickCreateBatch();
    ASSERT_EQ(MessageTexts(), std::vector<std::wstring>{kCreated + batch});
    EXPECT_NE(ReadBytes(batch).find("Job.OutputFileName = '" + Narrow(out / L"clip1.mpg") + "'"), std::string::npos);
}

// A path longer than the encoder's file calls take is given by its short form.
TEST_F(CreateCommandTest, AnOutputPathOverTheLimitIsGivenByItsShortForm) {
    TempDirectory out;
    std::wstring deep = out.Path();
    while (deep.size() < 270) {
        deep += L"\\" + std::wstring(60, L'd');
        ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr));
    }
    const std::wstring batch = out / L"list.tbe";
    SetRequest(batch, L"", deep + L"\\");
    Select({L"clip1.avi"});
    Messages().clear();
    ClickCreateBatch();
    ASSERT_EQ(MessageTexts(), std::vector<std::wstring>{kCreated + batch});
    const std::string list = ReadBytes(batch);
    const std::size_t from = list.find("Job.OutputFileName = '") + 22;
    const std::string output = list.substr(from, list.find('\'', from) - from);
    EXPECT_LE(output.size(), 259u) << output;
    EXPECT_TRUE(output.ends_with("\\clip1.mpg")) << output;
    wchar_t longForm[1024]{};
    ASSERT_NE(::GetLongPathNameW(Widen(output.substr(0, output.rfind('\\'))).c_str(), longForm, 1024), 0u);
    EXPECT_EQ(std::wstring(longForm), deep);
}

}  // namespace
}  // namespace quorvel::testing

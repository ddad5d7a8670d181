#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "batch/BatchList.h"
#include "batch/CodePage.h"
#include "batch/EncoderPaths.h"
#include "batch/JobPaths.h"

namespace quorvel::test {
namespace {

std::string Encoded(const CodePage& codePage, std::string_view utf8) {
    std::string bytes;
    return codePage.Encode(utf8, bytes) ? bytes : "<refused>";
}

std::string Decoded(const CodePage& codePage, std::string_view bytes) {
    std::string utf8;
    return codePage.Decode(bytes, utf8) ? utf8 : "<refused>";
}

TEST(CodePage, EachPageGivesItsOwnBytesBothWays) {
    struct Case {
        unsigned Page;
        const char* Utf8;
        const char* Bytes;
    };
    const Case cases[] = {
        {1252, "plain 'text'\\", "plain 'text'\\"},
        {1252, "Caf\xC3\xA9 \xC3\xBF\xC2\xA0", "Caf\xE9 \xFF\xA0"},
        {1252, "\xE2\x82\xAC \xE2\x80\x9C\xE2\x80\x9D \xC5\xB8 \xE2\x84\xA2", "\x80 \x93\x94 \x9F \x99"},
        // A byte 1252 leaves undefined stands for the C1 control of the same value.
        {1252, "\xC2\x81\xC2\x8D\xC2\x9D", "\x81\x8D\x9D"},
        {1251, "\xD0\x92\xD0\xB8\xD0\xB4\xD0\xB5\xD0\xBE", "\xC2\xE8\xE4\xE5\xEE"},  // Видео
        {1253,
         "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC",
         "\xC5\xEB\xEB\xE7\xED\xE9\xEA\xDC"},  // Ελληνικά
        // Shift-JIS letters whose trail byte is 0x5C, the backslash's value.
        {932, "\xE3\x82\xBD\xE8\xA1\xA8.avi", "\x83\x5C\x95\x5C.avi"},              // ソ表
        {932, "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", "\x93\xFA\x96\x7B\x8C\xEA"},  // 日本語
        {936, "\xE4\xB8\xAD\xE6\x96\x87", "\xD6\xD0\xCE\xC4"},                      // 中文
        {kCodePageUtf8, "\xE6\x97\xA5 \xCE\xB1", "\xE6\x97\xA5 \xCE\xB1"},
    };
    for (const Case& c : cases) {
        const CodePage& codePage = OpenedCodePage(c.Page);
        EXPECT_EQ(codePage.Number(), c.Page);
        EXPECT_EQ(Encoded(codePage, c.Utf8), c.Bytes) << c.Page << ": " << c.Utf8;
        EXPECT_EQ(Decoded(codePage, c.Bytes), c.Utf8) << c.Page << ": " << c.Utf8;
    }
}

TEST(CodePage, RefusesWhatWouldNotReadBackAsItself) {
    const std::pair<unsigned, const char*> refused[] = {
        {1252, "\xE6\x97\xA5\xE6\x9C\xAC.avi"},  // 日本
        {1252, "\xF0\x9F\x8E\xA5"},              // outside the basic plane
        {1252, "\xEF\xBC\x87"},                  // fullwidth apostrophe: best fit would give a quote
        {1252, "\xEF\xBC\xBC"},                  // fullwidth reverse solidus
        {1252, "\xCE\x91"},                      // Greek capital alpha: best fit would give A
        {932, "\xC2\xA5"},                       // the yen sign: best fit would give 0x5C
        {932, "\xCE\xAC"},                       // Greek small alpha with tonos
        {1251, "\xC3\xA9"},
        {1252, "a\xE9z"},  // not UTF-8
        {1252, "\xC3"},
        {kCodePageUtf8, "\xC0\xAF"},  // overlong '/'
        {kCodePageUtf8, "\xED\xA0\x80"},
    };
    for (const auto& [page, text] : refused) {
        EXPECT_EQ(Encoded(OpenedCodePage(page), text), "<refused>") << page << ": " << text;
        EXPECT_FALSE(OpenedCodePage(page).Holds(text));
    }
    EXPECT_EQ(Decoded(OpenedCodePage(932), "\x83"), "<refused>");  // a lead byte alone
    EXPECT_EQ(Decoded(OpenedCodePage(kCodePageUtf8), "\xFF"), "<refused>");
}

TEST(CodePage, NumbersAreReadAndUnknownPagesRefused) {
    EXPECT_EQ(ParseCodePage("932"), 932u);
    EXPECT_EQ(ParseCodePage("utf-8"), kCodePageUtf8);
    EXPECT_EQ(ParseCodePage("UTF8"), kCodePageUtf8);
    EXPECT_EQ(ParseCodePage("65001"), kCodePageUtf8);
    for (const char* bad : {"", "x", "-1", "93 2", "1234567"}) EXPECT_EQ(ParseCodePage(bad), 0u) << bad;
    EXPECT_EQ(CodePageLabel(kCodePageUtf8), "UTF-8");
    EXPECT_EQ(CodePageLabel(1251), "1251");

    std::unique_ptr<CodePage> codePage;
    EXPECT_EQ(OpenCodePage(7, codePage).Message(), "This system cannot convert text to the code page 7");
    EXPECT_FALSE(OpenCodePage(0, codePage).IsOk());
    EXPECT_EQ(codePage, nullptr);
}

// Each answer is what Wine 8 gave GetACP in that locale.
TEST(LocaleRule, LanguageTerritoryAndScriptDecideAsWineDecides) {
    const std::pair<const char*, unsigned> cases[] = {
        {"ja_JP.UTF-8", 932},
        {"ja_JP.eucJP", 932},
        {"JA_jp.utf8", 932},
        {"ru_RU.UTF-8", 1251},
        {"ru_RU.CP1251", 1251},
        {"uk_UA", 1251},
        {"el_GR.UTF-8", 1253},
        {"el_GR@euro", 1253},
        {"pl_PL.UTF-8", 1250},
        {"zh_CN.UTF-8", 936},
        {"zh_SG", 936},
        {"zh_TW.UTF-8", 950},
        {"zh_HK", 950},
        {"ko_KR.UTF-8", 949},
        {"th_TH.UTF-8", 874},
        {"tr_TR.UTF-8", 1254},
        {"he_IL.UTF-8", 1255},
        {"ar_EG.UTF-8", 1256},
        {"lt_LT.UTF-8", 1257},
        {"vi_VN", 1258},
        {"hi_IN.UTF-8", 65001},
        {"ka_GE.UTF-8", 65001},
        {"syr", 65001},
        {"sr_RS@latin", 1250},
        {"sr_RS.UTF-8@latin", 1250},
        {"uz_UZ@cyrillic", 1251},
        {"tt_RU@iqtelif", 1251},
        {"ks_IN@devanagari", 65001},
        // Names Wine does not know fall back to 1252, the language notwithstanding.
        {"sr_RS", 1252},
        {"uz_UZ", 1252},
        {"ru_UA", 1252},
        {"el_CY", 1252},
        {"be_BY@latin", 1252},
        {"ks_IN", 1252},
        {"de_DE.UTF-8", 1252},
        {"en_US", 1252},
        {"C", 1252},
        {"POSIX", 1252},
        {"C.UTF-8", 1252},
        {"", 1252},
    };
    for (const auto& [locale, page] : cases) EXPECT_EQ(CodePageForLocale(locale), page) << locale;
}

#ifndef _WIN32

// Sets the locale variables for one test and puts the old ones back.
class LocaleEnvironment : public testing::Test {
protected:
    static constexpr const char* kVariables[] = {"LC_ALL", "LC_CTYPE", "LANG", "LC_MESSAGES"};

    void SetUp() override {
        for (const char* name : kVariables) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
            unsetenv(name);
        }
        for (const char* needed : {"ja_JP.UTF-8", "ru_RU.UTF-8"}) {
            locale_t probe = newlocale(LC_CTYPE_MASK, needed, nullptr);
            if (probe == nullptr) FAIL() << "the locale " << needed << " is not installed; scripts/setup installs it";
            freelocale(probe);
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value) {
                setenv(name, value->c_str(), 1);
            } else {
                unsetenv(name);
            }
        }
    }

    static unsigned With(std::initializer_list<std::pair<const char*, const char*>> settings) {
        for (const char* name : kVariables) unsetenv(name);
        for (const auto& [name, value] : settings) setenv(name, value, 1);
        return LocaleCodePage();
    }

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST_F(LocaleEnvironment, CharacterTypesDecideAndAMissingLocaleCountsAsC) {
    const std::string before = std::setlocale(LC_CTYPE, nullptr);
    EXPECT_EQ(With({}), 1252u);
    EXPECT_EQ(With({{"LANG", "ja_JP.UTF-8"}}), 932u);
    EXPECT_EQ(With({{"LANG", "ru_RU.UTF-8"}}), 1251u);
    EXPECT_EQ(With({{"LANG", "C"}}), 1252u);
    EXPECT_EQ(With({{"LANG", "POSIX"}}), 1252u);
    // Not installed: setlocale keeps C, and so does Wine.
    EXPECT_EQ(With({{"LANG", "ja_XX.UTF-8"}}), 1252u);
    EXPECT_EQ(With({{"LANG", "ja_JP.UTF-8"}, {"LC_ALL", "ru_RU.UTF-8"}}), 1251u);
    EXPECT_EQ(With({{"LANG", "ru_RU.UTF-8"}, {"LC_ALL", "ja_JP.UTF-8"}}), 932u);
    EXPECT_EQ(With({{"LANG", "ja_JP.UTF-8"}, {"LC_CTYPE", "ru_RU.UTF-8"}}), 1251u);
    EXPECT_EQ(With({{"LANG", "ja_JP.UTF-8"}, {"LC_CTYPE", "C"}}), 1252u);
    // Another category's locale, installed or not, does not matter.
    EXPECT_EQ(With({{"LANG", "ja_JP.UTF-8"}, {"LC_MESSAGES", "ru_RU.UTF-8"}}), 932u);
    EXPECT_EQ(With({{"LANG", "ja_JP.UTF-8"}, {"LC_MESSAGES", "ko_XX.UTF-8"}}), 932u);
    EXPECT_EQ(std::setlocale(LC_CTYPE, nullptr), before) << "the program's own locale is left alone";
}

#endif

// The same two jobs as two_jobs_builtin.tbe, with names and folders from other scripts.
class ListInCodePage : public testing::Test {
protected:
    std::string Written(unsigned page, const std::string& sourceDir, const std::string& outputDir,
                        std::vector<std::string> names) {
        BatchJob job = SampleJob();
        job.BatchFile = folder_.File("list.tbe");
        job.SourceDirectory = sourceDir;
        job.OutputDirectory = outputDir;
        job.SourceNames = std::move(names);
        const Status status = WriteBatchList(job, AdvancedOptions(), OpenedCodePage(page));
        EXPECT_TRUE(status.IsOk()) << status.Message();
        return ReadBytes(job.BatchFile);
    }
    TempFolder folder_;
};

TEST_F(ListInCodePage, ShiftJisTrailBytesAreNeverTakenForABackslash) {
    // C:\ビデオ\ソ ends in the byte 0x5C; D:\表\ too before its own backslash.
    EXPECT_EQ(Written(932,
                      "C:\\\xE3\x83\x93\xE3\x83\x87\xE3\x82\xAA\\\xE3\x82\xBD",
                      "D:\\\xE8\xA1\xA8\\",
                      {"\xE8\xA1\xA8\xE7\xA4\xBA.avi", "\xE3\x82\xBD's clip.avi"}),
              ExpectedList("two_jobs_cp932.tbe"));
}

TEST_F(ListInCodePage, CyrillicNamesAreByteExactIn1251) {
    EXPECT_EQ(Written(1251,
                      "C:\\\xD0\x92\xD0\xB8\xD0\xB4\xD0\xB5\xD0\xBE",
                      "D:\\\xD0\x92\xD1\x8B\xD1\x85\xD0\xBE\xD0\xB4\\",
                      {"\xD0\xA4\xD0\xB8\xD0\xBB\xD1\x8C\xD0\xBC.avi", "\xD0\x91\xD0\xBE\xD0\xB1's clip.avi"}),
              ExpectedList("two_jobs_cp1251.tbe"));
}

TEST_F(ListInCodePage, NamesThePageCannotHoldAreRefusedFirstTenAndCount) {
    BatchJob job = SampleJob();
    job.BatchFile = folder_.File("list.tbe");
    WriteBytes(job.BatchFile, "object TTMPGEncBatchEncodeList\r\n");
    job.SourceNames = {"ok.avi"};
    for (int i = 0; i < 12; ++i) job.SourceNames.push_back("\xE6\x97\xA5" + std::to_string(i) + ".avi");
    const Status status = WriteBatchList(job, AdvancedOptions(), Western());
    std::string expected =
        "The batch list's code page 1252 cannot hold the names of 12 files in C:\\Video, so the encoder could not "
        "open them:";
    for (int i = 0; i < 10; ++i) expected += "\n  \xE6\x97\xA5" + std::to_string(i) + ".avi";
    EXPECT_EQ(status.Message(), expected + "\n  and 2 more");
    EXPECT_EQ(ReadBytes(job.BatchFile), "object TTMPGEncBatchEncodeList\r\n");
    EXPECT_EQ(folder_.Names(), std::vector<std::string>{"list.tbe"});

    job.SourceNames = {"a.avi"};
    job.OutputDirectory = "D:\\\xE6\x97\xA5\\";
    EXPECT_EQ(WriteBatchList(job, AdvancedOptions(), Western()).Message(),
              "The batch list's code page 1252 cannot hold the output directory D:\\\xE6\x97\xA5\\, so the encoder "
              "could not write there");
    EXPECT_EQ(ReadBytes(job.BatchFile), "object TTMPGEncBatchEncodeList\r\n");
}

// Short names as a volume with 8.3 names would give them.
class ShortNames : public testing::Test {
protected:
    ShortPathLookup Lookup() {
        return [this](const std::string& path) -> std::optional<std::string> {
            const auto found = shortPaths_.find(path);
            if (found == shortPaths_.end()) return std::nullopt;
            return found->second;
        };
    }

    BatchJob Job(std::vector<std::string> names) const {
        BatchJob job = SampleJob();
        job.SourceNames = std::move(names);
        return job;
    }

    const std::string japanese_ = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.avi";  // 日本語.avi
    const std::string greek_ = "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC.avi";
    const std::string cyrillic_ = "C:\\\xD0\xB2\xD0\xB8\xD0\xB4\xD0\xB5\xD0\xBE";  // C:\видео
    std::map<std::string, std::string> shortPaths_;
};

TEST_F(ShortNames, SourcesAndFoldersTheCodePageCannotHoldAreGivenShortAndOutputsFollow) {
    shortPaths_[cyrillic_] = "C:\\2B1E~1";
    shortPaths_[cyrillic_ + "\\" + japanese_] = "C:\\2B1E~1\\__~~~TLL.AVI";
    shortPaths_[cyrillic_ + "\\" + greek_] = "C:\\2B1E~1\\E8G2~1.AVI";
    shortPaths_["D:\\\xCE\xB1\\"] = "D:\\A~1\\";
    BatchJob job = Job({"plain.avi", japanese_, greek_});
    job.SourceDirectory = cyrillic_;
    job.OutputDirectory = "D:\\\xCE\xB1\\";

    BatchJob written;
    const Status status = EncoderJob(job, Western(), written, Lookup());
    ASSERT_TRUE(status.IsOk()) << status.Message();
    EXPECT_EQ(written.SourceDirectory, "C:\\2B1E~1");
    EXPECT_EQ(written.OutputDirectory, "D:\\A~1\\");
    EXPECT_EQ(written.SourceNames, (std::vector<std::string>{"plain.avi", "__~~~TLL.AVI", "E8G2~1.AVI"}));
    EXPECT_EQ(OutputPath(written, 1), "D:\\A~1\\__~~~TLL.mpg");
    EXPECT_TRUE(CheckCodePage(written, Western()).IsOk());

    // A page that holds everything changes nothing, short names or not.
    BatchJob unchanged;
    ASSERT_TRUE(EncoderJob(job, OpenedCodePage(kCodePageUtf8), unchanged, Lookup()).IsOk());
    EXPECT_EQ(unchanged.SourceNames, job.SourceNames);
    EXPECT_EQ(unchanged.SourceDirectory, job.SourceDirectory);
}

TEST_F(ShortNames, WithoutAShortFormTheCodePageHoldsTheRunIsRefused) {
    // A volume without short names gives the long path back; a missing output folder has none.
    shortPaths_["C:\\Video\\" + japanese_] = "C:\\Video\\" + japanese_;
    BatchJob written;
    written.SourceNames = {"untouched"};
    EXPECT_EQ(EncoderJob(Job({"a.avi", japanese_}), Western(), written, Lookup()).Message(),
              "The batch list's code page 1252 cannot hold the names of 1 file in C:\\Video (nor short forms of "
              "them), so the encoder could not open it:\n  " +
                  japanese_);
    EXPECT_EQ(written.SourceNames, std::vector<std::string>{"untouched"});

    BatchJob job = Job({"a.avi"});
    job.OutputDirectory = "D:\\\xCE\xB1\\";
    EXPECT_EQ(EncoderJob(job, Western(), written, Lookup()).Message(),
              "The batch list's code page 1252 cannot hold the output directory D:\\\xCE\xB1\\ (nor a short form of "
              "it); a short form needs the directory to exist on a volume with short names, so the encoder could "
              "not write there");
    job = Job({"a.avi"});
    job.SourceDirectory = cyrillic_;
    shortPaths_[cyrillic_] = "C:\\\xD0\xB2~1";  // a short form that is no better
    EXPECT_FALSE(EncoderJob(job, Western(), written, Lookup()).IsOk());
}

TEST_F(ShortNames, TwoShortNamesWithOneStemAreCaughtAsOneOutputNamedByTheLongNames) {
    shortPaths_["C:\\Video\\" + japanese_] = "C:\\Video\\__~~~TLL.AVI";
    shortPaths_["C:\\Video\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.mov"] = "C:\\Video\\__~~~TLL.MOV";
    BatchJob written;
    ASSERT_TRUE(
        EncoderJob(Job({japanese_, "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.mov"}), Western(), written, Lookup()).IsOk());
    written.BatchFile = "list.tbe";
    EXPECT_EQ(CheckBatchRequest(written, AdvancedOptions()).Message(),
              "Two sources would be encoded to the same file D:\\Out\\__~~~TLL.mpg: " + japanese_ +
                  " and \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.mov");
}

TEST_F(ShortNames, TheBatchFileForTheEncoderFollowsTheSameRule) {
    std::string path;
    ASSERT_TRUE(EncoderBatchFile("D:\\Jobs\\list.tbe", Western(), path, Lookup()).IsOk());
    EXPECT_EQ(path, "D:\\Jobs\\list.tbe");

    shortPaths_[cyrillic_ + "\\"] = "C:\\2B1E~1\\";
    // Not written yet: the folder's short form and the name.
    ASSERT_TRUE(EncoderBatchFile(cyrillic_ + "\\list.tbe", Western(), path, Lookup()).IsOk());
    EXPECT_EQ(path, "C:\\2B1E~1\\list.tbe");
    // Written: the file's own short form.
    shortPaths_[cyrillic_ + "\\" + japanese_] = "C:\\2B1E~1\\__~~~TLL.TBE";
    ASSERT_TRUE(EncoderBatchFile(cyrillic_ + "\\" + japanese_, Western(), path, Lookup()).IsOk());
    EXPECT_EQ(path, "C:\\2B1E~1\\__~~~TLL.TBE");

    const Status refused = EncoderBatchFile(cyrillic_ + "\\" + greek_, Western(), path, Lookup());
    EXPECT_EQ(refused.Message(),
              "The batch list's code page 1252 cannot hold the batch file path " + cyrillic_ + "\\" + greek_ +
                  " (nor a short form of it), so the encoder could not be started on it; choose a name and folder "
                  "it holds");
}

}  // namespace
}  // namespace quorvel::test

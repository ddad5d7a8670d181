#include <windows.h>

#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "win/SettingsStore.h"

namespace quorvel::testing {
namespace {

// The store takes its keys from a window's table; this one gives the main window's names.
constexpr layout::Control kBoxes[] = {
    {.Name = L"txtBox", .Type = layout::Kind::TextBox, .Left = 0, .Top = 0, .Width = 1200, .Height = 285}};
constexpr layout::Window kTable{
    .Name = L"frmKeys", .Caption = L"Keys", .ClientWidth = 1200, .ClientHeight = 300, .Controls = kBoxes};
struct Owner {};
constexpr win::TableRow<Owner, kTable, Owner> kRows[] = {
    {.Control = L"txtBox", .Setting = L"FileOutput"},
    {.Control = L"txtBox", .Setting = L"DirOutput"},
    {.Control = L"txtBox", .Setting = L"DirInput"},
    {.Control = L"txtBox", .Setting = L"TemplateInput"},
};
constexpr auto kFileOutput = win::SettingKey::In(kRows, L"FileOutput");
constexpr auto kDirOutput = win::SettingKey::In(kRows, L"DirOutput");
constexpr auto kDirInput = win::SettingKey::In(kRows, L"DirInput");
constexpr auto kTemplateInput = win::SettingKey::In(kRows, L"TemplateInput");

TEST(CheckStateFromText, TakesTheLeadingNumberRoundedHalvesToEven) {
    struct Case {
        const wchar_t* Stored;
        CheckState Expected;
    };
    const Case cases[] = {
        {L"1", 1},      {L"0", 0},     {L" 1", 1},    {L"\t 1", 1},       {L"1abc", 1},
        {L"abc", 0},    {L"", 0},      {L"0.5", 0},   {L"0.51", 1},       {L"0.500001", 1},
        {L"1.4999", 1}, {L"1.5", 0},   {L"2.5", 0},   {L"+1", 1},         {L"-1", 0},
        {L"-0.4", 0},   {L"01", 1},    {L"1.", 1},    {L".9", 1},         {L"2", 0},
        {L"32767", 0},  {L"32768", 0}, {L"65537", 0}, {L"4294967297", 0}, {L"99999999999999999999", 0},
        {L"1 ", 1},     {L"x1", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(win::CheckStateFromText(c.Stored), c.Expected) << "stored \"" << c.Stored << "\"";
}

TEST(CheckStateText, IsTheDecimalDigit) {
    EXPECT_EQ(win::CheckStateText(1), L"1");
    EXPECT_EQ(win::CheckStateText(0), L"0");
    EXPECT_EQ(win::CheckStateFromText(win::CheckStateText(1)), 1);
    EXPECT_EQ(win::CheckStateFromText(win::CheckStateText(0)), 0);
}

TEST(SettingsStore, KeepsTextsExactlyUnderTheProgramsKey) {
    ScratchRegistry registry;
    ASSERT_TRUE(registry.Active());
    win::SettingsStore store;
    EXPECT_EQ(store.Read(kDirInput, L"fallback"), L"fallback");
    EXPECT_EQ(store.Read(kDirInput), L"");

    const std::wstring texts[] = {L"C:\\Video Clips\\", L"  blanks around  ", L"", L"D:\\\u00e9t\u00e9\\\u6620\u753b"};
    for (const std::wstring& text : texts) {
        ASSERT_TRUE(store.Write(kDirInput, text));
        EXPECT_EQ(store.Read(kDirInput, L"fallback"), text);
        EXPECT_EQ(registry.Setting(L"DirInput"), text) << "not a REG_SZ under Software\\Quorvel\\Settings";
    }
    // A long value is not cut to some buffer's size.
    const std::wstring longText(5000, L'x');
    ASSERT_TRUE(store.Write(kTemplateInput, longText));
    EXPECT_EQ(store.Read(kTemplateInput), longText);
}

TEST(SettingsStore, AValueThatIsNotTextReadsAsTheDefault) {
    ScratchRegistry registry;
    ASSERT_TRUE(registry.Active());
    HKEY key = nullptr;
    ASSERT_EQ(
        ::RegCreateKeyExW(
            HKEY_CURRENT_USER, L"Software\\Quorvel\\Settings", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    const DWORD number = 1;
    ::RegSetValueExW(key, L"DirOutput", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    // A string stored without its terminator is still read whole.
    const wchar_t bare[] = {L'a', L'b', L'c'};
    ::RegSetValueExW(key, L"FileOutput", 0, REG_SZ, reinterpret_cast<const BYTE*>(bare), sizeof bare);
    ::RegCloseKey(key);

    win::SettingsStore store;
    EXPECT_EQ(store.Read(kDirOutput, L"default"), L"default");
    EXPECT_EQ(store.Read(kFileOutput), L"abc");
}

TEST(SettingsStore, AStoreThatCannotBeWrittenSaysSo) {
    ScratchRegistry registry;
    ASSERT_TRUE(registry.Active());
    // The redirected root opened for reading only: nothing below it can be created.
    ASSERT_TRUE(registry.MakeReadOnly());
    win::SettingsStore store;
    const bool written = store.Write(kDirInput, L"C:\\");
    EXPECT_EQ(store.Read(kDirInput, L"default"), L"default");
    registry.MakeWritable();
    EXPECT_FALSE(written);
}

}  // namespace
}  // namespace quorvel::testing

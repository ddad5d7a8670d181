// Compiled by the build's tests, not run: with QUORVEL_WRONG_CONTROL_NAME or
// QUORVEL_WRONG_SETTING_KEY defined it must not compile.

#include "win/Layout.h"
#include "win/SettingKey.h"
#include "win/TableRow.h"

namespace {

using quorvel::layout::Kind;

constexpr quorvel::layout::Control kControls[] = {
    {.Name = L"cmdOK",
     .Type = Kind::PushButton,
     .Caption = L"&OK",
     .Left = 0,
     .Top = 0,
     .Width = 1200,
     .Height = 345,
     .TabIndex = 0},
    {.Name = L"chkAutoRun",
     .Type = Kind::CheckBox,
     .Caption = L"Auto",
     .Left = 0,
     .Top = 400,
     .Width = 1200,
     .Height = 345,
     .TabIndex = 1},
};
constexpr quorvel::layout::Window kTable{
    .Name = L"frmTest", .Caption = L"Test", .ClientWidth = 1200, .ClientHeight = 800, .Controls = kControls};
using Id = quorvel::layout::ControlId<kTable>;

constexpr Id kAutoRun = L"chkAutoRun";
static_assert(kAutoRun.Index == 1);

struct Dialog {};
struct Options {
    quorvel::CheckState AutoLaunch = 0;
};
constexpr quorvel::win::TableRow<Dialog, kTable, Options> kRows[] = {
    {.Control = kAutoRun, .Check = &Options::AutoLaunch, .Setting = L"AutoLaunch"},
};
constexpr auto kAutoLaunch = quorvel::win::SettingKey::In(kRows, L"AutoLaunch");

#ifdef QUORVEL_WRONG_CONTROL_NAME
constexpr Id kTypo = L"chkAutoRum";
#endif
#ifdef QUORVEL_WRONG_SETTING_KEY
constexpr auto kTypo = quorvel::win::SettingKey::In(kRows, L"AutoLaunh");
#endif

}  // namespace

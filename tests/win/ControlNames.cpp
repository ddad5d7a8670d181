// Compiled by the build's tests, not run: with QUORVEL_WRONG_CONTROL_NAME or
// QUORVEL_WRONG_SETTING_KEY defined it must not compile.

#include "win/Layout.h"
#include "win/SettingsStore.h"
#include "win/TableRow.h"

namespace {

using quorvel::layout::Kind;

constexpr quorvel::layout::Control kControls[] = {
    {L"cmdOK", Kind::PushButton, nullptr, L"&OK", 0, 0, 1200, 345, 0},
    {L"chkAutoRun", Kind::CheckBox, nullptr, L"Auto", 0, 400, 1200, 345, 1},
};
constexpr quorvel::layout::Window kTable{L"frmTest", L"Test", 1200, 800, {}, {}, kControls};
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

// Compiled by the build's tests, not run: with QUORVEL_WRONG_CONTROL_NAME or
// QUORVEL_WRONG_SETTING_KEY defined it must not compile.

#include "win/Layout.h"
#include "win/SettingsStore.h"

namespace {

using quorvel::layout::Kind;

constexpr quorvel::layout::Control kRows[] = {
    {L"cmdOK", Kind::PushButton, nullptr, L"&OK", 0, 0, 1200, 345, 0},
    {L"chkAutoRun", Kind::CheckBox, nullptr, L"Auto", 0, 400, 1200, 345, 1},
};
constexpr quorvel::layout::Window kTable{L"frmTest", L"Test", 1200, 800, {}, {}, kRows};
using Id = quorvel::layout::ControlId<kTable>;

constexpr Id kAutoRun = L"chkAutoRun";
static_assert(kAutoRun.Index == 1);
constexpr quorvel::win::SettingKey kDirInput = L"DirInput";

#ifdef QUORVEL_WRONG_CONTROL_NAME
constexpr Id kTypo = L"chkAutoRum";
#endif
#ifdef QUORVEL_WRONG_SETTING_KEY
constexpr quorvel::win::SettingKey kTypo = L"DirImput";
#endif

}  // namespace

// Explorer's order is the shell's own comparison.

#include <windows.h>

#include <shlwapi.h>

#include "batch/ExplorerOrder.h"
#include "batch/TextWindows.h"

namespace quorvel {

ExplorerOrderKey ExplorerOrderKeyOf(std::string_view name) { return win::Widen(name); }

int CompareExplorerOrderKeys(const ExplorerOrderKey& a, const ExplorerOrderKey& b) {
    const int compared = ::StrCmpLogicalW(a.c_str(), b.c_str());
    return compared < 0 ? -1 : (compared > 0 ? 1 : 0);
}

}  // namespace quorvel

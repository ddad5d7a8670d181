#include "app/Program.h"

namespace quorvel {

Program::Program()
    : about_(windows_, launcher_),
      advanced_(windows_, settings_, fileDialogs_),
      // The chosen directory goes straight into the main window's output directory box.
      outputDirectory_(windows_, directories_,
                       [this](const std::wstring& directory) { main_.SetText(L"txtOutputDirectory", directory); }),
      main_({windows_, settings_, directories_, launcher_, about_, advanced_, outputDirectory_, fileDialogs_}) {}

}  // namespace quorvel

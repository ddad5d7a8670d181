#pragma once

// The program as WinMain makes it, one per test: a fixture holds a ProgramScope, and
// TheProgram() is the innermost one; without one, a program made on first use for the run.

#include <memory>

#include "app/Program.h"

namespace quorvel::testing {

class ProgramScope {
public:
    ProgramScope();
    ~ProgramScope();
    ProgramScope(const ProgramScope&) = delete;
    ProgramScope& operator=(const ProgramScope&) = delete;

private:
    std::unique_ptr<Program> program_;
    Program* outer_;
};

Program& TheProgram();
// Every program made from now on shows its messages to this handler.
void RecordEveryProgramsMessages(win::MessageHandler handler);

inline FrmQuorvel& MainWindow() { return TheProgram().MainWindow(); }
inline FrmAbout& AboutDialog() { return TheProgram().AboutDialog(); }
inline FrmAdvanced& AdvancedDialog() { return TheProgram().AdvancedDialog(); }
inline FrmSelectOutputDir& OutputDirectoryDialog() { return TheProgram().OutputDirectoryDialog(); }
inline win::SettingsStore& Settings() { return TheProgram().Settings(); }

}  // namespace quorvel::testing

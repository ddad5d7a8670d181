#include "TestProgram.h"

#include "WindowTestSupport.h"

namespace quorvel::testing {
namespace {

Program* gCurrent = nullptr;
win::MessageHandler gHandler;

// The loops and recorders of the tests follow the program in force.
void Follow(Program* program) {
    gCurrent = program;
    RecordMessagesOf(program ? &program->Messages() : nullptr);
    RouteKeysThrough(program ? &program->Keyboard() : nullptr);
}

}  // namespace

ProgramScope::ProgramScope() : program_(std::make_unique<Program>()), outer_(gCurrent) {
    program_->Messages().Replace(gHandler);
    Follow(program_.get());
}

ProgramScope::~ProgramScope() {
    Follow(outer_);
    program_.reset();
}

Program& TheProgram() {
    if (!gCurrent) {
        static ProgramScope forTheRun;
    }
    return *gCurrent;
}

void RecordEveryProgramsMessages(win::MessageHandler handler) {
    gHandler = handler;
    if (gCurrent) gCurrent->Messages().Replace(std::move(handler));
}

}  // namespace quorvel::testing

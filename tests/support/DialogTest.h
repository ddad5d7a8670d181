#pragma once

// The main window of the test's program, and the fixture every dialog test starts from: a program
// of its own, no settings stored, no message recorded, both dialogs unloaded.

#include <gtest/gtest.h>

#include <string>

#include "TestProgram.h"
#include "app/FrmQuorvel.h"

namespace quorvel::testing {

// Created on first use, its browser at SourceDirectory().
FrmQuorvel& MainWindowForTests();
// Holds clip1.avi, clip2.avi, clip3.mpg and it's.avi; lives for the whole run.
const std::wstring& SourceDirectory();

void UnloadDialogs();

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    ProgramScope program_;
};

}  // namespace quorvel::testing

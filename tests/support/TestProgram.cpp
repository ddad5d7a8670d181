#include "TestProgram.h"

namespace quorvel::testing {

Program& TheProgram() {
    static Program program;
    return program;
}

}  // namespace quorvel::testing

#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"

int main(int argc, char** argv) {
    if (argc > 0) {
        std::error_code error;
        quorvel::test::gProgramFolder = std::filesystem::absolute(std::filesystem::path(argv[0]), error).parent_path();
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include <gtest/gtest.h>

#include "batch/SourceListing.h"

namespace {

// Away from Windows a file name may hold "*"; a "*" of the pattern must still be a wildcard
// there, not a literal that eats the name's "*".
TEST(FoundByFuzzing, StarInANameIsStillMatchedByAStar) {
    EXPECT_TRUE(quorvel::MatchesFilePattern("**a*a*a*an", "*"));
    EXPECT_TRUE(quorvel::MatchesFilePattern("a*b.avi", "a*.avi"));
    EXPECT_TRUE(quorvel::MatchesFilePattern("*clip.avi", "*.avi"));
}

}  // namespace

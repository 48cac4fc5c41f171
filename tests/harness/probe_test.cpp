// Cases that end, fail and skip the ways a real case can, for the check
// that the test wrapper judges a suite by every case it holds.
#include <cstdlib>

#include <gtest/gtest.h>

TEST(ProbeEarlyExit, Passes) { SUCCEED(); }
TEST(ProbeEarlyExit, EndsTheProcessWithZero) { std::exit(0); }
TEST(ProbeEarlyExit, NeverRuns) { SUCCEED(); }

TEST(ProbeFailure, Passes) { SUCCEED(); }
TEST(ProbeFailure, Fails) { EXPECT_EQ(1, 2); }

TEST(ProbeSkipped, IsSkipped) { GTEST_SKIP() << "a reason"; }
TEST(ProbeSkipped, Passes) { SUCCEED(); }

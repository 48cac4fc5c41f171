// Which paths from outside the program can act on.
#include <gtest/gtest.h>

#include "rules/path_check.h"

namespace korvalin::test {
namespace {

TEST(PathCheck, OnlyAbsolutePathsWithoutWildcardsAreUsable) {
  for (const char* usable : {"C:\\", "d:\\Users\\me", "C:/x", "\\\\server\\share", "C:\\新建文件夹\\桌面"})
    EXPECT_EQ(ProblemOfPath(usable), PathProblem::kNone) << usable;
  for (const char* relative : {"", "RelDesk", "C:", "C:RelDesk", "\\Users", "\\\\\\x", ".\\x", "1:\\x"})
    EXPECT_EQ(ProblemOfPath(relative), PathProblem::kRelative) << relative;
  // What the platform hands back for characters code page 936 lacks, and
  // the wildcards the file commands would expand, wherever they stand.
  for (const char* wildcard : {"C:\\????", "C:\\a*", "\\\\?\\C:\\x", "?:\\x", "RelDesk?"})
    EXPECT_EQ(ProblemOfPath(wildcard), PathProblem::kUnrepresentable) << wildcard;
}

}  // namespace
}  // namespace korvalin::test

// The files the program keeps beside itself.
#include <gtest/gtest.h>

#include <string>

#include "encoding/program_files.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

TEST(PathBesideProgram, JoinsTheProgramsDirectoryAndTheName) {
  EXPECT_EQ(PathBesideProgram("rules.json"), ThisProgramDirectory() + "\\rules.json");
  EXPECT_EQ(PathBesideProgram("Win.data"), ThisProgramDirectory() + "\\Win.data");
}

}  // namespace
}  // namespace korvalin::test

// The prefix the suite runs in, as the scripts make it: the user folders
// are the prefix's own plain directories, never the host's home.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/e2e/prefix_tools.h"
#include "tests/support/user_folders.h"

namespace korvalin::e2e {
namespace {

TEST(Prefix, UserFoldersArePlainDirectoriesWithAFileToMove) {
  for (const std::string& link : test::UserFolderLinksLeadingOutside()) ADD_FAILURE() << link;
  const char* profile = std::getenv("USERPROFILE");
  ASSERT_NE(profile, nullptr);
  for (const char* folder : {"Desktop", "Documents", "Downloads"}) {
    const std::string path = std::string(profile) + "\\" + folder;
    SCOPED_TRACE(path);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT), DWORD{FILE_ATTRIBUTE_DIRECTORY});
  }
  EXPECT_FALSE(ReadFileBytes(std::string(profile) + "\\Desktop\\sample.txt").empty());
  EXPECT_FALSE(ReadFileBytes(std::string(profile) + "\\Documents\\notes.txt").empty());
}

}  // namespace
}  // namespace korvalin::e2e

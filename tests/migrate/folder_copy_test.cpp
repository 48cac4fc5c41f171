// Copying a tree with the file-system object, checking a copy before its
// original may go, and emptying a directory.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "migrate/copy_check.h"
#include "migrate/folder_copy.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

void Write(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A source tree of two files, one in a subdirectory, and an empty subdirectory.
std::string MakeSourceTree() {
  std::string source = MakeTempDirectory("copysource");
  Write(source + "\\a.txt", "alpha");
  CreateDirectoryA((source + "\\sub").c_str(), nullptr);
  Write(source + "\\sub\\b.txt", "bravo-bravo");
  CreateDirectoryA((source + "\\empty").c_str(), nullptr);
  return source;
}

TEST(CopyFolderTree, CopiesTheWholeTreeAndReplacesSameNamedFiles) {
  std::string source = MakeSourceTree();
  for (bool existing : {false, true}) {
    SCOPED_TRACE(existing ? "destination exists" : "new destination");
    std::string destination = MakeTempDirectory("copydestination") + "\\target";
    if (existing) {
      CreateDirectoryA(destination.c_str(), nullptr);
      Write(destination + "\\a.txt", "an older and longer version");
      Write(destination + "\\other.txt", "other");
    }
    EXPECT_TRUE(CopyFolderTree(source.c_str(), destination.c_str()));
    EXPECT_EQ(Read(destination + "\\a.txt"), "alpha");
    EXPECT_EQ(Read(destination + "\\sub\\b.txt"), "bravo-bravo");
    EXPECT_TRUE(Exists(destination + "\\empty"));
    EXPECT_TRUE(TreeCopiedTo(source.c_str(), destination.c_str()));
    EXPECT_EQ(Read(source + "\\a.txt"), "alpha");
  }
}

TEST(CopyFolderTree, ReportsAFailedCopy) {
  std::string source = MakeSourceTree();
  std::string destination = MakeTempDirectory("copydestination");
  Write(destination + "\\a.txt", "held");
  HANDLE held = CreateFileA((destination + "\\a.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(CopyFolderTree(source.c_str(), destination.c_str()));
  EXPECT_FALSE(TreeCopiedTo(source.c_str(), destination.c_str()));
  CloseHandle(held);
  // A missing source copies nothing.
  EXPECT_FALSE(CopyFolderTree((source + "\\missing").c_str(), (destination + "\\x").c_str()));
}

TEST(TreeCopiedTo, NeedsEveryFileAtTheSameSize) {
  std::string source = MakeSourceTree();
  std::string copy = MakeTempDirectory("copycheck");
  CreateDirectoryA((copy + "\\sub").c_str(), nullptr);
  Write(copy + "\\a.txt", "alpha");
  // The empty subdirectory is not needed; a missing file is.
  EXPECT_FALSE(TreeCopiedTo(source.c_str(), copy.c_str()));
  Write(copy + "\\sub\\b.txt", "bravo-bravX");
  EXPECT_TRUE(TreeCopiedTo(source.c_str(), copy.c_str()));
  EXPECT_TRUE(TreeCopiedTo((source + "\\").c_str(), (copy + "/").c_str()));
  Write(copy + "\\sub\\b.txt", "bravo");
  EXPECT_FALSE(TreeCopiedTo(source.c_str(), copy.c_str()));
  Write(copy + "\\sub\\b.txt", "bravo-bravo");
  // A file whose name starts with a dot counts like any other.
  Write(source + "\\sub\\.hidden", "h");
  EXPECT_FALSE(TreeCopiedTo(source.c_str(), copy.c_str()));
  Write(copy + "\\sub\\.hidden", "h");
  EXPECT_TRUE(TreeCopiedTo(source.c_str(), copy.c_str()));
  // A copied file that cannot be read is not a copy.
  HANDLE held = CreateFileA((copy + "\\a.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(TreeCopiedTo(source.c_str(), copy.c_str()));
  CloseHandle(held);
  // A source that cannot be listed.
  EXPECT_FALSE(TreeCopiedTo((source + "\\missing").c_str(), copy.c_str()));
  EXPECT_FALSE(TreeCopiedTo("", copy.c_str()));
}

TEST(ClearDirectory, LeavesTheDirectoryEmpty) {
  std::string directory = MakeSourceTree();
  ClearDirectory(directory.c_str());
  EXPECT_TRUE(Exists(directory));
  EXPECT_FALSE(Exists(directory + "\\a.txt"));
  EXPECT_FALSE(Exists(directory + "\\sub"));
  EXPECT_FALSE(Exists(directory + "\\empty"));
}

}  // namespace
}  // namespace korvalin::test

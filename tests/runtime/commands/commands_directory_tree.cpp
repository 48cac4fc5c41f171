// Removing a directory tree where a mistake would cost a user's files: drive
// and volume roots, links, deep trees. Deletions run only on directories and
// a drive letter the test made itself.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "runtime/interface/command_calls.h"
#include "runtime/commands/directory_tree.h"
#include "tests/support/links.h"
#include "tests/support/test_support.h"

namespace {

namespace test = korvalin::test;
using rt::commands::RefusesTreeDeletion;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void PutFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// A directory with a file and a subdirectory holding another.
void FillTree(const std::string& dir) {
  CreateDirectoryA((dir + "\\sub").c_str(), nullptr);
  PutFile(dir + "\\keep.txt", "k");
  PutFile(dir + "\\sub\\deep.txt", "d");
}

bool TreeIntact(const std::string& dir) { return Exists(dir + "\\keep.txt") && Exists(dir + "\\sub\\deep.txt"); }

TEST(TreeDeletionRefusal, EmptyPathsAndEverySpellingOfADriveRoot) {
  // Judged by the path alone: nothing is deleted here.
  for (const char* path : {"", "C:", "c:", "C:\\", "C:/", "C:\\.", "C:\\\\", "C:\\Windows\\..", "C:/./", "\\\\?\\C:\\",
                           "\\\\?\\C:", "\\\\.\\C:\\", "Z:\\", "\\\\?\\Z:\\"}) {
    EXPECT_TRUE(RefusesTreeDeletion(path)) << "[" << path << "]";
  }
}

TEST(TreeDeletionRefusal, VolumeAndShareRootsHoweverSpelt) {
  for (const char* path : {"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\", "\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1",
                           "\\\\?\\Volume{00000000-0000-0000-0000-000000000000}\\", "\\\\.\\PhysicalDrive0",
                           "\\\\server\\share", "\\\\server\\share\\", "\\\\?\\UNC\\server\\share\\"}) {
    EXPECT_TRUE(RefusesTreeDeletion(path)) << "[" << path << "]";
  }
  char volume[MAX_PATH] = {};
  if (GetVolumeNameForVolumeMountPointA("C:\\", volume, sizeof volume)) {
    EXPECT_TRUE(RefusesTreeDeletion(volume)) << volume;
    EXPECT_TRUE(RefusesTreeDeletion((std::string(volume) + "Users").c_str())) << volume;
  }
}

TEST(TreeDeletionRefusal, AFolderThatIsAMountPoint) {
  // Under Wine, Linux mount points under Z: are volume mount points.
  int found = 0;
  for (const std::string folder : {"Z:\\proc", "Z:\\sys", "Z:\\dev\\shm"}) {
    char volume[MAX_PATH] = {};
    if (!GetVolumePathNameA((folder + "\\x").c_str(), volume, sizeof volume) || folder + "\\" != volume) continue;
    ++found;
    EXPECT_TRUE(RefusesTreeDeletion(folder.c_str())) << folder;
    EXPECT_TRUE(RefusesTreeDeletion((folder + "\\").c_str())) << folder;
  }
  if (!found) GTEST_SKIP() << "no folder mount point to look at";
}

TEST(TreeDeletionRefusal, OrdinaryDirectoriesAreNotRefused) {
  std::string dir = test::MakeTempDirectory("plain");
  EXPECT_FALSE(RefusesTreeDeletion(dir.c_str()));
  EXPECT_FALSE(RefusesTreeDeletion((dir + "\\").c_str()));
  EXPECT_FALSE(RefusesTreeDeletion(("\\\\?\\" + dir).c_str()));
  EXPECT_FALSE(RefusesTreeDeletion("C:\\users\\someone\\Desktop"));
  RemoveDirectoryA(dir.c_str());
}

TEST(DirectoryCommands, TheRootOfADriveIsRefusedThroughTheCommand) {
  // The drive is a letter of this test's own over a directory of its own.
  std::string dir = test::MakeTempDirectory("drive");
  FillTree(dir);
  test::OwnDrive drive(dir);
  if (!drive.ok()) GTEST_SKIP() << "no drive letter of the test's own could be made";
  const std::string root = drive.root();
  char saved[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof saved, saved);
  ASSERT_TRUE(SetCurrentDirectoryA((root + "\\sub").c_str()));  // "X:" alone names the current directory there
  for (const std::string& path : {root, root + "\\", "  " + root + "\\", root + "/", root + "\\.", root + "\\\\",
                                  root + "\\sub\\..", "\\\\?\\" + root + "\\", "\\\\.\\" + root + "\\"}) {
    EXPECT_FALSE(rt::cmd::DeleteDirectoryTree(path.c_str())) << "[" << path << "]";
  }
  SetCurrentDirectoryA(saved);
  EXPECT_TRUE(TreeIntact(dir));
  // The letter is live: below its root the command does delete.
  EXPECT_TRUE(rt::cmd::DeleteDirectoryTree((root + "\\sub").c_str()));
  EXPECT_FALSE(Exists(dir + "\\sub"));
  EXPECT_TRUE(Exists(dir + "\\keep.txt"));
}

TEST(DirectoryCommands, ADirectoryThatIsALinkIsRemovedAsALinkOnly) {
  // A Desktop that is a link to a folder elsewhere: emptying the old
  // Desktop must not empty the folder it points at.
  std::string dir = test::MakeTempDirectory("linktop");
  std::string target = dir + "\\elsewhere";
  CreateDirectoryA(target.c_str(), nullptr);
  FillTree(target);
  std::string link = dir + "\\Desktop";
  if (!test::MakeDirectoryLink(link, target)) GTEST_SKIP() << "no directory links here";
  ASSERT_TRUE(GetFileAttributesA(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
  bool removed = rt::cmd::DeleteDirectoryTree(link.c_str());
  EXPECT_TRUE(TreeIntact(target));
  // Removing the link may fail (Wine cannot); it never reports what it did not do.
  EXPECT_EQ(removed, !Exists(link));
}

TEST(DirectoryCommands, ALinkInsideTheTreeIsNotFollowed) {
  std::string dir = test::MakeTempDirectory("linkin");
  std::string target = dir + "\\elsewhere";
  std::string tree = dir + "\\tree";
  CreateDirectoryA(target.c_str(), nullptr);
  CreateDirectoryA(tree.c_str(), nullptr);
  FillTree(target);
  PutFile(tree + "\\own.txt", "o");
  if (!test::MakeDirectoryLink(tree + "\\link", target)) GTEST_SKIP() << "no directory links here";
  bool removed = rt::cmd::DeleteDirectoryTree(tree.c_str());
  EXPECT_TRUE(TreeIntact(target));
  EXPECT_FALSE(Exists(tree + "\\own.txt"));
  EXPECT_EQ(removed, !Exists(tree));
}

TEST(DirectoryCommands, ADeepTreeGoesWhole) {
  std::string dir = test::MakeTempDirectory("deep");
  std::string path = dir;
  int depth = 0;
  while (path.size() + 4 < MAX_PATH - 20 && CreateDirectoryA((path + "\\d").c_str(), nullptr)) {
    path += "\\d";
    PutFile(path + "\\f", "x");
    ++depth;
  }
  ASSERT_GT(depth, 50);
  EXPECT_TRUE(rt::cmd::DeleteDirectoryTree(dir.c_str()));
  EXPECT_FALSE(Exists(dir));
}

}  // namespace

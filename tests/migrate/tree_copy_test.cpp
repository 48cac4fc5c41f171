// The copy of a folder's tree, its verification, the free room at a place,
// and the clear that takes from the old place exactly what was copied.
#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>
#include <string>
#include <vector>

#include "migrate/file_copy.h"
#include "migrate/files_move.h"
#include "migrate/tree_copy.h"
#include "tests/support/links.h"
#include "tests/support/scratch.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

// Two files, one in a subdirectory, a hidden read-only one, an empty
// subdirectory and a hidden one.
std::string MakeSourceTree() {
  std::string source = MakeTempDirectory("copysource");
  WriteFile(source + "\\a.txt", "alpha");
  CreateDirectoryA((source + "\\sub").c_str(), nullptr);
  WriteFile(source + "\\sub\\b.txt", "bravo-bravo");
  FILETIME old = {0x12345600, 0x01D00000};  // 2014: not the time of the copy
  HANDLE b = CreateFileA((source + "\\sub\\b.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  SetFileTime(b, nullptr, nullptr, &old);
  CloseHandle(b);
  WriteFile(source + "\\desktop.ini", "[.ShellClassInfo]");
  SetFileAttributesA((source + "\\desktop.ini").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
  CreateDirectoryA((source + "\\empty").c_str(), nullptr);
  CreateDirectoryA((source + "\\secret").c_str(), nullptr);
  SetFileAttributesA((source + "\\secret").c_str(), FILE_ATTRIBUTE_HIDDEN);
  return source;
}

CopyReport Copy(const std::string& from, const std::string& to, const TreePlan& plan) {
  CopyProgress progress(plan.files, plan.bytes);
  CopyReport report = CopyTree(from, to, plan, progress);
  if (report.outcome == CopyOutcome::kCopied) {
    EXPECT_EQ(progress.filesDone(), plan.files);
    EXPECT_EQ(progress.bytesDone(), plan.bytes);
  }
  return report;
}

TEST(TreeCopy, CopiesEverythingAsItIsAndReplacesWhatIsThere) {
  std::string source = MakeSourceTree();
  TreePlan plan = PlanTree(source);
  EXPECT_TRUE(plan.complete);
  EXPECT_EQ(plan.files, 3);
  EXPECT_EQ(plan.bytes, 5 + 11 + 17);
  for (bool existing : {false, true}) {
    SCOPED_TRACE(existing ? "into a directory with files of the same names" : "into a new directory");
    std::string destination = MakeTempDirectory("copydestination") + "\\target";
    if (existing) {
      CreateDirectoryA(destination.c_str(), nullptr);
      WriteFile(destination + "\\a.txt", "an older and longer version");
      WriteFile(destination + "\\desktop.ini", "older");
      SetFileAttributesA((destination + "\\desktop.ini").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
      WriteFile(destination + "\\other.txt", "other");
    }
    EXPECT_EQ(Copy(source, destination, plan).outcome, CopyOutcome::kCopied);
    EXPECT_EQ(ReadFile(destination + "\\a.txt"), "alpha");
    EXPECT_EQ(ReadFile(destination + "\\sub\\b.txt"), "bravo-bravo");
    EXPECT_EQ(ReadFile(destination + "\\desktop.ini"), "[.ShellClassInfo]");
    EXPECT_TRUE(Attributes(destination + "\\desktop.ini") & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(DirectoryExists(destination + "\\empty"));
    EXPECT_TRUE(Attributes(destination + "\\secret") & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(Exists(destination + "\\other.txt"), existing);
    WIN32_FILE_ATTRIBUTE_DATA was = {}, now = {};
    GetFileAttributesExA((source + "\\sub\\b.txt").c_str(), GetFileExInfoStandard, &was);
    GetFileAttributesExA((destination + "\\sub\\b.txt").c_str(), GetFileExInfoStandard, &now);
    EXPECT_EQ(CompareFileTime(&was.ftLastWriteTime, &now.ftLastWriteTime), 0) << "the time of last write goes along";
    EXPECT_TRUE(CopyVerified(destination, plan));
    EXPECT_EQ(ReadFile(source + "\\a.txt"), "alpha");
  }
}

// Files on either side of a block's size, empty ones, and enough of them
// that both copying threads take many.
TEST(TreeCopy, FilesOfEverySizeArriveWholeWhicheverThreadTakesThem) {
  std::string source = MakeTempDirectory("copysizes");
  const size_t block = kCopyBlockBytes;
  const size_t sizes[] = {0, 1, block - 1, block, block + 1, 2 * block, 2 * block + 7};
  std::vector<std::string> names;
  for (size_t i = 0; i < 120; ++i) {
    const std::string folder = i % 3 ? "" : "deep" + std::to_string(i % 4) + "\\";
    if (!folder.empty()) CreateDirectoryA((source + "\\" + folder).c_str(), nullptr);
    std::string contents(i < std::size(sizes) ? sizes[i] : i * 37, '\0');
    for (size_t at = 0; at < contents.size(); ++at) contents[at] = static_cast<char>((at * 131 + i) % 251);
    names.push_back(folder + "f" + std::to_string(i) + ".bin");
    WriteFile(source + "\\" + names.back(), contents);
  }
  TreePlan plan = PlanTree(source);
  ASSERT_EQ(plan.files, 120);
  std::string copy = MakeTempDirectory("copysizes") + "\\target";
  ASSERT_EQ(Copy(source, copy, plan).outcome, CopyOutcome::kCopied);
  for (const std::string& name : names) EXPECT_EQ(ReadFile(copy + "\\" + name), ReadFile(source + "\\" + name)) << name;
  EXPECT_TRUE(CopyVerified(copy, plan));
}

TEST(TreeCopy, AFailureOrACancelStopsAndIsReported) {
  std::string source = MakeSourceTree();
  TreePlan plan = PlanTree(source);
  std::string destination = MakeTempDirectory("copydestination");
  WriteFile(destination + "\\a.txt", "held");
  HANDLE held = CreateFileA((destination + "\\a.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  CopyReport report = Copy(source, destination, plan);
  CloseHandle(held);
  EXPECT_EQ(report.outcome, CopyOutcome::kFailed);
  EXPECT_EQ(report.failedEntry, "a.txt");
  EXPECT_FALSE(CopyVerified(destination, plan));

  // A directory where a file goes is not replaced.
  std::string blocked = MakeTempDirectory("copydestination");
  CreateDirectoryA((blocked + "\\sub").c_str(), nullptr);
  CreateDirectoryA((blocked + "\\sub\\b.txt").c_str(), nullptr);
  report = Copy(source, blocked, plan);
  EXPECT_EQ(report.outcome, CopyOutcome::kFailed);
  EXPECT_EQ(report.failedEntry, "sub\\b.txt");
  EXPECT_TRUE(DirectoryExists(blocked + "\\sub\\b.txt"));

  CopyProgress progress(plan.files, plan.bytes);
  progress.cancel();
  std::string untouched = MakeTempDirectory("copydestination");
  EXPECT_EQ(CopyTree(source, untouched, plan, progress).outcome, CopyOutcome::kCancelled);
  EXPECT_EQ(progress.filesDone(), 0);
  EXPECT_FALSE(Exists(untouched + "\\a.txt"));
}

TEST(TreeCopy, TheVerificationNeedsEveryPlannedEntryAtItsSize) {
  std::string source = MakeSourceTree();
  TreePlan plan = PlanTree(source);
  std::string copy = MakeTempDirectory("copycheck");
  ASSERT_EQ(Copy(source, copy, plan).outcome, CopyOutcome::kCopied);
  ASSERT_TRUE(CopyVerified(copy, plan));
  WriteFile(copy + "\\sub\\b.txt", "bravo");
  EXPECT_FALSE(CopyVerified(copy, plan));
  WriteFile(copy + "\\sub\\b.txt", "bravo-bravX");
  EXPECT_TRUE(CopyVerified(copy, plan)) << "the size is what is compared";
  RemoveDirectoryA((copy + "\\empty").c_str());
  EXPECT_FALSE(CopyVerified(copy, plan));
  CreateDirectoryA((copy + "\\empty").c_str(), nullptr);
  TreePlan unreadable = PlanTree(source + "\\missing");
  EXPECT_FALSE(unreadable.complete);
  EXPECT_FALSE(CopyVerified(copy, unreadable));
}

TEST(TreeCopy, TheClearTakesOnlyWhatIsStillAsItWasCopied) {
  std::string old = MakeSourceTree();
  TreePlan plan = PlanTree(old);
  std::string copy = MakeTempDirectory("copyclear");
  ASSERT_EQ(Copy(old, copy, plan).outcome, CopyOutcome::kCopied);
  // Meanwhile a new file comes, and a copied one changes.
  WriteFile(old + "\\sub\\new.txt", "new");
  WriteFile(old + "\\a.txt", "alpha, changed");
  ClearReport report = ClearCopiedEntries(old, plan);
  EXPECT_TRUE(DirectoryExists(old));
  EXPECT_EQ(ReadFile(old + "\\a.txt"), "alpha, changed");
  EXPECT_EQ(ReadFile(old + "\\sub\\new.txt"), "new");
  EXPECT_FALSE(Exists(old + "\\sub\\b.txt"));
  EXPECT_FALSE(Exists(old + "\\desktop.ini"));
  EXPECT_FALSE(Exists(old + "\\empty"));
  EXPECT_FALSE(Exists(old + "\\secret"));
  // a.txt, sub and sub\new.txt
  EXPECT_EQ(report.kept, 3);
  // sub\b.txt and desktop.ini; empty and secret
  EXPECT_EQ(report.deleted, 4);
}

TEST(TreeCopy, LinksAreNeitherFollowedNorCopiedNorCleared) {
  std::string old = MakeSourceTree();
  std::string elsewhere = MakeTempDirectory("linktarget");
  WriteFile(elsewhere + "\\theirs.txt", "theirs");
  if (!MakeDirectoryLink(old + "\\link", elsewhere)) GTEST_SKIP() << "no directory links here";
  TreePlan plan = PlanTree(old);
  EXPECT_EQ(plan.links, 1);
  EXPECT_EQ(plan.files, 3);
  std::string copy = MakeTempDirectory("copylink");
  ASSERT_EQ(Copy(old, copy, plan).outcome, CopyOutcome::kCopied);
  EXPECT_FALSE(Exists(copy + "\\link"));
  ClearReport report = ClearCopiedEntries(old, plan);
  EXPECT_EQ(report.kept, 1);
  EXPECT_EQ(ReadFile(elsewhere + "\\theirs.txt"), "theirs");
  EXPECT_TRUE(Exists(old + "\\link"));
}

TEST(TreeCopy, FreeRoomIsAskedOfThePlaceOrItsNearestAncestor) {
  std::string place = MakeTempDirectory("room");
  const int64_t free = FreeBytesAt(place);
  EXPECT_GT(free, 0);
  EXPECT_GT(FreeBytesAt(place + "\\not\\yet\\made"), 0);
  EXPECT_EQ(FreeBytesAt(""), -1);
}

}  // namespace
}  // namespace korvalin::test

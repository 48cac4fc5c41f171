// The copy of a folder's tree, its verification, what it meets at the
// destination, the files it replaces, the free room at a place, and the
// clear that takes from the old place exactly what was copied.
#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>
#include <string>
#include <vector>

#include "migrate/destination_survey.h"
#include "migrate/file_copy.h"
#include "migrate/files_move.h"
#include "migrate/long_path.h"
#include "migrate/replacements.h"
#include "migrate/tree_clear.h"
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

TreePlan Plan(const std::string& folder) { return PlanTree(EnginePath(folder)); }

CopyReport Copy(const TreePlan& plan, const std::string& to) {
  CopyProgress progress(plan.files, plan.bytes);
  CopyReport report = CopyTree(plan, EnginePath(to), progress);
  if (report.outcome == CopyOutcome::kCopied) {
    EXPECT_EQ(progress.filesDone(), plan.files);
    EXPECT_EQ(progress.bytesDone(), plan.bytes);
  }
  return report;
}

bool Verified(const TreePlan& plan, const std::string& to) { return CopyVerified(plan, EnginePath(to)); }

// The whole engine as a move runs it: survey, copy, verify, put in place.
bool CopyInPlace(TreePlan& plan, const std::string& to) {
  const std::wstring target = EnginePath(to);
  const DestinationSurvey survey = SurveyDestination(plan, target);
  if (survey.intoFolder || !survey.conflict.empty()) return false;
  if (Copy(plan, to).outcome != CopyOutcome::kCopied || !Verified(plan, to)) return false;
  Replacements replacements(plan, target);
  if (!replacements.putInPlace()) return false;
  replacements.finish();
  return true;
}

TEST(TreeCopy, CopiesEverythingAsItIsAndReplacesWhatIsThereOnlyOnceVerified) {
  std::string source = MakeSourceTree();
  TreePlan plan = Plan(source);
  EXPECT_TRUE(plan.complete);
  EXPECT_EQ(plan.files, 3);
  EXPECT_EQ(plan.bytes, 5 + 11 + 17);
  for (bool existing : {false, true}) {
    SCOPED_TRACE(existing ? "into a directory with files of the same names" : "into a new directory");
    TreePlan fresh = plan;
    std::string destination = MakeTempDirectory("copydestination") + "\\target";
    if (existing) {
      CreateDirectoryA(destination.c_str(), nullptr);
      WriteFile(destination + "\\A.TXT", "an older and longer version");
      WriteFile(destination + "\\desktop.ini", "older");
      SetFileAttributesA((destination + "\\desktop.ini").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
      WriteFile(destination + "\\other.txt", "other");
    }
    const DestinationSurvey survey = SurveyDestination(fresh, EnginePath(destination));
    EXPECT_EQ(survey.replaced, existing ? 2 : 0) << "names compare without regard to case";
    ASSERT_EQ(Copy(fresh, destination).outcome, CopyOutcome::kCopied);
    ASSERT_TRUE(Verified(fresh, destination));
    if (existing) {
      EXPECT_EQ(ReadFile(destination + "\\a.txt"), "an older and longer version") << "not replaced before it is verified";
      Replacements replacements(fresh, EnginePath(destination));
      ASSERT_TRUE(replacements.putInPlace());
      replacements.finish();
    }
    EXPECT_EQ(ReadFile(destination + "\\a.txt"), "alpha");
    EXPECT_EQ(ReadFile(destination + "\\sub\\b.txt"), "bravo-bravo");
    EXPECT_EQ(ReadFile(destination + "\\desktop.ini"), "[.ShellClassInfo]");
    EXPECT_EQ(Attributes(destination + "\\desktop.ini") & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              DWORD{FILE_ATTRIBUTE_HIDDEN});
    EXPECT_TRUE(DirectoryExists(destination + "\\empty"));
    EXPECT_TRUE(Attributes(destination + "\\secret") & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(Exists(destination + "\\other.txt"), existing);
    EXPECT_EQ(Entries(destination).size(), existing ? 6u : 5u) << "no waiting or set-aside copy is left";
    WIN32_FILE_ATTRIBUTE_DATA was = {}, now = {};
    GetFileAttributesExA((source + "\\sub\\b.txt").c_str(), GetFileExInfoStandard, &was);
    GetFileAttributesExA((destination + "\\sub\\b.txt").c_str(), GetFileExInfoStandard, &now);
    EXPECT_EQ(CompareFileTime(&was.ftLastWriteTime, &now.ftLastWriteTime), 0) << "the time of last write goes along";
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
  TreePlan plan = Plan(source);
  ASSERT_EQ(plan.files, 120);
  std::string copy = MakeTempDirectory("copysizes") + "\\target";
  ASSERT_EQ(Copy(plan, copy).outcome, CopyOutcome::kCopied);
  for (const std::string& name : names) EXPECT_EQ(ReadFile(copy + "\\" + name), ReadFile(source + "\\" + name)) << name;
  EXPECT_TRUE(Verified(plan, copy));
}

TEST(TreeCopy, AFailureOrACancelStopsLeavingWhatStoodThereAsItWas) {
  std::string source = MakeSourceTree();
  // A file the copy cannot read: held open here without sharing.
  TreePlan plan = Plan(source);
  std::string destination = MakeTempDirectory("copydestination");
  WriteFile(destination + "\\a.txt", "the user's own");
  ASSERT_EQ(SurveyDestination(plan, EnginePath(destination)).replaced, 1);
  HANDLE held = CreateFileA((source + "\\sub\\b.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  CopyReport report = Copy(plan, destination);
  CloseHandle(held);
  EXPECT_EQ(report.outcome, CopyOutcome::kFailed);
  EXPECT_EQ(report.failedEntry, L"sub\\b.txt");
  EXPECT_FALSE(Verified(plan, destination));
  EXPECT_EQ(ReadFile(destination + "\\a.txt"), "the user's own");
  EXPECT_FALSE(Exists(destination + "\\sub\\b.txt")) << "a file not copied whole is not left behind";
  for (const std::string& entry : Entries(destination)) EXPECT_EQ(entry.find("~korvalin"), std::string::npos) << entry;

  CopyProgress progress(plan.files, plan.bytes);
  progress.cancel();
  std::string untouched = MakeTempDirectory("copydestination");
  EXPECT_EQ(CopyTree(plan, EnginePath(untouched), progress).outcome, CopyOutcome::kCancelled);
  EXPECT_EQ(progress.filesDone(), 0);
  EXPECT_FALSE(Exists(untouched + "\\a.txt"));
}

// The copy of one file looks at the cancel between its blocks, not only
// the copiers between files; a file not copied whole is not left behind.
TEST(TreeCopy, ACancelIsSeenInsideAFile) {
  std::string source = MakeTempDirectory("copycancel");
  WriteFile(source + "\\large.bin", std::string(4 * kCopyBlockBytes, 'L'));
  TreePlan plan = Plan(source);
  ASSERT_EQ(plan.entries.size(), 1u);
  std::string destination = MakeTempDirectory("copycancel");
  CopyProgress progress(plan.files, plan.bytes);
  progress.cancel();
  std::vector<char> block = NewCopyBlock();
  int64_t copied = -1;
  EXPECT_EQ(CopyOneFile(EnginePath(source + "\\large.bin"), EnginePath(destination + "\\large.bin"),
                        plan.entries[0].listed, block, progress, &copied),
            FileCopyResult::kCancelled);
  EXPECT_EQ(copied, 0);
  EXPECT_FALSE(Exists(destination + "\\large.bin"));
}

TEST(TreeCopy, TheVerificationNeedsEveryPlannedEntryAtItsSize) {
  std::string source = MakeSourceTree();
  TreePlan plan = Plan(source);
  std::string copy = MakeTempDirectory("copycheck");
  ASSERT_EQ(Copy(plan, copy).outcome, CopyOutcome::kCopied);
  ASSERT_TRUE(Verified(plan, copy));
  WriteFile(copy + "\\sub\\b.txt", "bravo");
  EXPECT_FALSE(Verified(plan, copy));
  WriteFile(copy + "\\sub\\b.txt", "bravo-bravX");
  EXPECT_TRUE(Verified(plan, copy)) << "the size is what is compared";
  RemoveDirectoryA((copy + "\\empty").c_str());
  EXPECT_FALSE(Verified(plan, copy));
  CreateDirectoryA((copy + "\\empty").c_str(), nullptr);
  TreePlan unreadable = Plan(source + "\\missing");
  EXPECT_FALSE(unreadable.complete);
  EXPECT_FALSE(Verified(unreadable, copy));
}

TEST(TreeCopy, WhatTheCopyWouldMeetIsSurveyedFirst) {
  std::string source = MakeSourceTree();
  TreePlan plan = Plan(source);
  // A directory where the folder has a file, and the other way round.
  std::string blocked = MakeTempDirectory("survey");
  CreateDirectoryA((blocked + "\\sub").c_str(), nullptr);
  CreateDirectoryA((blocked + "\\sub\\b.txt").c_str(), nullptr);
  EXPECT_EQ(SurveyDestination(plan, EnginePath(blocked)).conflict, L"sub\\b.txt");
  std::string other = MakeTempDirectory("survey");
  WriteFile(other + "\\empty", "a file");
  EXPECT_EQ(SurveyDestination(plan, EnginePath(other)).conflict, L"empty");
  // The folder itself, a directory inside it, and a place that holds it
  // and would take its copy into the folder itself.
  for (const std::string& place : {source, source + "\\sub", source + "\\sub\\new"}) {
    TreePlan again = Plan(source);
    EXPECT_TRUE(SurveyDestination(again, EnginePath(place)).intoFolder) << place;
  }
  std::string nested = MakeTempDirectory("nested");
  CreateDirectoryA((nested + "\\inner").c_str(), nullptr);
  WriteFile(nested + "\\inner\\z.txt", "inner z");
  CreateDirectoryA((nested + "\\inner\\inner").c_str(), nullptr);
  WriteFile(nested + "\\inner\\inner\\z.txt", "nested z");
  TreePlan holder = Plan(nested + "\\inner");
  EXPECT_TRUE(SurveyDestination(holder, EnginePath(nested)).intoFolder);
}

TEST(TreeCopy, ReplacedFilesGoBackWhenTheMoveStopsBeforeTheSwitch) {
  std::string source = MakeSourceTree();
  TreePlan plan = Plan(source);
  std::string destination = MakeTempDirectory("putback");
  WriteFile(destination + "\\a.txt", "the user's a");
  WriteFile(destination + "\\desktop.ini", "the user's ini");
  SetFileAttributesA((destination + "\\desktop.ini").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_EQ(SurveyDestination(plan, EnginePath(destination)).replaced, 2);
  ASSERT_EQ(Copy(plan, destination).outcome, CopyOutcome::kCopied);
  ASSERT_TRUE(Verified(plan, destination));
  {
    Replacements replacements(plan, EnginePath(destination));
    ASSERT_TRUE(replacements.putInPlace());
    EXPECT_EQ(ReadFile(destination + "\\a.txt"), "alpha");
    replacements.putBack();  // the registry value could not be written
  }
  EXPECT_EQ(ReadFile(destination + "\\a.txt"), "the user's a");
  EXPECT_EQ(ReadFile(destination + "\\desktop.ini"), "the user's ini");
  EXPECT_TRUE(Attributes(destination + "\\desktop.ini") & FILE_ATTRIBUTE_READONLY);
  for (const std::string& entry : Entries(destination)) EXPECT_EQ(entry.find("~korvalin"), std::string::npos) << entry;

  // One that cannot be set aside (held open without sharing) puts the
  // others back too. What the first copy left is replaced this time.
  TreePlan again = Plan(source);
  ASSERT_EQ(SurveyDestination(again, EnginePath(destination)).replaced, 3);
  ASSERT_EQ(Copy(again, destination).outcome, CopyOutcome::kCopied);
  HANDLE held = CreateFileA((destination + "\\desktop.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Replacements replacements(again, EnginePath(destination));
  EXPECT_FALSE(replacements.putInPlace());
  CloseHandle(held);
  EXPECT_EQ(replacements.failed(), L"desktop.ini");
  EXPECT_EQ(ReadFile(destination + "\\a.txt"), "the user's a");
  EXPECT_EQ(ReadFile(destination + "\\desktop.ini"), "the user's ini");
}

TEST(TreeCopy, TheClearTakesOnlyWhatIsStillAsItWasCopied) {
  std::string old = MakeSourceTree();
  TreePlan plan = Plan(old);
  std::string copy = MakeTempDirectory("copyclear");
  ASSERT_EQ(Copy(plan, copy).outcome, CopyOutcome::kCopied);
  ASSERT_TRUE(FlushCopies(plan, EnginePath(copy)));
  // Meanwhile a new file comes, and a copied one changes.
  WriteFile(old + "\\sub\\new.txt", "new");
  WriteFile(old + "\\a.txt", "alpha, changed");
  ClearReport report = ClearCopiedEntries(plan);
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

// Tools that restore times write a file anew and set its size and time of
// last write back; the change time the file system keeps still moves.
TEST(TreeCopy, AFileRewrittenWithItsOldSizeAndTimeIsKept) {
  std::string old = MakeTempDirectory("rewritten");
  WriteFile(old + "\\same.txt", "12345");
  TreePlan plan = Plan(old);
  std::string copy = MakeTempDirectory("rewritten");
  ASSERT_EQ(Copy(plan, copy).outcome, CopyOutcome::kCopied);
  Sleep(1100);  // change times a file system keeps in whole seconds move too
  WIN32_FILE_ATTRIBUTE_DATA before = {};
  GetFileAttributesExA((old + "\\same.txt").c_str(), GetFileExInfoStandard, &before);
  WriteFile(old + "\\same.txt", "54321");
  HANDLE file = CreateFileA((old + "\\same.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  SetFileTime(file, nullptr, nullptr, &before.ftLastWriteTime);
  CloseHandle(file);
  ClearReport report = ClearCopiedEntries(plan);
  EXPECT_EQ(ReadFile(old + "\\same.txt"), "54321");
  EXPECT_EQ(report.kept, 1);
  EXPECT_EQ(report.deleted, 0);
}

TEST(TreeCopy, LinksAreNeitherFollowedNorCopiedNorCleared) {
  std::string old = MakeSourceTree();
  std::string elsewhere = MakeTempDirectory("linktarget");
  WriteFile(elsewhere + "\\theirs.txt", "theirs");
  if (!MakeDirectoryLink(old + "\\link", elsewhere)) GTEST_SKIP() << "no directory links here";
  TreePlan plan = Plan(old);
  EXPECT_EQ(plan.links, 1);
  EXPECT_EQ(plan.files, 3);
  std::string copy = MakeTempDirectory("copylink");
  ASSERT_EQ(Copy(plan, copy).outcome, CopyOutcome::kCopied);
  EXPECT_FALSE(Exists(copy + "\\link"));
  ClearReport report = ClearCopiedEntries(plan);
  EXPECT_EQ(report.kept, 1);
  EXPECT_EQ(ReadFile(elsewhere + "\\theirs.txt"), "theirs");
  EXPECT_TRUE(Exists(old + "\\link"));
}

// Under Wine a link to a file is listed as a plain file, and deleting it
// deletes what it leads to.
TEST(TreeCopy, AFileThatLeadsOutOfTheFolderIsNotDeletedThere) {
  std::string old = MakeTempDirectory("filelink");
  std::string outside = MakeTempDirectory("filelink-target");
  WriteFile(outside + "\\important.txt", "important");
  WriteFile(old + "\\own.txt", "own");
  if (!MakeFileLink(old + "\\important.txt", outside + "\\important.txt")) GTEST_SKIP() << "no file links here";
  TreePlan plan = Plan(old);
  std::string copy = MakeTempDirectory("filelink-copy");
  ASSERT_TRUE(CopyInPlace(plan, copy));
  EXPECT_EQ(ReadFile(copy + "\\important.txt"), "important");
  ClearReport report = ClearCopiedEntries(plan);
  EXPECT_EQ(ReadFile(outside + "\\important.txt"), "important");
  EXPECT_FALSE(Exists(old + "\\own.txt"));
  EXPECT_EQ(report.kept, 1);
}

TEST(TreeCopy, APathPastTheOldLimitIsCopiedAndCleared) {
  const std::string old = MakeTempDirectory("deep");
  std::wstring relative;
  for (int level = 0; level < 6; ++level) {
    relative += std::wstring(48, static_cast<wchar_t>(L'a' + level));
    ASSERT_TRUE(CreateDirectoryW((EnginePath(old) + L"\\" + relative).c_str(), nullptr));
    relative += L"\\";
  }
  const std::wstring deepFile = EnginePath(old) + L"\\" + relative + L"deep.txt";
  HANDLE file = CreateFileW(deepFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ::WriteFile(file, "deep", 4, &written, nullptr);
  CloseHandle(file);
  ASSERT_GT(deepFile.size(), 300u);
  TreePlan plan = Plan(old);
  EXPECT_EQ(plan.files, 1);
  std::string copy = MakeTempDirectory("deep-copy");
  ASSERT_TRUE(CopyInPlace(plan, copy));
  EXPECT_EQ(GetFileAttributesW((EnginePath(copy) + L"\\" + relative + L"deep.txt").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
            0u);
  ClearReport report = ClearCopiedEntries(plan);
  EXPECT_EQ(report.kept, 0);
  EXPECT_EQ(report.deleted, 7);
  EXPECT_TRUE(DirectoryIsEmpty(old));
}

TEST(TreeCopy, FreeRoomIsAskedOfThePlaceOrItsNearestAncestor) {
  std::string place = MakeTempDirectory("room");
  const int64_t free = FreeBytesAt(EnginePath(place));
  EXPECT_GT(free, 0);
  EXPECT_GT(FreeBytesAt(EnginePath(place + "\\not\\yet\\made")), 0);
  EXPECT_EQ(FreeBytesAt(L""), -1);
}

}  // namespace
}  // namespace korvalin::test

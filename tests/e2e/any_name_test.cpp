// A folder holding names the program's code page cannot hold, characters
// whose second byte is a backslash, look-alikes the code page maps onto
// each other, a path past 260 characters and a file with a stream of its
// own, moved with its files from outside as a user would.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/folders.h"
#include "tests/e2e/korvalin_run.h"
#include "tests/e2e/prefix_tools.h"
#include "tests/support/test_support.h"

namespace korvalin::e2e {
namespace {

std::wstring Long(const std::wstring& path) { return L"\\\\?\\" + path; }

bool PutWide(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool whole = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                     written == bytes.size();
  CloseHandle(file);
  return whole;
}

// Empty with `exists` false when there is no such file.
std::string ReadWide(const std::wstring& path, bool* exists = nullptr) {
  HANDLE file = CreateFileW(Long(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (exists) *exists = file != INVALID_HANDLE_VALUE;
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char block[4096];
  DWORD read = 0;
  while (ReadFile(file, block, sizeof block, &read, nullptr) && read > 0) bytes.append(block, read);
  CloseHandle(file);
  return bytes;
}

bool HasStream(const std::wstring& file, const std::wstring& stream) {
  HANDLE handle = CreateFileW(Long(file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  std::vector<char> buffer(16 * 1024);
  bool found = false;
  if (GetFileInformationByHandleEx(handle, FileStreamInfo, buffer.data(), static_cast<DWORD>(buffer.size()))) {
    for (size_t offset = 0;;) {
      const auto& info = *reinterpret_cast<const FILE_STREAM_INFO*>(buffer.data() + offset);
      if (std::wstring(info.StreamName, info.StreamNameLength / 2) == L":" + stream + L":$DATA") found = true;
      if (!info.NextEntryOffset) break;
      offset += info.NextEntryOffset;
    }
  }
  CloseHandle(handle);
  return found;
}

// Every name with contents of its own, so that no file can stand in for
// another.
struct Named {
  std::wstring relative;
  std::string contents;
};

std::vector<Named> AwkwardFiles() {
  std::vector<Named> files = {
      {L"한글.txt", "hangul"},           {L"😀.txt", "emoji"},
      {L"ß.txt", "sharp s"},             {L"誠.txt", "makoto, 0x5C second byte"},
      {L"運動.txt", "undou, 0x5C second byte"},
      {L"誠\\inside.txt", "in a folder whose name ends in 0x5C"},
      {L"château.txt", "chateau with a circumflex"}, {L"chateau.txt", "plain chateau"},
      {L"m².txt", "m squared"},          {L"m2.txt", "m two"},
      {L"Z.txt", "a decoy '?.txt' would match"},      {L"ZZ.txt", "a decoy '??.txt' would match"},
  };
  // A path of more than 300 characters below the folder.
  std::wstring deep;
  for (int level = 0; level < 6; ++level) deep += std::wstring(48, static_cast<wchar_t>(L'a' + level)) + L"\\";
  files.push_back({deep + L"deep.txt", "past the old limit"});
  return files;
}

void PutAll(const std::wstring& folder, const std::vector<Named>& files) {
  for (const Named& file : files) {
    for (size_t cut = file.relative.find(L'\\'); cut != std::wstring::npos; cut = file.relative.find(L'\\', cut + 1))
      CreateDirectoryW(Long(folder + L"\\" + file.relative.substr(0, cut)).c_str(), nullptr);
    ASSERT_TRUE(PutWide(folder + L"\\" + file.relative, file.contents));
  }
}

TEST(AnyName, EveryFileMovesUnderItsOwnNameAndIsClearedFromTheOldPlace) {
  Folders folders("names");
  const std::string old = folders.Make("old"), fresh = folders.root + "\\new";
  // A place a wildcard spelling of the old folder would reach.
  const std::string beside = folders.Make("olc");
  WriteFileBytes(beside + "\\a.txt", "beside");
  const std::vector<Named> files = AwkwardFiles();
  PutAll(Wide(old), files);
  const std::wstring marked = Wide(old) + L"\\downloaded.exe";
  ASSERT_TRUE(PutWide(marked, "MZ"));
  const bool streams = PutWide(marked + L":Zone.Identifier", "[ZoneTransfer]\r\nZoneId=3\r\n") &&
                       HasStream(marked, L"Zone.Identifier");
  ASSERT_TRUE(RegAdd(kShellFolders, "Desktop", "REG_SZ", old));
  ASSERT_GT((Wide(old) + L"\\" + files.back().relative).size(), 300u);

  KorvalinRun run("names");
  std::string out;
  EXPECT_EQ(run.RunCommand("/move Desktop " + fresh + " /files /clear", &out), 0u) << out;
  for (const Named& file : files) {
    bool there = false;
    EXPECT_EQ(ReadWide(Wide(fresh) + L"\\" + file.relative, &there), file.contents) << Utf8(file.relative);
    EXPECT_TRUE(there) << Utf8(file.relative);
  }
  EXPECT_EQ(ReadWide(Wide(fresh) + L"\\downloaded.exe"), "MZ");
  if (streams) {
    EXPECT_EQ(ReadWide(Wide(fresh) + L"\\downloaded.exe:Zone.Identifier"), "[ZoneTransfer]\r\nZoneId=3\r\n");
  }
  EXPECT_TRUE(Entries(old).empty()) << "the old place is emptied of every name";
  EXPECT_EQ(ReadFileBytes(beside + "\\a.txt"), "beside");
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, fresh);
}

TEST(AnyName, AFileThatCannotBeReadFailsTheMoveNamingItReadably) {
  Folders folders("names-held");
  const std::string old = folders.Make("old"), fresh = folders.Make("new");
  PutAll(Wide(old), {{L"한글.txt", "hangul"}, {L"a.txt", "alpha"}});
  ASSERT_TRUE(RegAdd(kShellFolders, "Desktop", "REG_SZ", old));
  HANDLE held = CreateFileW(Long(Wide(old) + L"\\한글.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  KorvalinRun run("names-held");
  std::string out;
  EXPECT_EQ(run.RunCommand("/move Desktop " + fresh + " /files /clear", &out), 3u) << out;
  CloseHandle(held);
  EXPECT_NE(out.find(Utf8(L"未能复制：<U+D55C><U+AE00>.txt")), std::string::npos) << out;
  const std::wstring hangul = Wide(old) + L"\\한글.txt";
  EXPECT_EQ(ReadWide(hangul), "hangul");
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, old);
}

// 淺 ends in the byte of a backslash: the place beside the current one is
// not inside it.
TEST(AnyName, APlaceBesideAFolderWhoseNameEndsInA5CByteIsNoPlaceInsideIt) {
  Folders folders("names-5c");
  const std::string old = folders.Make("淺"), fresh = folders.root + "\\淺x";
  ASSERT_TRUE(MakeUserDesktop(old));
  KorvalinRun run("names-5c");
  std::string out;
  EXPECT_EQ(run.RunCommand("/move Desktop " + fresh + " /files /clear", &out), 0u) << out;
  EXPECT_TRUE(HoldsUserFiles(fresh));
  EXPECT_TRUE(Entries(old).empty());
  EXPECT_EQ(RegQuery(kShellFolders, "Desktop").data, fresh);
}

}  // namespace
}  // namespace korvalin::e2e

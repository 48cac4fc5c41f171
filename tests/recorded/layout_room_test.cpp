// A layout's copies onto one drive are checked for room together: each of
// them fits alone, both do not, and then nothing moves. The recorder sets
// the free space the platform reports.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/command/command_line.h"
#include "app/command/command_mode.h"
#include "tests/recorded/recording_image.h"
#include "tests/support/scratch.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

constexpr char kFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Points a folder of the prefix at a directory of the test's own, and back.
class FolderPointedAway {
 public:
  FolderPointedAway(const std::string& name, const std::string& directory)
      : name_(name), before_(ReadValue(HKEY_CURRENT_USER, kFolders, name)) {
    WriteValue(HKEY_CURRENT_USER, kFolders, name, directory);
  }
  ~FolderPointedAway() { WriteValue(HKEY_CURRENT_USER, kFolders, name_, before_.text, before_.type); }
  bool pointedBefore() const { return before_.found; }

 private:
  std::string name_;
  RegistryValue before_;
};

std::string JsonPath(const std::string& path) {
  std::string out;
  for (char c : path) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out;
}

TEST(LayoutRoom, CopiesThatFitOneByOneButNotTogetherMoveNothing) {
  const std::string desk = MakeTempDirectory("layout-room-desk"), docs = MakeTempDirectory("layout-room-docs");
  const std::string to = MakeTempDirectory("layout-room-to");
  WriteFile(desk + "\\a.bin", std::string(1024 * 1024, 'a'));
  WriteFile(docs + "\\b.bin", std::string(1024 * 1024, 'b'));
  FolderPointedAway desktop("Desktop", desk), personal("Personal", docs);
  ASSERT_TRUE(desktop.pointedBefore() && personal.pointedBefore());
  const std::string layout = to + "\\layout.json";
  WriteFile(layout, "[{\"name\": \"Desktop\", \"directory\": \"" + JsonPath(to) + "\\\\Desktop\", \"files\": true},"
                    " {\"name\": \"Personal\", \"directory\": \"" + JsonPath(to) + "\\\\Documents\", \"files\": true}]");

  KorvalinRecorder()->freeBytes = 1536 * 1024;
  const int code = RunCommand(ParseCommandLine({"/apply", layout}), true);
  KorvalinRecorder()->freeBytes = -1;

  EXPECT_EQ(code, kExitRefused);
  EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kFolders, "Desktop").text, desk);
  EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kFolders, "Personal").text, docs);
  EXPECT_FALSE(DirectoryExists(to + "\\Desktop"));
  EXPECT_FALSE(DirectoryExists(to + "\\Documents"));
  EXPECT_EQ(ReadFile(desk + "\\a.bin"), std::string(1024 * 1024, 'a'));
  EXPECT_EQ(ReadFile(docs + "\\b.bin"), std::string(1024 * 1024, 'b'));

  // With room for both, the same layout moves both.
  KorvalinRecorder()->freeBytes = 3 * 1024 * 1024;
  EXPECT_EQ(RunCommand(ParseCommandLine({"/apply", layout}), true), kExitDone);
  KorvalinRecorder()->freeBytes = -1;
  EXPECT_EQ(ReadFile(to + "\\Desktop\\a.bin"), std::string(1024 * 1024, 'a'));
  EXPECT_EQ(ReadFile(to + "\\Documents\\b.bin"), std::string(1024 * 1024, 'b'));
}

}  // namespace
}  // namespace korvalin::test

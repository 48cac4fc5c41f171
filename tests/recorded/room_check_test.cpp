// The room check before a copy, with the free space the platform reports
// set by the recorder: a copy that does not fit changes nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include "migrate/folder_operation.h"
#include "tests/recorded/recording_image.h"
#include "tests/support/scratch.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

class AnswerAll final : public OperationHost {
 public:
  std::string directory;
  std::vector<std::string> told;
  bool copied = false;
  std::string chooseNewDirectory(const std::string&) override { return directory; }
  bool ask(Question, const std::string&) override { return true; }
  void tell(const std::string& instruction, const std::string& content, NoticeIcon) override {
    told.push_back(instruction + " " + content);
  }
  CopyReport runCopy(const std::function<CopyReport()>& copy, CopyProgress&) override {
    copied = true;
    return copy();
  }
};

TEST(RoomCheck, ACopyThatDoesNotFitIsRefusedWithBothFigures) {
  FolderRule rule;
  rule.title = "测试";
  rule.name = UniqueName("Folder");
  rule.root = 3;
  rule.path = "Software\\KorvalinTests\\" + UniqueName("Room");
  rule.moveFiles = true;
  rule.currentDir = MakeTempDirectory("room-old");
  WriteFile(rule.currentDir + "\\big.bin", std::string(3 * 1024 * 1024, 'x'));
  AnswerAll host;
  host.directory = MakeTempDirectory("room-new");

  KorvalinRecorder()->freeBytes = 1024 * 1024;
  KorvalinRecorderClear();
  OperationResult result = ChangeFolder(rule, {}, host);
  KorvalinRecorder()->freeBytes = -1;

  EXPECT_EQ(result.outcome, Outcome::kRefused);
  ASSERT_EQ(host.told.size(), 1u);
  EXPECT_EQ(host.told[0], "空间不足 新目录所在磁盘空间不足：需要 3.0 MB，可用 1.0 MB。未作任何修改。");
  EXPECT_FALSE(host.copied);
  EXPECT_TRUE(DirectoryIsEmpty(host.directory));
  EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, rule.path, rule.name).found);
  RecorderLog log;
  ASSERT_FALSE(log.calls("GetDiskFreeSpaceExW").empty());
  const std::wstring asked = log.calls("GetDiskFreeSpaceExW")[0].wide[0];
  EXPECT_EQ(asked, L"\\\\?\\" + std::wstring(host.directory.begin(), host.directory.end()) + L"\\");

  // Room enough: the same move goes through.
  KorvalinRecorder()->freeBytes = 4 * 1024 * 1024;
  result = ChangeFolder(rule, {}, host);
  KorvalinRecorder()->freeBytes = -1;
  EXPECT_EQ(result.outcome, Outcome::kDone);
  EXPECT_TRUE(host.copied);
  DeleteKeyTree(HKEY_CURRENT_USER, rule.path);
}

}  // namespace
}  // namespace korvalin::test

// The order a clear keeps with the disk: every copy and the switched value
// are flushed before the first deletion, so a power loss cannot keep the
// deletions and lose the copies.
#include <gtest/gtest.h>

#include <windows.h>

#include "migrate/folder_operation.h"
#include "tests/recorded/recording_image.h"
#include "tests/support/scratch.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

class SayYes final : public OperationHost {
 public:
  std::string directory;
  std::string chooseNewDirectory(const std::string&) override { return directory; }
  bool ask(Question, const std::string&) override { return true; }
  void tell(const std::string&, const std::string&, NoticeIcon) override {}
  CopyReport runCopy(const std::function<CopyReport()>& copy, CopyProgress&) override { return copy(); }
};

TEST(ClearOrder, CopiesAndTheValueReachTheDiskBeforeAnythingIsDeleted) {
  FolderRule rule;
  rule.title = "测试";
  rule.name = UniqueName("Folder");
  rule.root = 3;
  rule.path = "Software\\KorvalinTests\\" + UniqueName("Order");
  rule.moveFiles = true;
  rule.currentDir = MakeTempDirectory("order-old");
  WriteFile(rule.currentDir + "\\a.txt", "alpha");
  CreateDirectoryA((rule.currentDir + "\\sub").c_str(), nullptr);
  WriteFile(rule.currentDir + "\\sub\\b.txt", "bravo");
  SayYes host;
  host.directory = MakeTempDirectory("order-new");

  KorvalinRecorder()->recordFlushes = 1;
  KorvalinRecorderClear();
  const OperationResult result = ChangeFolder(rule, {}, host);
  KorvalinRecorder()->recordFlushes = 0;
  EXPECT_EQ(result.outcome, Outcome::kDone);
  EXPECT_TRUE(DirectoryIsEmpty(rule.currentDir));
  EXPECT_EQ(ReadFile(host.directory + "\\sub\\b.txt"), "bravo");

  // After the switch: the flushes of both copies and the key, then the deletions.
  const std::vector<KorvalinRecordedCall> calls = RecorderLog().calls();
  size_t switched = calls.size(), firstDeletion = calls.size();
  for (size_t i = 0; i < calls.size(); ++i) {
    const std::string function = calls[i].function;
    if (function == "RegSetValueExA" && switched == calls.size()) switched = i;
    if (function == "SetFileInformationByHandle" && calls[i].args[1] == FileDispositionInfo &&
        firstDeletion == calls.size())
      firstDeletion = i;
  }
  ASSERT_LT(switched, firstDeletion);
  ASSERT_LT(firstDeletion, calls.size());
  int fileFlushes = 0, keyFlushes = 0;
  for (size_t i = switched; i < firstDeletion; ++i) {
    fileFlushes += std::string(calls[i].function) == "FlushFileBuffers" && calls[i].result;
    keyFlushes += std::string(calls[i].function) == "RegFlushKey" && calls[i].result == ERROR_SUCCESS;
  }
  EXPECT_GE(fileFlushes, 2) << "both copied files";
  EXPECT_EQ(keyFlushes, 1);
  DeleteKeyTree(HKEY_CURRENT_USER, rule.path);
}

}  // namespace
}  // namespace korvalin::test

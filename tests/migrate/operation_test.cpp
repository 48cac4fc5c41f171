// The folder operations without a window: a recording host answers their
// questions and keeps what they asked and told, in order.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "migrate/folder_operation.h"
#include "migrate/move_journal.h"
#include "migrate/restore_default.h"
#include "tests/support/links.h"
#include "tests/support/scratch.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

class RecordingHost final : public OperationHost {
 public:
  std::string directory;      // the answer to chooseNewDirectory
  std::vector<bool> answers;  // answers to ask, in order; none left is no
  std::vector<std::string> events;
  std::function<void(Question)> beforeAnswer;  // what happens while a question is open
  std::function<void()> beforeCopy;
  std::function<void(CopyProgress&)> afterCopy;  // what happens as the copy ends

  std::string chooseNewDirectory(const std::string& prompt) override {
    events.push_back("choose " + prompt);
    return directory;
  }
  bool ask(Question question, const std::string& text) override {
    events.push_back("ask " + std::to_string(static_cast<int>(question)) + " " + text);
    if (beforeAnswer) beforeAnswer(question);
    if (answers.empty()) return false;
    bool answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  void tell(const std::string& instruction, const std::string& content, NoticeIcon icon) override {
    events.push_back("tell " + std::to_string(static_cast<int>(icon)) + " " + instruction + " " + content);
  }
  CopyReport runCopy(const std::function<CopyReport()>& copy, CopyProgress& progress) override {
    events.push_back("copy " + std::to_string(progress.filesTotal()) + " files");
    if (beforeCopy) beforeCopy();
    CopyReport report = copy();
    if (afterCopy) afterCopy(progress);
    return report;
  }
};

class Operation : public ::testing::Test {
 protected:
  void SetUp() override {
    rule_.title = "测试";
    rule_.name = UniqueName("Folder");
    rule_.root = 3;
    rule_.path = "Software\\KorvalinTests\\" + UniqueName("Operation");
    rule_.currentDir = MakeTempDirectory("operation");
    WriteFile(rule_.currentDir + "\\a.txt", "alpha");
  }
  void TearDown() override {
    DeleteKeyTree(HKEY_CURRENT_USER, rule_.path);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, rule_.path);
  }
  RegistryValue Value() const { return ReadValue(HKEY_CURRENT_USER, rule_.path, rule_.name); }

  FolderRule rule_;
  RuleSet others_;
  RecordingHost host_;
};

TEST_F(Operation, AnInvalidRuleIsRefusedBeforeAnythingIsAsked) {
  rule_.root = -1;
  EXPECT_EQ(ChangeFolder(rule_, others_, host_).outcome, Outcome::kRefused);
  EXPECT_EQ(RestoreFolder(rule_, others_, host_).outcome, Outcome::kRefused);
  const std::string refusal = "tell 1 错误 该条设置规则无效！无法修改...";
  EXPECT_EQ(host_.events, (std::vector<std::string>{refusal, refusal}));
}

TEST_F(Operation, AMoveAsksInOrderAndReportsWhereTheFolderNowIs) {
  rule_.moveFiles = true;
  host_.directory = MakeTempDirectory("operation-new");
  host_.answers = {true, false};
  // The value is written only once the copy is verified.
  host_.beforeCopy = [&] {
    EXPECT_FALSE(Value().found);
    ASSERT_TRUE(ReadMoveJournal().has_value());
    EXPECT_EQ(ReadMoveJournal()->stage, MoveStage::kCopying);
    EXPECT_EQ(ReadMoveJournal()->newDirectory, host_.directory);
  };
  // While the clear is asked the old place is still whole: the journal
  // says the value was switched, not that the clear began.
  host_.beforeAnswer = [&](Question question) {
    if (question != Question::kClearOldDirectory) return;
    EXPECT_EQ(Value().text, host_.directory);
    EXPECT_EQ(ReadMoveJournal()->stage, MoveStage::kSwitching);
  };
  OperationResult result = ChangeFolder(rule_, others_, host_);
  EXPECT_EQ(result.outcome, Outcome::kDone);
  EXPECT_TRUE(result.switched);
  EXPECT_EQ(result.newDirectory, host_.directory);
  EXPECT_EQ(host_.events, (std::vector<std::string>{
                              "choose 选择新的'测试'目录",
                              "ask 0 将'测试'路径移动到'" + host_.directory + "'，请确认？",
                              "copy 1 files",
                              "ask 2 文件已迁移完成，是否将原目录文件清空？",
                          }));
  EXPECT_FALSE(ReadMoveJournal().has_value()) << "a finished move leaves no journal";
  EXPECT_EQ(Value().text, host_.directory);
  EXPECT_EQ(ReadFile(host_.directory + "\\a.txt"), "alpha");
  EXPECT_EQ(ReadFile(rule_.currentDir + "\\a.txt"), "alpha") << "kept: the clear was declined";
}

TEST_F(Operation, NoAnswerNoChoiceAndNoPlaceChangeNothing) {
  host_.directory = MakeTempDirectory("operation-new");
  EXPECT_EQ(ChangeFolder(rule_, others_, host_).outcome, Outcome::kCancelled);  // the confirmation declined
  host_.directory.clear();
  EXPECT_EQ(ChangeFolder(rule_, others_, host_).outcome, Outcome::kCancelled);
  host_.directory = "D:\\";
  EXPECT_EQ(ChangeFolder(rule_, others_, host_).outcome, Outcome::kRefused);
  host_.directory = rule_.currentDir + "\\inner";
  host_.answers = {true};
  EXPECT_EQ(ChangeFolder(rule_, others_, host_).outcome, Outcome::kRefused);
  EXPECT_FALSE(Value().found);
  EXPECT_EQ(host_.events.back(), "tell 1 错误 新目录不能是当前目录，也不能位于当前目录之内！");
}

TEST_F(Operation, DirectoriesThatCannotBeUsedAreRefusedBeforeTheQuestion) {
  host_.answers = {true, true};
  for (const char* chosen : {"C:\\????", "C:\\a*b", "RelDesk", "C:RelDesk"}) {
    host_.directory = chosen;
    host_.events.clear();
    EXPECT_EQ(ChangeFolder(rule_, others_, host_).outcome, Outcome::kRefused) << chosen;
    ASSERT_EQ(host_.events.size(), 2u) << chosen;
    EXPECT_EQ(host_.events[1].rfind("tell 1 错误 ", 0), 0u) << host_.events[1];
  }
  // The same for a restore's default.
  PreparedMove move;
  OperationResult refusal;
  EXPECT_FALSE(PrepareMove(rule_, "RelDesk", DirectoryRole::kDefault, host_, move, refusal));
  EXPECT_EQ(refusal.outcome, Outcome::kRefused);
  EXPECT_FALSE(Value().found);

  for (const char* stored : {"RelDesk", "C:\\users\\????"}) {
    WriteValue(HKEY_LOCAL_MACHINE, rule_.path + "\\Backup", rule_.name, stored, REG_EXPAND_SZ);
    host_.events.clear();
    EXPECT_EQ(RestoreFolder(rule_, others_, host_).outcome, Outcome::kRefused) << stored;
    ASSERT_EQ(host_.events.size(), 1u) << stored;
    EXPECT_EQ(host_.events[0].rfind("tell 1 错误 默认目录", 0), 0u) << host_.events[0];
  }
  EXPECT_FALSE(Value().found);
  EXPECT_EQ(host_.answers.size(), 2u) << "nothing was asked";
}

TEST_F(Operation, AFailedCopySwitchesNothingAndClearsNothing) {
  rule_.moveFiles = true;
  host_.directory = MakeTempDirectory("operation-new");
  WriteFile(host_.directory + "\\a.txt", "held");
  // Held open without sharing: the copy is made, but it cannot take the
  // held file's place.
  HANDLE held = CreateFileA((host_.directory + "\\a.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  host_.answers = {true, true, true};
  OperationResult result = ChangeFolder(rule_, others_, host_);
  CloseHandle(held);
  EXPECT_EQ(result.outcome, Outcome::kCopyFailed);
  EXPECT_FALSE(result.switched);
  EXPECT_FALSE(Value().found);
  EXPECT_EQ(ReadFile(rule_.currentDir + "\\a.txt"), "alpha");
  EXPECT_EQ(ReadFile(host_.directory + "\\a.txt"), "held");
  EXPECT_EQ(host_.answers.size(), 1u) << "no clear question";
  EXPECT_EQ(host_.events[1].rfind("ask 5 新目录'" + host_.directory + "'中已有 1 个与原目录中同名的文件（例如'a.txt'）", 0),
            0u)
      << host_.events[1];
  const std::string& told = host_.events.back();
  EXPECT_EQ(told.rfind("tell 2 文件未能全部迁移 部分文件未能复制到新目录，文件夹未迁移。", 0), 0u) << told;
  EXPECT_NE(told.find(host_.directory), std::string::npos) << "says where the partial copy is";
  EXPECT_NE(told.find("新目录中原有的同名文件均未改动。\r\n无法替换：a.txt"), std::string::npos) << told;
  EXPECT_EQ(Entries(host_.directory), std::vector<std::string>{"a.txt"}) << "no copy waits there";
  EXPECT_FALSE(ReadMoveJournal().has_value());
}

// Cancel pressed as the last file was copied: the copy reports success,
// and still nothing switches.
TEST_F(Operation, ACancelSeenAsTheCopyEndsStillCancels) {
  rule_.moveFiles = true;
  host_.directory = MakeTempDirectory("operation-new");
  WriteFile(host_.directory + "\\a.txt", "the user's own");
  host_.answers = {true, true, true};
  host_.afterCopy = [](CopyProgress& progress) { progress.cancel(); };
  OperationResult result = ChangeFolder(rule_, others_, host_);
  EXPECT_EQ(result.outcome, Outcome::kCancelled);
  EXPECT_FALSE(result.switched);
  EXPECT_FALSE(Value().found);
  EXPECT_EQ(ReadFile(host_.directory + "\\a.txt"), "the user's own");
  EXPECT_EQ(Entries(host_.directory), std::vector<std::string>{"a.txt"}) << "no copy waits there";
  EXPECT_EQ(ReadFile(rule_.currentDir + "\\a.txt"), "alpha");
  EXPECT_EQ(host_.events.back().rfind("tell 0 迁移已取消 已取消迁移，未作任何修改。", 0), 0u) << host_.events.back();
  EXPECT_EQ(host_.answers.size(), 1u) << "no clear question";
  EXPECT_FALSE(ReadMoveJournal().has_value());
}

// What the copy reported is not taken on trust: a file gone from the new
// place before the verification keeps the folder where it was.
TEST_F(Operation, ACopyThatDoesNotVerifySwitchesNothing) {
  rule_.moveFiles = true;
  host_.directory = MakeTempDirectory("operation-new");
  host_.answers = {true, true};
  host_.afterCopy = [&](CopyProgress&) { DeleteFileA((host_.directory + "\\a.txt").c_str()); };
  OperationResult result = ChangeFolder(rule_, others_, host_);
  EXPECT_EQ(result.outcome, Outcome::kCopyFailed);
  EXPECT_FALSE(Value().found);
  EXPECT_EQ(ReadFile(rule_.currentDir + "\\a.txt"), "alpha");
  EXPECT_EQ(host_.answers.size(), 1u) << "no clear question";
}

// A journal left behind would explain a move that never was at the next
// start: the user hears that it is still there.
TEST_F(Operation, AJournalThatCannotBeRemovedIsTold) {
  rule_.moveFiles = true;
  host_.directory = MakeTempDirectory("operation-new");
  host_.answers = {true, false};
  char module[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  std::string journal = module;
  journal = journal.substr(0, journal.rfind('\\')) + "\\Move.data";
  HANDLE held = INVALID_HANDLE_VALUE;
  host_.beforeAnswer = [&](Question question) {
    if (question != Question::kClearOldDirectory) return;
    held = CreateFileA(journal.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                       nullptr);
  };
  EXPECT_EQ(ChangeFolder(rule_, others_, host_).outcome, Outcome::kDone);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  CloseHandle(held);
  EXPECT_EQ(host_.events.back().rfind("tell 2 提醒 无法删除程序目录中的迁移记录 Move.data", 0), 0u)
      << host_.events.back();
  EXPECT_TRUE(RemoveMoveJournal());
}

TEST_F(Operation, AFileThatAppearsWhileTheClearIsAskedSurvivesIt) {
  rule_.moveFiles = true;
  host_.directory = MakeTempDirectory("operation-new");
  host_.answers = {true, true};
  host_.beforeAnswer = [&](Question question) {
    if (question == Question::kClearOldDirectory) WriteFile(rule_.currentDir + "\\later.txt", "later");
  };
  EXPECT_EQ(ChangeFolder(rule_, others_, host_).outcome, Outcome::kDone);
  EXPECT_EQ(ReadFile(rule_.currentDir + "\\later.txt"), "later");
  EXPECT_FALSE(DirectoryIsEmpty(rule_.currentDir));
  EXPECT_EQ(ReadFile(host_.directory + "\\a.txt"), "alpha");
  EXPECT_EQ(host_.events.back().rfind("tell 0 提醒 原目录中有 1 项没有删除", 0), 0u) << host_.events.back();
}

TEST_F(Operation, APlaceAnotherFolderUsesAsksFirstWithCancelAsTheDefault) {
  FolderRule other = rule_;
  other.title = "别的";
  other.currentDir = MakeTempDirectory("operation-other");
  others_ = {other};
  const std::string inside = other.currentDir + "\\inner";
  for (const std::string& chosen : {other.currentDir, inside, other.currentDir.substr(0, other.currentDir.rfind('\\'))}) {
    SCOPED_TRACE(chosen);
    host_.directory = chosen;
    host_.answers = {false};
    host_.events.clear();
    EXPECT_EQ(ChangeFolder(rule_, others_, host_).outcome, Outcome::kCancelled);
    ASSERT_EQ(host_.events.size(), 2u);
    EXPECT_EQ(host_.events[1].rfind("ask 3 新目录'" + chosen + "'与'别的'的目录'" + other.currentDir + "'", 0), 0u)
        << host_.events[1];
  }
  EXPECT_FALSE(Value().found);
  host_.directory = inside;
  host_.answers = {true, true};
  EXPECT_EQ(ChangeFolder(rule_, others_, host_).outcome, Outcome::kDone);
  EXPECT_EQ(Value().text, inside);
}

// A link to the current directory is the folder already where it should
// go: nothing to do, nothing copied. A place below the link is inside the
// current directory: refused.
TEST_F(Operation, ALinkToTheCurrentDirectoryIsAlreadyThereAndOneBelowItRefused) {
  std::string base = MakeTempDirectory("operation-link");
  if (!MakeDirectoryLink(base + "\\into", rule_.currentDir)) GTEST_SKIP() << "no directory links here";
  rule_.moveFiles = true;
  host_.answers = {true, true};
  host_.directory = base + "\\into";
  EXPECT_EQ(ChangeFolder(rule_, others_, host_).outcome, Outcome::kNothingToDo);
  ASSERT_EQ(host_.events.size(), 2u);
  EXPECT_EQ(host_.events[1], "tell 0 提醒 '测试'已经位于'" + host_.directory + "'，无需移动，未作任何修改。");
  host_.directory = base + "\\into\\deeper";
  host_.events.clear();
  EXPECT_EQ(ChangeFolder(rule_, others_, host_).outcome, Outcome::kRefused);
  ASSERT_EQ(host_.events.size(), 2u);
  EXPECT_EQ(host_.events[1], "tell 1 错误 新目录不能是当前目录，也不能位于当前目录之内！");
  EXPECT_EQ(host_.answers.size(), 2u) << "nothing was asked";
  EXPECT_FALSE(Value().found);
  EXPECT_EQ(ReadFile(rule_.currentDir + "\\a.txt"), "alpha");
}

TEST_F(Operation, RestoreComparesWithTheExpandedDefaultFromHklm) {
  EXPECT_EQ(RestoreFolder(rule_, others_, host_).outcome, Outcome::kRefused);
  EXPECT_EQ(host_.events.back(), "tell 0 提醒 未找到该目录的默认路径，无法恢复，未作任何修改！");

  WriteValue(HKEY_LOCAL_MACHINE, rule_.path + "\\Backup", rule_.name, rule_.currentDir);
  EXPECT_EQ(RestoreFolder(rule_, others_, host_).outcome, Outcome::kNothingToDo);
  EXPECT_EQ(host_.events.back(), "tell 0 提醒 当前设置路径为默认路径，无需恢复！");

  const std::string leaf = UniqueName("korvalin-home");
  const std::string home = "C:\\" + leaf;
  CreateDirectoryA(home.c_str(), nullptr);
  WriteValue(HKEY_LOCAL_MACHINE, rule_.path + "\\Backup", rule_.name, "%SystemDrive%\\" + leaf, REG_EXPAND_SZ);
  host_.answers = {true};
  OperationResult result = RestoreFolder(rule_, others_, host_);
  EXPECT_EQ(result.outcome, Outcome::kDone);
  EXPECT_EQ(result.newDirectory, home);
  EXPECT_EQ(host_.events.back(), "ask 1 确认将'测试'恢复成默认目录吗？\r\n默认目录：" + home);
  EXPECT_EQ(Value().text, home);
  EXPECT_EQ(Value().type, static_cast<DWORD>(REG_SZ));
  RemoveDirectoryA(home.c_str());
}

}  // namespace
}  // namespace korvalin::test

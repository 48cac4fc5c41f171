#include "app/list/rule_rows.h"

#include "app/dialogs/message_pump.h"
#include "image/declared_functions.h"
#include "rules/rule_set.h"
#include "runtime/interface/owned_value.h"
#include "runtime/values/value_helpers.h"

namespace korvalin {
namespace {

// What an invalid row shows after "当前目录：".
constexpr char kBrokenRuleMessage[] = "目录规则无效,请审查！";
constexpr char kUnrepresentableMessage[] = "目录路径含有无法识别的字符，无法处理！";
constexpr char kRelativeMessage[] = "目录路径不完整，无法处理！";

// Row 0 is drawn with content of its own; these only fill its slots.
constexpr char kHeaderRowTitle[] =
    "旧盘桌面积尘多\r\n"
    "文档下载挤一窝\r\n"
    "择得新处安家去\r\n"
    "重装系统也不怕\r\n"
    "一键迁移乐呵呵";
constexpr char kHeaderRowName[] = "shellpaths";

const char* ShownDirectory(const FolderRule& rule) {
  if (rule.valid()) return rule.currentDir.c_str();
  if (rule.problem == RuleProblem::kUnrepresentable) return kUnrepresentableMessage;
  if (rule.problem == RuleProblem::kRelative) return kRelativeMessage;
  return kBrokenRuleMessage;
}

RuleProblem ProblemShown(const std::string& shown) {
  if (shown == kUnrepresentableMessage) return RuleProblem::kUnrepresentable;
  if (shown == kRelativeMessage) return RuleProblem::kRelative;
  return RuleProblem::kBroken;
}

// The list stores its own deep copy; the texts here are only lent.
void AddRow(FolderList& list, const char* title, const char* name, int32_t root, const char* path, bool moveFiles,
            const char* currentDir) {
  list.addRowTitle(title);
  FolderRow record;
  record.name = const_cast<char*>(name);
  record.root = root;
  record.path = const_cast<char*>(path);
  record.moveFiles = moveFiles ? 1 : 0;
  record.currentDir = const_cast<char*>(currentDir);
  list.addRowRecord(record);
}

// The list is drawn once when loading ends, not once per row.
class RedrawHold {
 public:
  explicit RedrawHold(FolderList& list) : list_(list) { list_.holdRedraw(true); }
  ~RedrawHold() { list_.holdRedraw(false); }
  RedrawHold(const RedrawHold&) = delete;
  RedrawHold& operator=(const RedrawHold&) = delete;

 private:
  FolderList& list_;
};

// The window keeps painting and answering while rules.json is evaluated;
// a quit (the window was closed) ends the wait and goes back to the loop.
WaitOutcome AnswerWhileWaiting(HANDLE thread, DWORD milliseconds) {
  int quitCode = 0;
  switch (PumpWhileWaiting(thread, milliseconds, nullptr, &quitCode)) {
    case PumpResult::kEnded: return WaitOutcome::kEnded;
    case PumpResult::kQuit: dll::PostQuitMessage(quitCode); return WaitOutcome::kAbandoned;
    case PumpResult::kTimedOut: break;
  }
  return WaitOutcome::kTimedOut;
}

}  // namespace

void AddRuleRow(FolderList& list, const FolderRule& rule) {
  AddRow(list, rule.title.c_str(), rule.name.c_str(), rule.root, rule.path.c_str(), rule.moveFiles, ShownDirectory(rule));
}

bool LoadRuleSet(FolderList& list, OperationHost& host) {
  LoadedRules loaded;
  {
    RedrawHold hold(list);
    AddRow(list, kHeaderRowTitle, kHeaderRowName, 0, "", false, "");
    loaded = ReadRuleSet(AnswerWhileWaiting);
    if (loaded.source == RulesSource::kAbandoned) return false;
    size_t titleBytes = 0;
    for (const FolderRule& rule : loaded.rules) titleBytes += rule.title.size() + 1;
    list.reserveRows(static_cast<int32_t>(loaded.rules.size() + 1), static_cast<int32_t>(titleBytes));
    for (const FolderRule& rule : loaded.rules) AddRuleRow(list, rule);
  }
  if (const char* notice = BuiltInRulesNotice(loaded.source)) host.tell("提醒", notice, NoticeIcon::kQuestion);
  return true;
}

FolderRule RuleOfRow(FolderList& list, int32_t row) {
  FolderRow record = list.getRowRecord(row);
  rt::OwnedText title(list.getRowTitle(row));
  FolderRule rule;
  rule.title = rt::TextOf(title);
  rule.name = record.name ? record.name : "";
  rule.root = record.root;
  rule.path = record.path ? record.path : "";
  rule.moveFiles = record.moveFiles != 0;
  const std::string shown = record.currentDir ? record.currentDir : "";
  if (rule.valid()) rule.currentDir = shown;
  else rule.problem = ProblemShown(shown);
  ReleaseRow(record);
  return rule;
}

}  // namespace korvalin

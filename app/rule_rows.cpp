#include "app/rule_rows.h"

#include "app/globals.h"
#include "app/window_host.h"
#include "image/declared_functions.h"
#include "rules/rule_set.h"
#include "runtime/owned_value.h"
#include "runtime/value_helpers.h"

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
void AddRow(const char* title, const char* name, int32_t root, const char* path, bool moveFiles,
            const char* currentDir) {
  folderList->addRowTitle(title);
  FolderRow record;
  record.name = const_cast<char*>(name);
  record.root = root;
  record.path = const_cast<char*>(path);
  record.moveFiles = moveFiles ? 1 : 0;
  record.currentDir = const_cast<char*>(currentDir);
  folderList->addRowRecord(record);
}

// The list is drawn once when loading ends, not once per row.
class RedrawHold {
 public:
  RedrawHold() { folderList->holdRedraw(true); }
  ~RedrawHold() { folderList->holdRedraw(false); }
  RedrawHold(const RedrawHold&) = delete;
  RedrawHold& operator=(const RedrawHold&) = delete;
};

// The window keeps painting and answering while rules.json is evaluated;
// a quit (the window was closed) ends the wait and goes back to the loop.
WaitOutcome AnswerWhileWaiting(HANDLE thread, DWORD milliseconds) {
  const DWORD start = dll::GetTickCount();
  for (DWORD elapsed = 0; elapsed < milliseconds; elapsed = dll::GetTickCount() - start) {
    DWORD woke = dll::MsgWaitForMultipleObjects(1, &thread, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0) return WaitOutcome::kEnded;
    if (woke != WAIT_OBJECT_0 + 1) break;
    MSG message;
    while (dll::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        dll::PostQuitMessage(static_cast<int>(message.wParam));
        return WaitOutcome::kAbandoned;
      }
      dll::TranslateMessage(&message);
      dll::DispatchMessageA(&message);
    }
  }
  return WaitOutcome::kTimedOut;
}

void TellWhyTheBuiltInRulesAreUsed(RulesSource source) {
  if (source == RulesSource::kBuiltInTooLarge)
    WindowHost().tell("提醒", "rules.json 文件超过 16 MB，未读取，已改用内置的目录规则。", NoticeIcon::kQuestion);
  if (source == RulesSource::kBuiltInTimedOut)
    WindowHost().tell("提醒", "rules.json 在 8 秒内未能读完，已改用内置的目录规则。", NoticeIcon::kQuestion);
}

}  // namespace

void AddRuleRow(const FolderRule& rule) {
  AddRow(rule.title.c_str(), rule.name.c_str(), rule.root, rule.path.c_str(), rule.moveFiles, ShownDirectory(rule));
}

bool LoadRuleSet() {
  LoadedRules loaded;
  {
    RedrawHold hold;
    AddRow(kHeaderRowTitle, kHeaderRowName, 0, "", false, "");
    loaded = ReadRuleSet(AnswerWhileWaiting);
    if (loaded.source == RulesSource::kAbandoned) return false;
    size_t titleBytes = 0;
    for (const FolderRule& rule : loaded.rules) titleBytes += rule.title.size() + 1;
    folderList->reserveRows(static_cast<int32_t>(loaded.rules.size() + 1), static_cast<int32_t>(titleBytes));
    for (const FolderRule& rule : loaded.rules) AddRuleRow(rule);
  }
  TellWhyTheBuiltInRulesAreUsed(loaded.source);
  return true;
}

FolderRule RuleOfRow(int32_t row) {
  FolderRow record = folderList->getRowRecord(row);
  rt::OwnedText title(folderList->getRowTitle(row));
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

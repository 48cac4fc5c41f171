#include "app/rule_rows.h"

#include "app/globals.h"
#include "rules/rule_set.h"
#include "runtime/owned_value.h"
#include "runtime/value_helpers.h"

namespace korvalin {
namespace {

constexpr char kInvalidRuleMessage[] = "目录规则无效,请审查！";

// Row 0 is drawn with content of its own; these only fill its slots.
constexpr char kHeaderRowTitle[] =
    "旧盘桌面积尘多\r\n"
    "文档下载挤一窝\r\n"
    "择得新处安家去\r\n"
    "重装系统也不怕\r\n"
    "一键迁移乐呵呵";
constexpr char kHeaderRowName[] = "shellpaths";

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

}  // namespace

void AddRuleRow(const FolderRule& rule) {
  const char* directory = rule.valid() ? rule.currentDir.c_str() : kInvalidRuleMessage;
  AddRow(rule.title.c_str(), rule.name.c_str(), rule.root, rule.path.c_str(), rule.moveFiles, directory);
}

void LoadRuleSet() {
  RedrawHold hold;
  AddRow(kHeaderRowTitle, kHeaderRowName, 0, "", false, "");
  for (const FolderRule& rule : ReadRuleSet()) AddRuleRow(rule);
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
  if (rule.valid() && record.currentDir) rule.currentDir = record.currentDir;
  ReleaseRow(record);
  return rule;
}

}  // namespace korvalin

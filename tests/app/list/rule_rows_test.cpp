// The rule set in the window's list: the header row, a row per rule, the
// invalid-rule message, and the rule an operation gets back from a row.
#include <gtest/gtest.h>

#include "app/main/globals.h"
#include "app/list/rule_rows.h"
#include "runtime/values/value_helpers.h"
#include "tests/app/main/flow_support.h"

namespace korvalin::test {
namespace {

class RuleRows : public FlowSuite {
 protected:
  void SetUp() override {
    EnsureMainWindow();
    ASSERT_NE(TestMainWindow(), nullptr);
  }
};

TEST_F(RuleRows, TheHeaderComesFirstThenTheBuiltInRules) {
  // No rules.json beside the test program: the built-in three.
  ASSERT_GE(folderList->getRowCount(), 4);
  FolderRule header = RuleOfRow(*folderList, 0);
  EXPECT_NE(header.title.find("\r\n"), std::string::npos);
  EXPECT_EQ(header.root, 0);
  EXPECT_EQ(RuleOfRow(*folderList, 1).title, "桌面");
  EXPECT_EQ(RuleOfRow(*folderList, 1).name, "Desktop");
  EXPECT_TRUE(RuleOfRow(*folderList, 1).moveFiles);
  EXPECT_FALSE(RuleOfRow(*folderList, 3).moveFiles);
}

TEST_F(RuleRows, AnInvalidRuleShowsTheMessageAndComesBackWithoutADirectory) {
  FolderRule rule;
  rule.title = "坏";
  rule.name = "KorvalinNoSuchValue";
  rule.root = -1;
  rule.path = "Software\\KorvalinTests";
  rule.moveFiles = true;
  AddRuleRow(*folderList, rule);
  const int32_t row = folderList->getRowCount() - 1;
  EXPECT_EQ(RowCurrentDir(row), "目录规则无效,请审查！");
  FolderRule back = RuleOfRow(*folderList, row);
  EXPECT_FALSE(back.valid());
  EXPECT_EQ(back.currentDir, "");
  EXPECT_EQ(back.title, "坏");
  EXPECT_TRUE(back.moveFiles);

  rule.root = 3;
  rule.currentDir = "C:\\place";
  AddRuleRow(*folderList, rule);
  EXPECT_EQ(RuleOfRow(*folderList, row + 1).currentDir, "C:\\place");
  // The row's check box, as the user left it, is what the operation gets.
  rt::ArrayElements<FolderRow>(folderList->rows)[row + 1].moveFiles = 0;
  EXPECT_FALSE(RuleOfRow(*folderList, row + 1).moveFiles);
}

}  // namespace
}  // namespace korvalin::test

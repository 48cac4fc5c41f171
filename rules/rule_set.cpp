#include "rules/rule_set.h"

#include <charconv>
#include <memory>

#include "app/globals.h"
#include "app/text_encoding.h"
#include "migrate/registry.h"
#include "rules/builtin_rules.h"
#include "rules/script_json_reader.h"
#include "runtime/command_calls.h"
#include "runtime/program_calls.h"
#include "runtime/value_helpers.h"

namespace korvalin {
namespace {

struct FreeBlock {
  void operator()(void* block) const { rt::program::Free(block); }
};
using OwnedBlock = std::unique_ptr<void, FreeBlock>;
using OwnedText = std::unique_ptr<char, FreeBlock>;

constexpr char kInvalidRuleMessage[] = "目录规则无效,请审查！";

// One scratch record for every row: the list keeps copies.
struct ScratchRow : FolderRow {
  ScratchRow() = default;
  ScratchRow(const ScratchRow&) = delete;
  ScratchRow& operator=(const ScratchRow&) = delete;
  ~ScratchRow() { reset(); }
  void reset() {
    for (rt::Text* text : {&name, &path, &currentDir}) {
      rt::program::Free(*text);
      *text = nullptr;
    }
    root = 0;
    moveFiles = 0;
  }
};

void AddHeaderRow() {
  folderList->addRowTitle(kHeaderRowTitle);
  ScratchRow header;
  header.name = rt::CopyText(kHeaderRowName);
  folderList->addRowRecord(header);
}

// rules.json beside the program; no bytes when it cannot be read.
void* ReadRulesFile() {
  OwnedText directory(rt::cmd::GetRunDirectory());
  OwnedText path(rt::ConcatTexts({directory.get(), "\\rules.json"}));
  return rt::cmd::ReadFileBytes(path.get());
}

// A number beyond 32 bits must not wrap into a valid root code; it stays
// outside 1 to 5 so the registry read refuses it.
int32_t RootCode(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return 0;
  return static_cast<int32_t>(rt::FloatToInteger(value));
}

// The folder's directory as the registry holds it, references expanded.
rt::Text CurrentDirectory(const FolderRow& row) {
  OwnedText valuePath(rt::ConcatTexts({row.path, "\\", row.name}));
  rt::Text stored = ReadRegistryText(row.root, valuePath.get());
  rt::Text expanded = ExpandEnvironmentText(stored);
  rt::program::Free(stored);
  return expanded;
}

// Rule `index` of the document as row index + 1, its fields read in the
// order title, name, root, path, moveFiles.
void AddRule(ScriptJsonReader& reader, int32_t index, ScratchRow& row) {
  char digits[16] = {};
  std::to_chars(digits, digits + sizeof digits - 1, index);
  auto field = [&](const char* member) { return OwnedText(rt::ConcatTexts({"regPath[", digits, "].", member})); };

  OwnedText title(reader.text(field("title").get()));
  folderList->addRowTitle(title.get());
  row.reset();
  row.name = reader.text(field("name").get());
  row.root = RootCode(reader.value(field("root").get()).toNumber());
  row.path = reader.text(field("path").get());
  row.moveFiles = reader.value(field("moveFiles").get()).toBool() ? 1 : 0;
  row.currentDir = CurrentDirectory(row);
  if (rt::TextLength(row.currentDir) == 0) {
    row.root = -1;
    rt::program::Free(row.currentDir);
    row.currentDir = rt::CopyText(kInvalidRuleMessage);
  }
  folderList->addRowRecord(row);
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

void LoadRuleSet() {
  RedrawHold hold;
  AddHeaderRow();
  ScriptJsonReader reader;
  OwnedBlock bytes(ReadRulesFile());
  if (!reader.bind(bytes.get())) {
    // A second failure leaves no engine; every read below is then neutral.
    OwnedBlock builtIn(ToWideText(kBuiltInRulesDocument, 0, false, 0));
    reader.bind(builtIn.get());
  }
  const int32_t count = reader.length("regPath");
  ScratchRow row;
  for (int32_t i = 0; i < count; ++i) AddRule(reader, i, row);
  reader.clear();
}

}  // namespace korvalin

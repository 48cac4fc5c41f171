#include "rules/layout_file.h"

#include <atomic>
#include <charconv>
#include <memory>
#include <optional>

#include "image/declared_functions.h"
#include "rules/rule_set.h"
#include "rules/script_json_reader.h"
#include "rules/script_object.h"
#include "runtime/interface/command_calls.h"
#include "runtime/interface/owned_value.h"
#include "runtime/values/value_helpers.h"

namespace korvalin {
namespace {

// A layout names a handful of folders; a larger file is no layout.
constexpr int64_t kLargestLayout = 1024 * 1024;
constexpr int32_t kMostEntries = 1000;

std::string StringOf(rt::Text text) {
  rt::OwnedText owned(text);
  return rt::TextOf(owned);
}

std::optional<std::vector<LayoutEntry>> Evaluate(const void* bytes, const std::atomic<bool>& givenUp) {
  ScriptJsonReader reader;
  if (!reader.bind(bytes)) return std::nullopt;
  std::vector<LayoutEntry> entries;
  const int32_t count = reader.length("");
  for (int32_t i = 0; i < count && i < kMostEntries && !givenUp; ++i) {
    char element[24] = "[";
    *std::to_chars(element + 1, element + sizeof element - 2, i).ptr = ']';
    const ScriptObject entry(reader.value(element));
    LayoutEntry item;
    item.name = StringOf(entry.member("name").toText());
    item.directory = StringOf(entry.member("directory").toText());
    item.files = entry.member("files").toBool();
    item.clear = entry.member("clear").toBool();
    item.replace = entry.member("replace").toBool();
    entries.push_back(item);
  }
  reader.clear();
  if (count > kMostEntries) return std::nullopt;
  return entries;
}

class LayoutEvaluation final : public Evaluation {
 public:
  explicit LayoutEvaluation(rt::OwnedBlock bytes) : bytes_(std::move(bytes)) {}
  void evaluate(const std::atomic<bool>& givenUp) override { entries = Evaluate(bytes_.get(), givenUp); }

  std::optional<std::vector<LayoutEntry>> entries;

 private:
  rt::OwnedBlock bytes_;
};

}  // namespace

Layout ReadLayout(const std::string& path) {
  Layout layout;
  rt::OwnedBlock bytes(rt::cmd::ReadFileBytes(path.c_str()));
  const int32_t length = rt::ByteSetLength(bytes.get());
  if (length == 0) {
    layout.problem = "the layout file " + path + " cannot be read or is empty";
    return layout;
  }
  if (length > kLargestLayout) {
    layout.problem = "the layout file " + path + " is larger than 1 MB";
    return layout;
  }
  auto evaluation = std::make_shared<LayoutEvaluation>(std::move(bytes));
  const std::optional<WaitOutcome> outcome = EvaluateWithinBound(evaluation, nullptr, kRulesEvaluationMs);
  if (!outcome) {
    layout.problem = "the layout file " + path + " could not be read";
    return layout;
  }
  if (outcome != WaitOutcome::kEnded) {
    layout.problem = "the layout file " + path + " did not finish reading within 8 seconds";
    return layout;
  }
  if (!evaluation->entries || evaluation->entries->empty()) {
    layout.problem = "the layout file " + path + " is no JSON array of one to 1000 folders";
    return layout;
  }
  layout.entries = std::move(*evaluation->entries);
  return layout;
}

std::string ExpandedDirectory(const std::string& directory) {
  char expanded[MAX_PATH * 4] = {};
  const DWORD length = dll::ExpandEnvironmentStringsA(directory.c_str(), expanded, sizeof expanded);
  if (length == 0 || length > sizeof expanded) return std::string();
  const std::string result(expanded);
  // A reference left as it was names no variable.
  const size_t open = result.find('%');
  if (open != std::string::npos && result.find('%', open + 1) != std::string::npos) return std::string();
  return result;
}

}  // namespace korvalin

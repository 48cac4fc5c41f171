#include "rules/layout_file.h"

#include <atomic>
#include <charconv>
#include <memory>
#include <optional>

#include "image/declared_functions.h"
#include "rules/rule_set.h"
#include "rules/script_json_reader.h"
#include "rules/script_object.h"
#include "runtime/commands/command_calls.h"
#include "runtime/values/owned_value.h"
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

struct Reading {
  rt::OwnedBlock bytes;
  std::optional<std::vector<LayoutEntry>> entries;
  std::atomic<bool> givenUp{false};
};

std::optional<std::vector<LayoutEntry>> Evaluate(Reading& reading) {
  ScriptJsonReader reader;
  if (!reader.bind(reading.bytes.get())) return std::nullopt;
  std::vector<LayoutEntry> entries;
  const int32_t count = reader.length("");
  for (int32_t i = 0; i < count && i < kMostEntries && !reading.givenUp; ++i) {
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

DWORD WINAPI EvaluateOnItsOwnThread(LPVOID argument) {
  std::unique_ptr<std::shared_ptr<Reading>> reading(static_cast<std::shared_ptr<Reading>*>(argument));
  // The engine lives in this thread's own apartment.
  dll::CoInitialize(nullptr);
  (*reading)->entries = Evaluate(**reading);
  dll::CoUninitialize();
  return 0;
}

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
  auto reading = std::make_shared<Reading>();
  reading->bytes = std::move(bytes);
  auto* lent = new std::shared_ptr<Reading>(reading);
  HANDLE thread = dll::CreateThread(nullptr, 0, EvaluateOnItsOwnThread, lent, 0, nullptr);
  if (!thread) {
    delete lent;
    layout.problem = "the layout file " + path + " could not be read";
    return layout;
  }
  if (dll::WaitForSingleObject(thread, kRulesEvaluationMs) != WAIT_OBJECT_0) {
    reading->givenUp = true;
    dll::SetThreadPriority(thread, THREAD_PRIORITY_IDLE);
    dll::CloseHandle(thread);
    layout.problem = "the layout file " + path + " did not finish reading within 8 seconds";
    return layout;
  }
  dll::CloseHandle(thread);
  if (!reading->entries || reading->entries->empty()) {
    layout.problem = "the layout file " + path + " is no JSON array of one to 1000 folders";
    return layout;
  }
  layout.entries = std::move(*reading->entries);
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

#include "migrate/move_journal.h"

#include <charconv>
#include <map>

#include "encoding/program_files.h"
#include "migrate/file_handles.h"
#include "runtime/interface/command_calls.h"
#include "runtime/interface/owned_value.h"
#include "runtime/values/value_helpers.h"

namespace korvalin {
namespace {

constexpr char kStages[][10] = {"copying", "switching", "clearing"};

std::string JournalPath() { return PathBesideProgram("Move.data"); }

std::string Serialize(const MoveJournal& j) {
  std::string text;
  auto line = [&](const char* key, const std::string& value) { text += std::string(key) + "=" + value + "\r\n"; };
  line("title", j.title);
  line("name", j.name);
  line("root", std::to_string(j.root));
  line("path", j.path);
  line("oldValue", j.oldValue);
  line("oldType", std::to_string(j.oldType));
  line("oldDirectory", j.oldDirectory);
  line("newDirectory", j.newDirectory);
  line("stage", kStages[static_cast<int>(j.stage)]);
  return text;
}

std::map<std::string, std::string> Fields(const std::string& text) {
  std::map<std::string, std::string> fields;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    const size_t equals = line.find('=');
    if (equals != std::string::npos) fields[line.substr(0, equals)] = line.substr(equals + 1);
    at = end + 2;
  }
  return fields;
}

template <typename Number>
bool ParseNumber(const std::string& text, Number& number) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return error == std::errc() && end == text.data() + text.size();
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
  FileHandle file(dll::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
  DWORD written = 0;
  return file.valid() && dll::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size() && dll::FlushFileBuffers(file.get());
}

bool IsDirectoryAt(const std::string& path) {
  const DWORD attributes = dll::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool WriteMoveJournal(const MoveJournal& journal, DWORD* error) {
  // Written beside it first: a stage is replaced whole or not at all.
  const std::string path = JournalPath();
  const std::string fresh = path + ".new";
  const bool written = WriteWhole(fresh, Serialize(journal));
  if (written && dll::MoveFileExA(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  const DWORD failure = dll::GetLastError();
  // A directory of either name refuses the journal as "access denied",
  // which no right would change.
  if (error) *error = IsDirectoryAt(written ? path : fresh) ? static_cast<DWORD>(ERROR_DIRECTORY) : failure;
  dll::DeleteFileA(fresh.c_str());
  return false;
}

std::optional<MoveJournal> ReadMoveJournal() {
  rt::OwnedBlock bytes(rt::cmd::ReadFileBytes(JournalPath().c_str()));
  const int32_t length = rt::ByteSetLength(bytes.get());
  if (length == 0) return std::nullopt;
  auto fields = Fields(std::string(reinterpret_cast<const char*>(rt::ByteSetData(bytes.get())), length));
  MoveJournal journal;
  journal.title = fields["title"];
  journal.name = fields["name"];
  journal.path = fields["path"];
  journal.oldValue = fields["oldValue"];
  journal.oldDirectory = fields["oldDirectory"];
  journal.newDirectory = fields["newDirectory"];
  int stage = -1;
  for (int i = 0; i < 3; ++i)
    if (fields["stage"] == kStages[i]) stage = i;
  // A note that does not read whole is still worth a word, but never a
  // registry write: the caller offers nothing to put back.
  if (!ParseNumber(fields["root"], journal.root) || !ParseNumber(fields["oldType"], journal.oldType) || stage < 0)
    journal.root = 0;
  journal.stage = stage < 0 ? MoveStage::kCopying : static_cast<MoveStage>(stage);
  return journal;
}

bool RemoveMoveJournal() {
  const std::string path = JournalPath();
  return dll::DeleteFileA(path.c_str()) || dll::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

}  // namespace korvalin

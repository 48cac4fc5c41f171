#include "migrate/replacements.h"

#include "image/declared_functions.h"
#include "migrate/long_path.h"
#include "migrate/tree_copy.h"

namespace korvalin {
namespace {

// The replaced file's name while it is set aside, beside its copy's.
std::wstring AsideName(const std::wstring& waiting) { return waiting.substr(0, waiting.size() - 4) + L".old"; }

}  // namespace

bool Replacements::putInPlace() {
  for (size_t i = 0; i < plan_.entries.size(); ++i) {
    if (!plan_.entries[i].replaces) continue;
    Placed item{JoinPath(to_, plan_.entries[i].relative), WaitingName(plan_, i, to_), L""};
    item.aside = AsideName(item.waiting);
    // A rename is not refused for a read-only file, as a replacement is.
    if (!dll::MoveFileExW(item.place.c_str(), item.aside.c_str(), 0)) {
      failed_ = plan_.entries[i].relative;
      undo();
      return false;
    }
    if (!dll::MoveFileExW(item.waiting.c_str(), item.place.c_str(), 0)) {
      dll::MoveFileExW(item.aside.c_str(), item.place.c_str(), 0);
      failed_ = plan_.entries[i].relative;
      undo();
      return false;
    }
    placed_.push_back(std::move(item));
  }
  return true;
}

void Replacements::undo() {
  for (auto item = placed_.rbegin(); item != placed_.rend(); ++item) {
    dll::MoveFileExW(item->place.c_str(), item->waiting.c_str(), 0);
    dll::MoveFileExW(item->aside.c_str(), item->place.c_str(), 0);
  }
  placed_.clear();
}

void Replacements::putBack() {
  undo();
  DeleteWaitingCopies(plan_, to_);
}

void Replacements::finish() {
  for (const Placed& item : placed_) {
    dll::SetFileAttributesW(item.aside.c_str(), FILE_ATTRIBUTE_NORMAL);
    dll::DeleteFileW(item.aside.c_str());
  }
  placed_.clear();
}

}  // namespace korvalin

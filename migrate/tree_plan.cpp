#include "migrate/tree_plan.h"

#include "migrate/file_handles.h"

namespace korvalin {
namespace {

// Deeper than any folder a user keeps; a loop of links cannot get here,
// since links are not followed, but a tree this deep is not trusted either.
constexpr int kMaxDepth = 64;

bool IsDotEntry(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

void PlanDirectory(const std::string& folder, const std::string& relative, int depth, TreePlan& plan) {
  if (depth > kMaxDepth) {
    plan.complete = false;
    return;
  }
  std::vector<WIN32_FIND_DATAA> found;
  const std::string directory = relative.empty() ? folder : folder + "\\" + relative;
  if (!ListDirectory(directory, found)) plan.complete = false;
  for (const WIN32_FIND_DATAA& entry : found) {
    const std::string path = relative.empty() ? entry.cFileName : relative + "\\" + entry.cFileName;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      ++plan.links;
      continue;
    }
    TreeEntry item;
    item.relative = path;
    item.directory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    item.attributes = entry.dwFileAttributes;
    item.size = (static_cast<int64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
    item.written = entry.ftLastWriteTime;
    plan.entries.push_back(item);
    if (item.directory) {
      PlanDirectory(folder, path, depth + 1, plan);
    } else {
      ++plan.files;
      plan.bytes += item.size;
    }
  }
}

}  // namespace

bool ListDirectory(const std::string& directory, std::vector<WIN32_FIND_DATAA>& found) {
  // Binding a declared function at its first call may itself set the last
  // error, so it is bound before a listing relies on it.
  dll::GetLastError();
  WIN32_FIND_DATAA entry = {};
  FindHandle search(dll::FindFirstFileA((directory + "\\*").c_str(), &entry));
  if (!search.valid()) return false;
  do {
    if (!IsDotEntry(entry.cFileName)) found.push_back(entry);
  } while (dll::FindNextFileA(search.get(), &entry));
  return dll::GetLastError() == ERROR_NO_MORE_FILES;
}

TreePlan PlanTree(const std::string& folder) {
  TreePlan plan;
  PlanDirectory(folder, "", 0, plan);
  return plan;
}

}  // namespace korvalin

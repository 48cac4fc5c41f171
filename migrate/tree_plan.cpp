#include "migrate/tree_plan.h"

#include "migrate/long_path.h"

namespace korvalin {
namespace {

// Far deeper than any folder a user keeps; links are not followed, so no
// loop of them gets here, but a tree this deep is not trusted either.
constexpr int kMaxDepth = 512;

void PlanDirectory(const std::wstring& relative, int depth, TreePlan& plan) {
  if (depth > kMaxDepth) {
    plan.complete = false;
    return;
  }
  std::vector<ListedEntry> found;
  if (!ListDirectory(JoinPath(plan.folder, relative), found)) {
    if (plan.complete) plan.unreadable = relative;
    plan.complete = false;
  }
  for (ListedEntry& listed : found) {
    if (listed.link()) {
      ++plan.links;
      continue;
    }
    TreeEntry item;
    item.relative = JoinPath(relative, listed.name);
    item.listed = std::move(listed);
    plan.entries.push_back(item);
    if (item.directory()) {
      PlanDirectory(item.relative, depth + 1, plan);
    } else {
      ++plan.files;
      plan.bytes += item.listed.size;
    }
  }
}

}  // namespace

const std::wstring* TreePlan::directoryWithId(int64_t fileId) const {
  static const std::wstring folderItself;
  if (fileId == id.fileId) return &folderItself;
  for (const TreeEntry& entry : entries)
    if (entry.directory() && entry.listed.fileId == fileId) return &entry.relative;
  return nullptr;
}

TreePlan PlanTree(const std::wstring& folder) {
  TreePlan plan;
  plan.folder = folder;
  if (!IdOfPlace(folder, plan.id)) {
    plan.complete = false;
    return plan;
  }
  PlanDirectory(L"", 0, plan);
  return plan;
}

}  // namespace korvalin

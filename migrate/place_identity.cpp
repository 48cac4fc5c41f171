#include "migrate/place_identity.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "migrate/file_handles.h"
#include "migrate/path_text.h"

namespace korvalin {
namespace {

struct Identity {
  DWORD volume = 0;
  DWORD high = 0;
  DWORD low = 0;
  bool operator==(const Identity&) const = default;
};

std::optional<Identity> IdentityOf(const std::string& path) {
  // Backup semantics open a directory; links are followed to what they name.
  FileHandle file(dll::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION information = {};
  if (!file.valid() || !dll::GetFileInformationByHandle(file.get(), &information)) return std::nullopt;
  return Identity{information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow};
}

// The place's identity, if it exists, and those of its ancestors.
struct Chain {
  std::optional<Identity> own;
  std::vector<Identity> ancestors;
  bool holds(const Identity& identity) const {
    return std::find(ancestors.begin(), ancestors.end(), identity) != ancestors.end();
  }
};

Chain ChainOf(const std::string& path) {
  Chain chain;
  std::string at = TidySeparators(path);
  chain.own = IdentityOf(at);
  for (at = ParentPath(at); !at.empty(); at = ParentPath(at))
    if (std::optional<Identity> identity = IdentityOf(at)) chain.ancestors.push_back(*identity);
  return chain;
}

}  // namespace

PlaceRelation RelatePlaces(const std::string& first, const std::string& second) {
  const Chain a = ChainOf(first), b = ChainOf(second);
  if (a.own && b.own && *a.own == *b.own) return PlaceRelation::kSame;
  if (b.own && a.holds(*b.own)) return PlaceRelation::kInside;
  if (a.own && b.holds(*a.own)) return PlaceRelation::kContains;
  if (IsSameOrInside(first.c_str(), second.c_str()))
    return IsSameOrInside(second.c_str(), first.c_str()) ? PlaceRelation::kSame : PlaceRelation::kInside;
  if (IsSameOrInside(second.c_str(), first.c_str())) return PlaceRelation::kContains;
  return PlaceRelation::kSeparate;
}

}  // namespace korvalin

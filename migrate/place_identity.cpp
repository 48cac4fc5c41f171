#include "migrate/place_identity.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "migrate/directory_listing.h"
#include "migrate/file_handles.h"
#include "migrate/long_path.h"
#include "migrate/path_text.h"

namespace korvalin {
namespace {

// The place's identity, if it exists, and those of its ancestors.
struct Chain {
  std::optional<PlaceId> own;
  std::vector<PlaceId> ancestors;
  bool holds(const PlaceId& id) const { return std::find(ancestors.begin(), ancestors.end(), id) != ancestors.end(); }
};

void AddAncestors(std::wstring from, Chain& chain) {
  PlaceId id;
  for (; !from.empty(); from = ParentOf(from))
    if (IdOfPlace(from, id)) chain.ancestors.push_back(id);
}

// Where the part of the path that exists really is: past a link, a
// junction or a substituted drive; empty when the system cannot say.
std::wstring RealPlace(const std::wstring& existing) {
  FileHandle file(dll::CreateFileW(existing.c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return file.valid() ? FinalPathOf(file.get()) : std::wstring();
}

Chain ChainOf(const std::string& path) {
  Chain chain;
  const std::wstring place = EnginePath(TidySeparators(path));
  if (place.empty()) return chain;
  PlaceId id;
  if (IdOfPlace(place, id)) chain.own = id;
  // The ancestors as the path spells them, and those of where it leads:
  // a link to a folder inside the current one is inside it too.
  AddAncestors(ParentOf(place), chain);
  const std::wstring existing = DeepestExisting(place);
  if (existing.empty()) return chain;
  const std::wstring real = RealPlace(existing);
  // Where the place itself does not exist, the part that does is one of
  // its ancestors.
  if (!real.empty()) AddAncestors(existing == place ? ParentOf(real) : real, chain);
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

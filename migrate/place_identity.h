// Places compared by what they are on disk, not by how they are spelled: a
// junction, a symbolic link, a substituted drive, a share or a short name
// that leads into a directory is seen for what it is.
#pragma once

#include <string>

namespace korvalin {

enum class PlaceRelation {
  kSeparate,
  kSame,
  kInside,    // the first place lies inside the second
  kContains,  // the first place holds the second
};

// By volume serial number and file index of each place and its ancestors,
// both as the path spells them and as they are where the path really leads
// (the part of a path that does not exist yet is left out), then by the
// spelling (IsSameOrInside) for what the disk cannot answer.
PlaceRelation RelatePlaces(const std::string& first, const std::string& second);

}  // namespace korvalin

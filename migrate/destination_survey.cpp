#include "migrate/destination_survey.h"

#include <map>
#include <optional>

#include "image/declared_functions.h"
#include "migrate/file_handles.h"
#include "migrate/long_path.h"

namespace korvalin {
namespace {

using Listing = std::map<std::wstring, ListedEntry>;

// True when the directory at `place` is the folder or one of its planned
// directories. A file id alone may repeat on another volume, and a volume
// serial alone does not tell under Wine; so a file made in the place, seen
// in the planned directory, settles it. Where none can be made, the volume
// serial decides.
bool IsInFolder(const TreePlan& plan, const std::wstring& place, const PlaceId& id) {
  const std::wstring* planned = plan.directoryWithId(id.fileId);
  if (!planned) return false;
  static unsigned serial = 0;
  const std::wstring marker = L"~korvalin-" + std::to_wstring(dll::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++serial) + L".probe";
  FileHandle probe(dll::CreateFileW(JoinPath(place, marker).c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!probe.valid()) return id.volume == plan.id.volume;
  return dll::GetFileAttributesW(JoinPath(JoinPath(plan.folder, *planned), marker).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring ParentPart(const std::wstring& relative) {
  const size_t cut = relative.rfind(L'\\');
  return cut == std::wstring::npos ? std::wstring() : relative.substr(0, cut);
}

class DestinationListings {
 public:
  DestinationListings(const TreePlan& plan, const std::wstring& to, DestinationSurvey& survey)
      : plan_(plan), to_(to), survey_(survey) {}

  // The listing of a destination directory; null where it does not exist.
  const Listing* find(const std::wstring& relative) {
    auto known = listings_.find(relative);
    if (known == listings_.end()) known = listings_.emplace(relative, list(relative)).first;
    return known->second ? &*known->second : nullptr;
  }

 private:
  std::optional<Listing> list(const std::wstring& relative) {
    const std::wstring path = JoinPath(to_, relative);
    std::vector<ListedEntry> found;
    PlaceId id;
    if (!ListDirectory(path, found, &id)) {
      if (dll::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES && survey_.conflict.empty())
        survey_.conflict = relative.empty() ? LastPart(to_) : relative;
      return std::nullopt;
    }
    if (IsInFolder(plan_, path, id)) survey_.intoFolder = true;
    Listing listing;
    for (ListedEntry& entry : found) listing.emplace(NameKey(entry.name), std::move(entry));
    return listing;
  }

  const TreePlan& plan_;
  const std::wstring& to_;
  DestinationSurvey& survey_;
  std::map<std::wstring, std::optional<Listing>> listings_;
};

}  // namespace

DestinationSurvey SurveyDestination(TreePlan& plan, const std::wstring& to) {
  DestinationSurvey survey;
  // Where the destination does not exist yet, its nearest ancestor is
  // where the copy starts writing.
  const std::wstring existing = DeepestExisting(to);
  PlaceId id;
  if (!existing.empty() && IdOfPlace(existing, id) && IsInFolder(plan, existing, id)) survey.intoFolder = true;
  if (existing != to) return survey;
  DestinationListings listings(plan, to, survey);
  if (!listings.find(L"")) return survey;
  for (TreeEntry& entry : plan.entries) {
    const Listing* listing = listings.find(ParentPart(entry.relative));
    if (!listing) continue;
    auto there = listing->find(NameKey(LastPart(entry.relative)));
    if (there == listing->end()) continue;
    const ListedEntry& standing = there->second;
    if (!standing.link() && standing.directory() == entry.directory()) {
      if (entry.directory()) continue;
      entry.replaces = true;
      if (survey.replaced++ == 0) survey.example = entry.relative;
    } else if (survey.conflict.empty()) {
      survey.conflict = entry.relative;
    }
  }
  return survey;
}

}  // namespace korvalin

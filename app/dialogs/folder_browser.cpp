#include "app/dialogs/folder_browser.h"

#include <cstring>

#include "image/declared_functions.h"
#include "runtime/values/value_helpers.h"

namespace korvalin {
namespace {

constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NONEWFOLDERBUTTON;

// An item list from the shell, freed with the shell's allocator.
class ItemList {
 public:
  ItemList() = default;
  explicit ItemList(PIDLIST_ABSOLUTE list) : list_(list) {}
  ~ItemList() {
    if (list_) dll::CoTaskMemFree(list_);
  }
  ItemList(const ItemList&) = delete;
  ItemList& operator=(const ItemList&) = delete;
  PIDLIST_ABSOLUTE* receive() { return &list_; }
  PIDLIST_ABSOLUTE get() const { return list_; }

 private:
  PIDLIST_ABSOLUTE list_ = nullptr;
};

}  // namespace

rt::Text BrowseForNewFolder(HWND owner, const char* prompt) {
  // The Computer folder goes in as an item list: the bare number is not a
  // valid root everywhere.
  ItemList root;
  if (dll::SHGetSpecialFolderLocation(owner, CSIDL_DRIVES, root.receive()) != S_OK) return nullptr;
  char displayName[MAX_PATH + 1];
  std::memset(displayName, ' ', MAX_PATH);
  displayName[MAX_PATH] = '\0';
  BROWSEINFOA info = {};
  info.hwndOwner = owner;
  info.pidlRoot = root.get();
  info.pszDisplayName = displayName;
  info.lpszTitle = prompt;
  info.ulFlags = kBrowseFlags;
  ItemList chosen(dll::SHBrowseForFolderA(&info));
  if (!chosen.get()) return nullptr;
  char path[MAX_PATH + 1];
  std::memset(path, ' ', MAX_PATH);
  path[MAX_PATH] = '\0';
  if (!dll::SHGetPathFromIDListA(chosen.get(), path)) return nullptr;
  return rt::CopyText(path);
}

}  // namespace korvalin

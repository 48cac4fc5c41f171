// A visible parent window of the benchmarks' own with a FolderList on it,
// set up as the main window sets up its list.
#pragma once

#include <windows.h>

#include "app/list/folder_list.h"

namespace korvalin::bench {

constexpr int kListWidth = 800;
constexpr int kListHeight = 720;  // ten rows of 72 pixels

class ListWindow {
 public:
  // holder: the variable that holds the list (the program's folderList for
  // a rule load); the list is created and stored there.
  explicit ListWindow(FolderList** holder);
  ~ListWindow();
  ListWindow(const ListWindow&) = delete;
  ListWindow& operator=(const ListWindow&) = delete;

  FolderList* list() const { return *holder_; }
  HWND handle() const { return (*holder_)->getHandle(); }
  // Adds the header and `count` folder rows directly.
  void addRows(int count);

 private:
  FolderList** holder_;
  HWND parent_ = nullptr;
};

}  // namespace korvalin::bench

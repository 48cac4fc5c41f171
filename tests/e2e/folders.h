// Directories a scenario owns under C:\kv-<name> (short, so a row shows
// the whole path), with files in them.
#pragma once

#include <string>

namespace korvalin::e2e {

struct Folders {
  explicit Folders(const std::string& name);
  // A fresh directory below this scenario's root.
  std::string Make(const std::string& name) const;
  std::string root;
};

// a.txt and sub\b.txt, the files the move scenarios carry.
void PutUserFiles(const std::string& directory);
// The user's files in `directory`, and the Desktop value pointing there.
bool MakeUserDesktop(const std::string& directory);
// True when both files are there with their contents.
bool HoldsUserFiles(const std::string& directory);

}  // namespace korvalin::e2e

// A layout for /apply: which folders go where, a JSON array of objects
//   {"name": "Desktop", "directory": "D:\\Users\\%USERNAME%\\Desktop",
//    "files": true, "clear": false, "replace": false}
// ("files", "clear" and "replace" optional, false when missing), read with
// the rule document's reader: evaluated in a locked script engine, on a
// thread of its own, given up after the same 8 seconds.
#pragma once

#include <string>
#include <vector>

namespace korvalin {

struct LayoutEntry {
  std::string name;       // the folder's registry value name, as /move takes it
  std::string directory;  // as written, %VARIABLES% not yet expanded
  bool files = false;
  bool clear = false;
  bool replace = false;
};

struct Layout {
  std::vector<LayoutEntry> entries;
  std::string problem;  // why the file could not be read; empty when it was
};

Layout ReadLayout(const std::string& path);

// The directory with %NAME% references expanded from the environment
// (USERNAME, USERPROFILE, HOMEDRIVE, OneDrive, any other); empty when a
// reference names no variable or the result does not fit.
std::string ExpandedDirectory(const std::string& directory);

}  // namespace korvalin

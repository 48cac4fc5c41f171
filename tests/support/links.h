// Directory links and drive letters that one test makes for itself.
#pragma once

#include <string>

namespace korvalin::test {

// Makes `link` a link to the directory `target`: a symbolic link where the
// system makes one, under Wine a Linux symbolic link, which Wine shows as a
// directory with FILE_ATTRIBUTE_REPARSE_POINT, made by the link service of
// scripts/with-wine.sh. False when neither works.
bool MakeDirectoryLink(const std::string& link, const std::string& target);

// Makes `link` a link to the file `target` in the same way. Under Wine it is
// listed as a plain file, and deleting it deletes its target.
bool MakeFileLink(const std::string& link, const std::string& target);

// A drive letter of the test's own, mapped onto a directory of its own for
// the object's lifetime (DefineDosDevice where it is honoured, a link in
// Wine's dosdevices made by the same service otherwise). root() is "X:" once ok(); a test that gets
// no letter skips rather than touch a drive it does not own.
class OwnDrive {
 public:
  explicit OwnDrive(const std::string& directory);
  ~OwnDrive();
  OwnDrive(const OwnDrive&) = delete;
  OwnDrive& operator=(const OwnDrive&) = delete;

  bool ok() const { return !root_.empty(); }
  const std::string& root() const { return root_; }

 private:
  bool Verified(char letter) const;
  std::string root_;
  std::string marker_;
  std::string wineDevice_;  // the dosdevices letter to remove, when Wine's
  bool defined_ = false;
};

}  // namespace korvalin::test

#include "migrate/folder_copy.h"

#include "automation/com_calls.h"
#include "image/declared_functions.h"
#include "runtime/owned_value.h"
#include "runtime/command_calls.h"
#include "runtime/value_helpers.h"

namespace korvalin {
namespace {

// The bridge may write back into a by-reference text, so it must be a heap
// text of ours; whatever the variable holds afterwards is freed.
class ReferenceText {
 public:
  explicit ReferenceText(const char* text) : text_(rt::CopyText(text)) {}
  ~ReferenceText() { rt::program::Free(text_); }
  ReferenceText(const ReferenceText&) = delete;
  ReferenceText& operator=(const ReferenceText&) = delete;
  rt::ValueRecord arg() { return rt::automation::TextRef(text_); }

 private:
  rt::Text text_;
};

bool CallCopyFolder(const char* source, const char* destination) {
  rt::automation::ComObject fileSystem;
  if (!fileSystem.create("scripting.FileSystemObject")) return false;
  ReferenceText from(source);
  ReferenceText to(destination);
  // No overwrite argument: the object's default replaces existing files.
  fileSystem.callMethod("CopyFolder", from.arg(), to.arg());
  rt::OwnedText error(rt::automation::ComObject::lastErrorText());
  bool copied = rt::TextLength(error.get()) == 0;
  fileSystem.clear();
  return copied;
}

}  // namespace

bool CopyFolderTree(const char* source, const char* destination) {
  dll::CoInitialize(nullptr);
  // The object is gone before COM is shut down for this call.
  bool copied = CallCopyFolder(source, destination);
  dll::CoUninitialize();
  return copied;
}

void ClearDirectory(const char* directory) {
  rt::cmd::DeleteDirectoryTree(directory);
  rt::cmd::MakeDirectory(directory);
}

}  // namespace korvalin

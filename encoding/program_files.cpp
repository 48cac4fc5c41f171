#include "encoding/program_files.h"

#include "runtime/interface/command_calls.h"
#include "runtime/interface/owned_value.h"

namespace korvalin {

std::string PathBesideProgram(const char* name) {
  rt::OwnedText directory(rt::cmd::GetRunDirectory());
  return std::string(rt::TextOf(directory)) + "\\" + name;
}

}  // namespace korvalin

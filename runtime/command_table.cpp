#include "runtime/library.h"

namespace rt::library {

const LibraryCommandInfo kCommands[] = {{"", nullptr}};
const int32_t kCommandCount = 0;

}  // namespace rt::library

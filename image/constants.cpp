#include "image/constants.h"

namespace korvalin {

// The helper table is a copy of the kernel's own; the whole block is the
// static constant region once the runtime has started.
const ProgramConstants kConstants = {
    {rt::KernelHelperTable(), {0, 0, 0, 0}, {1, 0}},
};

}  // namespace korvalin

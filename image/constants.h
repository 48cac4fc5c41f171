// The program's constant block: the helper table first, then the constants
// that program code may point at without copying.
#pragma once

#include "runtime/interface/program_calls.h"

namespace korvalin {

struct ProgramConstants {
  rt::program::ConstantBlockPrefix prefix;
};

extern const ProgramConstants kConstants;

}  // namespace korvalin

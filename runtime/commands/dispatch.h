// The command dispatcher and the shape of a runtime command.
#pragma once

#include "runtime/values/value.h"

namespace rt {

// (result record, argument count, first argument record). Arguments are lent;
// the result belongs to the caller.
using RuntimeCommand = void (*)(ValueRecord* result, int count, const ValueRecord* args);

ValueRecord DispatchCommand(RuntimeCommand command, int count, const ValueRecord* args);

}  // namespace rt

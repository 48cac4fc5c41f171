#include "runtime/commands/dispatch.h"

namespace rt {

ValueRecord DispatchCommand(RuntimeCommand command, int count, const ValueRecord* args) {
  ValueRecord result;
  command(&result, count, args);
  return result;
}

}  // namespace rt

#include "runtime/commands/commands.h"
#include "runtime/commands/support.h"

namespace rt::commands {

using detail::Arg;
using detail::IntOf;

void BitAnd(ValueRecord* result, int count, const ValueRecord* args) {
  uint32_t v = count > 0 ? static_cast<uint32_t>(IntOf(Arg(count, args, 0))) : 0;
  for (int i = 1; i < count; ++i) v &= static_cast<uint32_t>(IntOf(args[i]));
  result->setInt(static_cast<int32_t>(v));
}

void BitOr(ValueRecord* result, int count, const ValueRecord* args) {
  uint32_t v = 0;
  for (int i = 0; i < count; ++i) v |= static_cast<uint32_t>(IntOf(args[i]));
  result->setInt(static_cast<int32_t>(v));
}

void ShiftLeft(ValueRecord* result, int count, const ValueRecord* args) {
  uint32_t v = static_cast<uint32_t>(IntOf(Arg(count, args, 0)));
  result->setInt(static_cast<int32_t>(v << (IntOf(Arg(count, args, 1)) & 31)));
}

void ShiftRight(ValueRecord* result, int count, const ValueRecord* args) {
  int32_t v = IntOf(Arg(count, args, 0));
  result->setInt(v >> (IntOf(Arg(count, args, 1)) & 31));  // arithmetic: the sign is copied in
}

void MakeInt(ValueRecord* result, int count, const ValueRecord* args) {
  uint32_t low = static_cast<uint32_t>(IntOf(Arg(count, args, 0))) & 0xFFFFu;
  uint32_t high = static_cast<uint32_t>(IntOf(Arg(count, args, 1)));
  result->setInt(static_cast<int32_t>((high << 16) | low));
}

}  // namespace rt::commands

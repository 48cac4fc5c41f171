#include <algorithm>
#include <cstring>

#include "runtime/commands/commands.h"
#include "runtime/commands/support.h"
#include "runtime/commands/library.h"
#include "runtime/kernel/runtime_error.h"

namespace rt::commands {
namespace {

using detail::Arg;
using detail::IntOf;

constexpr uint32_t kKindTags[] = {kTagByte,   kTagShort, kTagInt,      kTagLong,       kTagFloat,
                                  kTagDouble, kTagBool,  kTagDateTime, kTagSubroutine, kTagText};

// The bytes a value stands for in memory: a text with its NUL, a byte set's
// data, a basic value's own bytes, a byte array's elements.
struct MemoryImage {
  const void* bytes = nullptr;
  size_t length = 0;
};

MemoryImage ImageForWrite(const ValueRecord& value, const uint64_t& scratch) {
  uint32_t tag = value.tag;
  if (tag == kTagText) {
    const char* text = detail::TextOf(value);
    return {text, std::strlen(text) + 1};
  }
  if (tag == kTagByteSet) return {detail::BytesOf(value), static_cast<size_t>(detail::BytesLengthOf(value))};
  if (IsByRef(tag)) {
    if (BaseTag(tag) != kTagByte || !value.pointer()) return {};
    const void* array = value.pointer();
    return {ArrayElements<uint8_t>(array), static_cast<size_t>(ArrayElementCount(array))};
  }
  if (ClassOfTag(tag) != TagClass::Basic) return {};
  return {&scratch, detail::BasicWidth(tag)};
}

}  // namespace

void ByteSetLength(ValueRecord* result, int count, const ValueRecord* args) {
  result->setInt(detail::BytesLengthOf(Arg(count, args, 0)));
}

void ZeroByteSet(ValueRecord* result, int count, const ValueRecord* args) {
  int32_t n = IntOf(Arg(count, args, 0));
  detail::SetBytes(result, n <= 0 ? nullptr : detail::NewBytes(nullptr, static_cast<size_t>(n)));
}

void ByteSetData(ValueRecord* result, int count, const ValueRecord* args) {
  ValueRecord set = Arg(count, args, 0);
  int32_t kind = IntOf(Arg(count, args, 1));
  if (kind < 1 || kind > 10) {
    static const char kMessage[] = "“欲取出数据的类型”参数值无效";
    library::Kernel(library::kReportError, reinterpret_cast<intptr_t>(kMessage));
    ReportRuntimeError(kMessage, 0);  // only reached without a kernel
  }
  const void* bytes = detail::ByteSetArgument(set);
  const uint8_t* data = rt::ByteSetData(bytes);
  const int32_t setLength = rt::ByteSetLength(bytes);
  const size_t length = setLength < 0 ? 0 : static_cast<size_t>(setLength);

  ValueRecord positionArg = Arg(count, args, 2);
  // Written back as a 32-bit int: a variable of any other kind would be
  // overrun, so it is refused rather than written.
  if (IsByRef(positionArg.tag) && positionArg.tag != (kTagInt | kTagByRef)) RaiseRuntimeError(11);
  auto* positionVariable =
      IsByRef(positionArg.tag) ? static_cast<int32_t*>(positionArg.pointer()) : static_cast<int32_t*>(nullptr);
  size_t offset = 0;
  if (!positionArg.omitted()) {
    int64_t position = detail::IntegerOf(positionArg);
    offset = position < 1 ? length : std::min(length, static_cast<size_t>(position - 1));
  }
  const size_t remaining = length - offset;
  const uint32_t tag = kKindTags[kind - 1];
  size_t consumed;

  if (tag == kTagText) {
    const void* zero = remaining ? std::memchr(data + offset, 0, remaining) : nullptr;
    size_t textLength = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - (data + offset)) : remaining;
    result->setPointer(detail::NewText(data + offset, textLength), kTagText);
    consumed = textLength + (zero ? 1 : 0);
  } else {
    size_t width = detail::BasicWidth(tag);
    uint64_t bits = 0;  // bytes past the end read as 0
    if (remaining) std::memcpy(&bits, data + offset, std::min(width, remaining));
    consumed = width;
    switch (tag) {
      case kTagByte: result->setInt(static_cast<uint8_t>(bits), kTagByte); break;
      case kTagShort: result->setInt(static_cast<int16_t>(bits), kTagShort); break;
      case kTagInt: result->setInt(static_cast<int32_t>(bits)); break;
      case kTagLong: result->setLong(static_cast<int64_t>(bits)); break;
      case kTagFloat:
      case kTagDouble:
        result->low = static_cast<uint32_t>(bits);
        result->high = tag == kTagDouble ? static_cast<uint32_t>(bits >> 32) : 0;
        result->tag = tag;
        break;
      case kTagBool: result->setBool(static_cast<uint32_t>(bits) != 0); break;
      case kTagDateTime: {
        double d;
        std::memcpy(&d, &bits, sizeof d);
        result->setDouble(std::clamp(d, -657434.0, 2958465.0), kTagDateTime);
        break;
      }
      default: result->setPointer(reinterpret_cast<void*>(static_cast<uintptr_t>(bits)), kTagSubroutine); break;
    }
  }

  if (positionVariable) {
    size_t next = offset + consumed;
    *positionVariable = next >= length ? -1 : static_cast<int32_t>(next + 1);
  }
}

void PointerToByteSet(ValueRecord* result, int count, const ValueRecord* args) {
  const void* address = Arg(count, args, 0).pointer();
  int32_t n = IntOf(Arg(count, args, 1));
  detail::SetBytes(result, n <= 0 || !address ? nullptr : detail::NewBytes(address, static_cast<size_t>(n)));
}

void WriteMemory(ValueRecord* /*result*/, int count, const ValueRecord* args) {
  ValueRecord value = Arg(count, args, 0);
  void* address = Arg(count, args, 1).pointer();
  ValueRecord lengthArg = Arg(count, args, 2);
  uint64_t scratch = value.low | (static_cast<uint64_t>(value.high) << 32);
  MemoryImage image = ImageForWrite(value, scratch);
  if (!lengthArg.omitted()) {
    int32_t n = IntOf(lengthArg);
    if (n >= 0 && static_cast<size_t>(n) <= image.length) image.length = static_cast<size_t>(n);
  }
  if (address && image.length) std::memmove(address, image.bytes, image.length);
}

}  // namespace rt::commands

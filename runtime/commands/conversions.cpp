#include <charconv>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/commands/commands.h"
#include "runtime/commands/support.h"

namespace rt::commands {
namespace {

using detail::Arg;
using detail::NewText;
using detail::String;

uint64_t Bits(const ValueRecord& r) { return r.low | (static_cast<uint64_t>(r.high) << 32); }

String IntegerText(int64_t v) {
  char buffer[24];
  auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
  return String(buffer, end);
}

// printf's %g, with the exponent widened to at least three digits whichever
// C runtime does the formatting (1e20 gives 1e+020).
String FloatText(double v, int precision) {
  char buffer[64];
  int n = std::snprintf(buffer, sizeof buffer, "%.*g", precision, v);
  String text(buffer, n > 0 ? static_cast<size_t>(n) : 0);
  size_t e = text.find_first_of("eE");
  if (e != String::npos && e + 1 < text.size()) {
    size_t digits = e + 1;
    if (text[digits] == '+' || text[digits] == '-') ++digits;
    size_t count = text.size() - digits;
    if (count < 3) text.insert(digits, 3 - count, '0');
  }
  return text;
}

// The elements of an array passed by address, as bytes.
struct ArrayBytes {
  const uint8_t* data = nullptr;
  size_t length = 0;
};
ArrayBytes NumericArrayBytes(const ValueRecord& r, bool firstDimensionOnly) {
  const void* array = r.pointer();
  size_t width = detail::NumericWidth(BaseTag(r.tag));
  if (!array || !width || ArrayDimensions(array) < 1) return {};
  int64_t count = ArrayElementCount(array);
  // The first dimension is never taken past the elements the block holds.
  if (firstDimensionOnly && ArraySizes(array)[0] < count) count = ArraySizes(array)[0];
  if (count <= 0) return {};
  return {ArrayElements<uint8_t>(array), static_cast<size_t>(count) * width};
}

std::string_view UpToZero(const uint8_t* data, size_t length) {
  const void* zero = length ? std::memchr(data, 0, length) : nullptr;
  size_t n = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - data) : length;
  return std::string_view(reinterpret_cast<const char*>(data), n);
}

// A variable passed by address, read as a value of its base kind.
ValueRecord Dereferenced(const ValueRecord& r) {
  if (!IsByRef(r.tag)) return r;
  ValueRecord v;
  const void* p = r.pointer();
  size_t width = BaseTag(r.tag) == kTagText ? sizeof(void*) : detail::BasicWidth(r.tag);
  if (!p || !width) return v;
  uint64_t bits = 0;
  std::memcpy(&bits, p, width);
  v.low = static_cast<uint32_t>(bits);
  v.high = static_cast<uint32_t>(bits >> 32);
  v.tag = BaseTag(r.tag);
  return v;
}

// Full-width digits, signs and blanks of code page 936 become ASCII, then
// the text is read as atoi reads it.
int32_t TextToInt(std::string_view text) {
  String narrow;
  for (size_t i = 0; i < text.size(); ++i) {
    auto b = static_cast<uint8_t>(text[i]);
    if (b < 0x80 || i + 1 >= text.size()) {
      narrow += static_cast<char>(b);
      continue;
    }
    auto t = static_cast<uint8_t>(text[++i]);
    if (b == 0xA3 && t >= 0xA1 && t <= 0xFE) narrow += static_cast<char>(t - 0x80);
    else if (b == 0xA1 && t == 0xA1) narrow += ' ';
    else if (b == 0xA1 && t == 0xAB) narrow += '~';
    else if (b == 0xA1 && (t == 0xEE || t == 0xEF)) narrow += '*';
    else narrow += {static_cast<char>(b), static_cast<char>(t)};
  }
  size_t i = 0;
  while (i < narrow.size() && narrow[i] && std::strchr(" \t\n\v\f\r", narrow[i])) ++i;
  bool negative = false;
  if (i < narrow.size() && (narrow[i] == '+' || narrow[i] == '-')) negative = narrow[i++] == '-';
  int64_t value = 0;
  for (; i < narrow.size() && narrow[i] >= '0' && narrow[i] <= '9'; ++i) {
    value = value * 10 + (narrow[i] - '0');
    if (value > static_cast<int64_t>(INT32_MAX) + 1) value = static_cast<int64_t>(INT32_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) value = INT32_MAX;
  return static_cast<int32_t>(value);
}

int32_t FloatToInt(double d) {
  int64_t t = detail::TruncateDouble(d);
  return (t < INT32_MIN || t > INT32_MAX) ? INT32_MIN : static_cast<int32_t>(t);
}

// ToInt's answer; a routine's address is returned whole in both words.
ValueRecord IntegerResult(const ValueRecord& argument) {
  ValueRecord v = Dereferenced(argument);
  ValueRecord out;
  switch (v.tag) {
    case kTagBool: out.setInt(v.low != 0); break;
    case kTagByte: out.setInt(static_cast<int32_t>(v.low & 0xFF)); break;
    case kTagShort: out.setInt(static_cast<int16_t>(v.low)); break;
    case kTagInt:
    case kTagLong: out.setInt(static_cast<int32_t>(v.low)); break;
    case kTagFloat: out.setInt(FloatToInt(v.asFloat())); break;
    case kTagDouble: out.setInt(FloatToInt(v.asDouble())); break;
    case kTagSubroutine: out.setPointer(v.pointer(), kTagInt); break;
    case kTagText: out.setInt(TextToInt(detail::TextViewOf(v))); break;
    default: out.setInt(0); break;
  }
  return out;
}


// The text of a value, by its tag.
String TextOfValue(const ValueRecord& v) {
  switch (v.tag) {
    case kTagByte: return IntegerText(v.low & 0xFF);
    case kTagShort: return IntegerText(static_cast<int16_t>(v.low));
    case kTagInt: return IntegerText(static_cast<int32_t>(v.low));
    case kTagLong: return IntegerText(v.asLong());
    case kTagFloat: return FloatText(v.asFloat(), 6);
    case kTagDouble: return FloatText(v.asDouble(), 13);
    case kTagBool: return String(v.low ? "真" : "假");
    case kTagText: return String(detail::TextViewOf(v));
    case kTagByteSet:
      return String(UpToZero(detail::BytesOf(v), static_cast<size_t>(detail::BytesLengthOf(v))));
    default:
      if (IsByRef(v.tag)) {
        ArrayBytes a = NumericArrayBytes(v, false);
        return String(UpToZero(a.data, a.length));
      }
      return String();  // date-time and every other kind
  }
}

}  // namespace

void ToText(ValueRecord* result, int count, const ValueRecord* args) {
  detail::SetText(result, NewText(TextOfValue(Arg(count, args, 0))));
}

void ToInt(ValueRecord* result, int count, const ValueRecord* args) { *result = IntegerResult(Arg(count, args, 0)); }

void ToByte(ValueRecord* result, int count, const ValueRecord* args) {
  result->setInt(static_cast<int32_t>(IntegerResult(Arg(count, args, 0)).low & 0xFF), kTagByte);
}

void ToByteSet(ValueRecord* result, int count, const ValueRecord* args) {
  ValueRecord v = Arg(count, args, 0);
  void* bytes = nullptr;
  if (v.tag == kTagText) {
    std::string_view text = detail::TextViewOf(v);
    bytes = detail::NewBytes(text.data(), text.size());
  } else if (v.tag == kTagByteSet) {
    bytes = detail::NewBytes(detail::BytesOf(v), static_cast<size_t>(detail::BytesLengthOf(v)));
  } else if (IsByRef(v.tag)) {
    ArrayBytes a = NumericArrayBytes(v, true);
    bytes = detail::NewBytes(a.data, a.length);
  } else if (ClassOfTag(v.tag) == TagClass::Basic) {
    uint64_t bits = Bits(v);  // little-endian: the low bytes come first
    bytes = detail::NewBytes(&bits, detail::BasicWidth(v.tag));
  }
  detail::SetBytes(result, bytes);
}

}  // namespace rt::commands

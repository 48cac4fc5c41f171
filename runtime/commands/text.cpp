#include <algorithm>
#include <cstring>

#include "runtime/commands/commands.h"
#include "runtime/commands/support.h"

namespace rt::commands {
namespace {

using detail::Arg;
using detail::IntOf;
using detail::NewText;
using detail::SetText;
using detail::TextViewOf;

uint8_t FoldAscii(uint8_t c) { return (c >= 'A' && c <= 'Z') ? static_cast<uint8_t>(c + 32) : c; }

// Compares the sought bytes with the text at `at`. Ignoring case folds only
// single-byte letters: the second byte of a double-byte character is part
// of that character, not a letter.
bool MatchesAt(std::string_view text, size_t at, std::string_view sought, bool ignoreCase) {
  if (!ignoreCase) return text.compare(at, sought.size(), sought) == 0;
  for (size_t k = 0; k < sought.size(); ++k) {
    auto t = static_cast<uint8_t>(text[at + k]);
    auto s = static_cast<uint8_t>(sought[k]);
    if (t >= 0x80 && k + 1 < sought.size()) {
      if (t != s || text[at + k + 1] != sought[k + 1]) return false;
      ++k;
      continue;
    }
    if (FoldAscii(t) != FoldAscii(s)) return false;
  }
  return true;
}

// Walks [start, regionEnd) a character at a time; returns the 1-based
// position of the first match, or of the last one when `last` is set.
int32_t Search(std::string_view text, size_t start, size_t regionEnd, std::string_view sought, bool ignoreCase,
               bool last) {
  if (start >= regionEnd) return -1;
  if (sought.empty()) return 1;
  int32_t found = -1;
  size_t i = start;
  while (regionEnd - i >= sought.size()) {
    if (MatchesAt(text, i, sought, ignoreCase)) {
      found = static_cast<int32_t>(i + 1);
      if (!last) return found;
    }
    if (static_cast<uint8_t>(text[i]) >= 0x80) {
      if (i + 1 >= text.size()) break;  // a lead byte with nothing after it
      i += 2;
    } else {
      i += 1;
    }
    if (i >= regionEnd) break;
  }
  return found;
}

}  // namespace

void TextLength(ValueRecord* result, int count, const ValueRecord* args) {
  result->setInt(static_cast<int32_t>(TextViewOf(Arg(count, args, 0)).size()));
}

void LeftText(ValueRecord* result, int count, const ValueRecord* args) {
  std::string_view text = TextViewOf(Arg(count, args, 0));
  int32_t n = IntOf(Arg(count, args, 1));
  SetText(result, n <= 0 ? nullptr : NewText(text.substr(0, static_cast<size_t>(n))));
}

void RightText(ValueRecord* result, int count, const ValueRecord* args) {
  std::string_view text = TextViewOf(Arg(count, args, 0));
  int32_t n = IntOf(Arg(count, args, 1));
  if (n <= 0) return SetText(result, nullptr);
  size_t take = std::min(text.size(), static_cast<size_t>(n));
  SetText(result, NewText(text.substr(text.size() - take)));
}

void CharFromCode(ValueRecord* result, int count, const ValueRecord* args) {
  char c = static_cast<char>(IntOf(Arg(count, args, 0)) & 0xFF);
  SetText(result, c ? NewText(&c, 1) : nullptr);
}

void CharCode(ValueRecord* result, int count, const ValueRecord* args) {
  std::string_view text = TextViewOf(Arg(count, args, 0));
  ValueRecord position = Arg(count, args, 1);
  int64_t p = position.omitted() ? 1 : IntOf(position);
  if (p < 1 || p > static_cast<int64_t>(text.size())) return result->setInt(0);
  result->setInt(static_cast<int8_t>(text[static_cast<size_t>(p - 1)]));
}

void FindText(ValueRecord* result, int count, const ValueRecord* args) {
  std::string_view text = TextViewOf(Arg(count, args, 0));
  std::string_view sought = TextViewOf(Arg(count, args, 1));
  ValueRecord startArg = Arg(count, args, 2);
  ValueRecord caseArg = Arg(count, args, 3);
  int32_t position = startArg.omitted() ? 0 : IntOf(startArg);
  size_t start = position < 1 ? 0 : static_cast<size_t>(position) - 1;
  bool ignoreCase = !caseArg.omitted() && detail::BoolOf(caseArg);
  result->setInt(Search(text, start, text.size(), sought, ignoreCase, false));
}

void FindTextReverse(ValueRecord* result, int count, const ValueRecord* args) {
  std::string_view text = TextViewOf(Arg(count, args, 0));
  std::string_view sought = TextViewOf(Arg(count, args, 1));
  ValueRecord endArg = Arg(count, args, 2);
  ValueRecord caseArg = Arg(count, args, 3);
  size_t end = text.size();
  if (!endArg.omitted()) {
    int32_t position = IntOf(endArg);
    end = position < 1 ? 0 : static_cast<size_t>(position) - 1;
  }
  bool ignoreCase = !caseArg.omitted() && detail::BoolOf(caseArg);
  result->setInt(Search(text, 0, std::min(end, text.size()), sought, ignoreCase, true));
}

void SpaceText(ValueRecord* result, int count, const ValueRecord* args) {
  int32_t n = IntOf(Arg(count, args, 0));
  if (n < 1) return SetText(result, nullptr);
  auto* text = static_cast<char*>(detail::AllocateBlock(static_cast<size_t>(n) + 1));
  std::memset(text, ' ', static_cast<size_t>(n));
  text[n] = '\0';
  SetText(result, text);
}

}  // namespace rt::commands

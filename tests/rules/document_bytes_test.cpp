// Decoding the document's bytes and joining wide texts, including bytes
// placed right before an inaccessible page so any overread faults.
#include <gtest/gtest.h>

#include <windows.h>

#include <random>
#include <string>

#include "rules/document_bytes.h"
#include "runtime/interface/program_calls.h"
#include "runtime/values/value.h"
#include "tests/rules/rules_test_support.h"

namespace korvalin::test {
namespace {

using namespace std::string_literals;

std::string Decode(const std::string& bytes) {
  void* input = ByteSetOf(bytes);
  std::string result = TakeBytes(DecodeDocumentBytes(input));
  rt::program::Free(input);
  return result;
}

// UTF-16LE bytes with one zero unit at the end.
std::string Wide(const std::wstring& text) { return Utf16Bytes(text) + "\0\0"s; }

TEST(DecodeDocumentBytes, TwoBytesOrFewerAndABareUtf8MarkAreEmpty) {
  EXPECT_EQ(Decode(""), "");
  EXPECT_EQ(Decode("{"), "");
  EXPECT_EQ(Decode("{}"), "");
  EXPECT_EQ(Decode("\xEF\xBB\xBF"), "");
  EXPECT_EQ(Decode("\xEF\xBB" "A"), "");
}

TEST(DecodeDocumentBytes, ReadsNothingBeyondTheLengthItIsGiven) {
  // A document after the byte set's end must not be taken for its content.
  struct {
    rt::ByteSetHeader header;
    char bytes[8];
  } block = {{1, 3}, "\xEF\xBB\xBF[1]"};
  EXPECT_EQ(TakeBytes(DecodeDocumentBytes(&block)), "");
  block.header.length = 4;
  EXPECT_EQ(TakeBytes(DecodeDocumentBytes(&block)), Wide(L"["));
}

TEST(DecodeDocumentBytes, FindsEachEncoding) {
  const std::wstring text = L"{\"t\":\"桌面\"}";
  EXPECT_EQ(Decode(Utf8(text)), Wide(text));
  EXPECT_EQ(Decode("\xEF\xBB\xBF" + Utf8(text)), Wide(text));
  // The mark's third byte is not looked at.
  EXPECT_EQ(Decode("\xEF\xBB" "x" + Utf8(text)), Wide(text));
  // Not valid UTF-8, so code page 936.
  EXPECT_EQ(Decode(Gbk(text)), Wide(text));
  // UTF-16 is taken byte for byte, ending as the input ends.
  EXPECT_EQ(Decode("\xFF\xFE" + Utf16Bytes(text)), Utf16Bytes(text));
  EXPECT_EQ(Decode(Utf16Bytes(text)), Utf16Bytes(text));
  EXPECT_EQ(Decode("\xFF\xFE" "A"), "A");
}

std::string Join(std::initializer_list<std::string> pieces, bool endWithNull = false) {
  std::vector<void*> blocks;
  for (const std::string& piece : pieces) blocks.push_back(ByteSetOf(piece));
  std::string result;
  switch (blocks.size()) {
    case 2: result = TakeBytes(JoinWideTexts({blocks[0], blocks[1]})); break;
    case 3:
      result = endWithNull ? TakeBytes(JoinWideTexts({blocks[0], nullptr, blocks[2]}))
                           : TakeBytes(JoinWideTexts({blocks[0], blocks[1], blocks[2]}));
      break;
    default: ADD_FAILURE() << "two or three pieces";
  }
  for (void* block : blocks) rt::program::Free(block);
  return result;
}

TEST(JoinWideTexts, DropsOneTrailingZeroUnitPerPieceAndEndsWithOne) {
  EXPECT_EQ(Join({Wide(L"Qoda="), Utf16Bytes(L"[1]")}), Wide(L"Qoda=[1]"));
  EXPECT_EQ(Join({Wide(L"Qoda="), Wide(L"[1]")}), Wide(L"Qoda=[1]"));
  // Only one zero unit goes; a single byte or no bytes go in whole.
  EXPECT_EQ(Join({Wide(L"a") + "\0\0"s, "b"}), "a\0\0\0b\0\0"s);
  EXPECT_EQ(Join({Wide(L"a"), "\0\0"s, Wide(L"c")}), Wide(L"ac"));
  // The list ends at the first missing piece.
  EXPECT_EQ(Join({Wide(L"a"), "\0\0"s, Wide(L"c")}, true), Wide(L"a"));
  // At most ten pieces.
  void* piece = ByteSetOf(Utf16Bytes(L"x"));
  std::string eleven = TakeBytes(JoinWideTexts({piece, piece, piece, piece, piece, piece, piece, piece, piece,
                                                piece, piece}));
  rt::program::Free(piece);
  EXPECT_EQ(eleven, Wide(std::wstring(10, L'x')));
}

// Byte sets whose last data byte sits right before a PAGE_NOACCESS page.
class GuardedInput {
 public:
  static constexpr size_t kPage = 4096;
  static constexpr size_t kDataPages = 3;

  GuardedInput() {
    base_ = static_cast<uint8_t*>(
        VirtualAlloc(nullptr, (kDataPages + 1) * kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old = 0;
    if (base_) VirtualProtect(base_ + kDataPages * kPage, kPage, PAGE_NOACCESS, &old);
  }
  ~GuardedInput() {
    if (base_) VirtualFree(base_, 0, MEM_RELEASE);
  }
  bool ready() const { return base_ != nullptr; }

  // Decodes the bytes from the guarded place; false when the result is not
  // a well-formed wide text of a sane size.
  bool Decode(const uint8_t* bytes, size_t length) {
    uint8_t* end = base_ + kDataPages * kPage;
    auto* header = reinterpret_cast<rt::ByteSetHeader*>(end - length - sizeof(rt::ByteSetHeader));
    header->dimensions = 1;
    header->length = static_cast<int32_t>(length);
    if (length) std::memcpy(end - length, bytes, length);
    void* result = DecodeDocumentBytes(header);
    int32_t size = rt::ByteSetLength(result);
    bool sane = size >= 0 && static_cast<size_t>(size) <= 2 * length + 2;
    rt::program::Free(result);
    return sane;
  }

 private:
  uint8_t* base_ = nullptr;
};

TEST(DecodeDocumentBytes, ShortInputsWithEveryMarkDoNotReadPastTheirEnd) {
  GuardedInput guarded;
  ASSERT_TRUE(guarded.ready());
  const std::string prefixes[] = {"\xEF\xBB"s, "\xFF\xFE"s, "A\0"s, "\0\0"s, "\xE4\0"s, "\x81\0"s};
  int failures = 0;
  for (const std::string& prefix : prefixes) {
    for (size_t length = 0; length <= 8; ++length) {
      for (int fill = 0; fill < 256; ++fill) {
        std::string bytes = prefix + std::string(8, static_cast<char>(fill));
        if (!guarded.Decode(reinterpret_cast<const uint8_t*>(bytes.data()), length)) ++failures;
      }
    }
  }
  EXPECT_EQ(failures, 0);
}

TEST(DecodeDocumentBytes, RandomBytesDoNotReadPastTheirEnd) {
  GuardedInput guarded;
  ASSERT_TRUE(guarded.ready());
  std::mt19937 random(20261208);
  // Lead bytes of UTF-8 and GBK sequences, left without their trail bytes.
  const uint8_t leads[] = {0xC2, 0xDF, 0xE0, 0xE4, 0xED, 0xEF, 0xF0, 0xF4, 0xF8, 0x81, 0xA1, 0xFE, 0xFF};
  std::vector<uint8_t> bytes(4096);
  int failures = 0;
  for (int round = 0; round < 100000; ++round) {
    size_t length = random() % (bytes.size() + 1);
    int style = static_cast<int>(random() % 4);
    for (size_t i = 0; i < length; ++i) {
      uint32_t r = random();
      if (style == 0) bytes[i] = static_cast<uint8_t>(r);
      else if (style == 1) bytes[i] = (r & 7) == 0 ? leads[(r >> 3) % sizeof leads] : static_cast<uint8_t>('a' + r % 26);
      else bytes[i] = (r & 3) == 0 ? leads[(r >> 2) % sizeof leads] : static_cast<uint8_t>(0x80 | (r >> 8));
    }
    // Some inputs carry a mark or look like UTF-16, and end on a lead byte.
    if (length >= 2 && style == 3) {
      static const char* const marks[] = {"\xEF\xBB", "\xFF\xFE", "{\0"};
      std::memcpy(bytes.data(), marks[random() % 3], 2);
    }
    if (length >= 1 && (random() & 1)) bytes[length - 1] = leads[random() % sizeof leads];
    if (!guarded.Decode(bytes.data(), length)) ++failures;
  }
  EXPECT_EQ(failures, 0);
}

}  // namespace
}  // namespace korvalin::test

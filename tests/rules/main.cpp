#include <windows.h>

#include "encoding/code_page.h"
#include "runtime/interface/program_calls.h"
#include "runtime/values/value_helpers.h"
#include "tests/rules/rules_test_support.h"
#include "tests/support/test_image.h"
#include "tests/support/test_support.h"

namespace korvalin::test {

void* ByteSetOf(const std::string& bytes) {
  return rt::NewByteSet(bytes.data(), static_cast<int32_t>(bytes.size()));
}

std::string BytesOf(const void* byteSet) {
  return std::string(reinterpret_cast<const char*>(rt::ByteSetData(byteSet)),
                     static_cast<size_t>(rt::ByteSetLength(byteSet)));
}

std::string TakeText(char* text) {
  std::string result = text ? text : "";
  rt::program::Free(text);
  return result;
}

std::string TakeBytes(void* byteSet) {
  std::string result = BytesOf(byteSet);
  rt::program::Free(byteSet);
  return result;
}

std::string Utf16Bytes(const std::wstring& text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

namespace {
std::string Narrow(const std::wstring& text, UINT codePage) {
  int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                   nullptr);
  std::string result(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(), length, nullptr,
                      nullptr);
  return result;
}
}  // namespace

std::string Gbk(const std::wstring& text) { return Narrow(text, kProgramCodePage); }
std::string Utf8(const std::wstring& text) { return Narrow(text, CP_UTF8); }

}  // namespace korvalin::test

int main(int argc, char** argv) {
  return korvalin::test::TestMain(argc, argv, korvalin::test::ProgramTestImage());
}

// Shared by the rules tests: byte and text helpers.
#pragma once

#include <cstdint>
#include <string>


namespace korvalin::test {

// A new byte set holding the bytes; null for none, as the runtime has it.
void* ByteSetOf(const std::string& bytes);
// The bytes of a byte set (empty for null).
std::string BytesOf(const void* byteSet);
// Takes over a text or byte set the code under test returned.
std::string TakeText(char* text);
std::string TakeBytes(void* byteSet);

// Little-endian UTF-16 bytes of a wide string, without a terminator.
std::string Utf16Bytes(const std::wstring& text);
// The same text in code page 936 and in UTF-8 (no terminator).
std::string Gbk(const std::wstring& text);
std::string Utf8(const std::wstring& text);

}  // namespace korvalin::test

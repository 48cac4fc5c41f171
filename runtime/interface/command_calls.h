// Typed calls of the runtime commands for program code: each builds the
// argument records, goes through the command dispatcher and hands back a
// plain C++ value. Texts and byte sets returned are new blocks the caller
// frees with rt::program::Free (null stands for empty).
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <optional>

#include "runtime/values/value.h"

// <windows.h> maps FindText to the find-text dialog; these are our own.
#undef FindText

namespace rt::cmd {

// Integers and bits.
int32_t BitAnd(std::initializer_list<int32_t> values);
int32_t BitOr(std::initializer_list<int32_t> values);
template <typename... Rest>
int32_t BitAnd(int32_t first, Rest... rest) {
  return BitAnd({first, static_cast<int32_t>(rest)...});
}
template <typename... Rest>
int32_t BitOr(int32_t first, Rest... rest) {
  return BitOr({first, static_cast<int32_t>(rest)...});
}
int32_t ShiftLeft(int32_t value, int32_t count);
int32_t ShiftRight(int32_t value, int32_t count);
int32_t MakeInt(int32_t low, int32_t high);

// Texts.
int32_t TextLength(const char* text);
Text LeftText(const char* text, int32_t count);
Text RightText(const char* text, int32_t count);
Text CharFromCode(uint8_t code);
int32_t CharCode(const char* text, std::optional<int32_t> position = std::nullopt);
// A start below 1 searches from the first byte.
int32_t FindText(const char* text, const char* sought, int32_t start = 0, bool ignoreCase = false);
// Without an end the whole text is searched.
int32_t FindTextReverse(const char* text, const char* sought, std::optional<int32_t> end = std::nullopt,
                        bool ignoreCase = false);
Text SpaceText(int32_t count);

// Conversions. The record forms take any value, e.g. rt::program::DoubleArg.
Text ToText(const ValueRecord& value);
Text ToText(const char* text);
Text ToText(int32_t value);
Text ToText(double value);
Text ToText(bool value);
int32_t ToInt(const ValueRecord& value);
int32_t ToInt(const char* text);
// A routine's code address as a number (the full address on x86_64).
intptr_t RoutineAddress(const void* routine);
template <typename R, typename... A>
intptr_t RoutineAddress(R (*routine)(A...)) {
  return RoutineAddress(reinterpret_cast<const void*>(routine));
}
uint8_t ToByte(const ValueRecord& value);
uint8_t ToByte(const char* text);
void* ToByteSet(const ValueRecord& value);
void* ToByteSet(const char* text);

// Byte sets and memory.
int32_t ByteSetLength(const void* byteSet);
void* ZeroByteSet(int32_t count);

// The kinds ByteSetData reads.
enum ByteSetKind : int32_t {
  kReadByte = 1,
  kReadShort = 2,
  kReadInt = 3,
  kReadLong = 4,
  kReadFloat = 5,
  kReadDouble = 6,
  kReadBool = 7,
  kReadDateTime = 8,
  kReadSubroutine = 9,
  kReadText = 10,
};
// The raw result record; a text result is owned by the caller. With a
// position variable, the variable is advanced past what was read, or set to
// -1 once the end is reached.
ValueRecord ByteSetData(const void* byteSet, int32_t kind);
ValueRecord ByteSetData(const void* byteSet, int32_t kind, int32_t position);
ValueRecord ByteSetData(const void* byteSet, int32_t kind, int32_t* positionVariable);
// Typed forms; a result of another kind is runtime error 5.
int32_t ByteSetInt(const void* byteSet, int32_t* positionVariable = nullptr);
int16_t ByteSetShort(const void* byteSet, int32_t* positionVariable = nullptr);
uint8_t ByteSetByte(const void* byteSet, int32_t* positionVariable = nullptr);
double ByteSetDouble(const void* byteSet, int32_t* positionVariable = nullptr);
Text ByteSetText(const void* byteSet, int32_t* positionVariable = nullptr);

// A copy of length bytes at the address; null for length 0.
void* PointerToByteSet(const void* address, int32_t length);
// Copies the value's bytes (a text with its NUL) to the address.
void WriteMemory(const ValueRecord& value, void* address, std::optional<int32_t> length = std::nullopt);

// Files and the system.
Text GetRunDirectory();
// The variable (an array of texts) is freed and receives the arguments.
void GetCommandLineArgs(void** textArray);
void* ReadFileBytes(const char* path);
bool WriteFileBytes(const char* path, std::initializer_list<const void*> byteSets);
bool MakeDirectory(const char* path);
bool DeleteDirectoryTree(const char* path);
// mode 0 leaves the window mode out (normal window); 1 to 6 as the command.
bool RunCommandLine(const char* line, bool wait, int32_t mode = 0);
void Delay(int32_t milliseconds);

// Windows. A unit that does not resolve to a live window is a runtime error.
int32_t GetWindowHandle(UnitRef unit);
int32_t ClientWidth(UnitRef unit);
int32_t ClientHeight(UnitRef unit);
void MoveUnit(UnitRef unit, std::optional<int32_t> left = std::nullopt, std::optional<int32_t> top = std::nullopt,
              std::optional<int32_t> width = std::nullopt, std::optional<int32_t> height = std::nullopt);

}  // namespace rt::cmd

// The runtime's own commands that program code reaches through the command
// dispatcher. Each takes (result record, argument count, argument records),
// never frees an argument and returns new blocks owned by the caller (null
// for an empty text or byte set).
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/values/value.h"

// <windows.h> maps FindText to the find-text dialog; these are our own.
#undef FindText

namespace rt::commands {

// Integers and bits.
void BitAnd(ValueRecord* result, int count, const ValueRecord* args);
void BitOr(ValueRecord* result, int count, const ValueRecord* args);
void ShiftLeft(ValueRecord* result, int count, const ValueRecord* args);
void ShiftRight(ValueRecord* result, int count, const ValueRecord* args);
void MakeInt(ValueRecord* result, int count, const ValueRecord* args);

// Texts: code-page-936 bytes, 1-based byte positions, -1 for not found.
void TextLength(ValueRecord* result, int count, const ValueRecord* args);
void LeftText(ValueRecord* result, int count, const ValueRecord* args);
void RightText(ValueRecord* result, int count, const ValueRecord* args);
void CharFromCode(ValueRecord* result, int count, const ValueRecord* args);
void CharCode(ValueRecord* result, int count, const ValueRecord* args);
void FindText(ValueRecord* result, int count, const ValueRecord* args);
void FindTextReverse(ValueRecord* result, int count, const ValueRecord* args);
void SpaceText(ValueRecord* result, int count, const ValueRecord* args);

// Conversions.
void ToText(ValueRecord* result, int count, const ValueRecord* args);
void ToInt(ValueRecord* result, int count, const ValueRecord* args);
void ToByte(ValueRecord* result, int count, const ValueRecord* args);
void ToByteSet(ValueRecord* result, int count, const ValueRecord* args);

// Byte sets and memory.
void ByteSetLength(ValueRecord* result, int count, const ValueRecord* args);
void ZeroByteSet(ValueRecord* result, int count, const ValueRecord* args);
void ByteSetData(ValueRecord* result, int count, const ValueRecord* args);
void PointerToByteSet(ValueRecord* result, int count, const ValueRecord* args);
void WriteMemory(ValueRecord* result, int count, const ValueRecord* args);

// Files and the system.
void GetRunDirectory(ValueRecord* result, int count, const ValueRecord* args);
void GetCommandLineArgs(ValueRecord* result, int count, const ValueRecord* args);
void ReadFileBytes(ValueRecord* result, int count, const ValueRecord* args);
void WriteFileBytes(ValueRecord* result, int count, const ValueRecord* args);
void MakeDirectory(ValueRecord* result, int count, const ValueRecord* args);
void DeleteDirectoryTree(ValueRecord* result, int count, const ValueRecord* args);
void RunCommandLine(ValueRecord* result, int count, const ValueRecord* args);
void Delay(ValueRecord* result, int count, const ValueRecord* args);

// Windows and their units.
void GetWindowHandle(ValueRecord* result, int count, const ValueRecord* args);
void ClientWidth(ValueRecord* result, int count, const ValueRecord* args);
void ClientHeight(ValueRecord* result, int count, const ValueRecord* args);
void MoveUnit(ValueRecord* result, int count, const ValueRecord* args);

// The argument splitting of GetCommandLineArgs on a given command line: a new
// one-dimension array of texts (empty arguments are null texts).
void* SplitCommandLine(const char* commandLine);

}  // namespace rt::commands

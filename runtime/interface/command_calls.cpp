#include "runtime/interface/command_calls.h"

#include <vector>

#include "runtime/commands/commands.h"
#include "runtime/interface/program_calls.h"

namespace rt::cmd {
namespace {

using program::BoolArg;
using program::ByteSetArg;
using program::DispatchCommand;
using program::IntArg;
using program::Omitted;
using program::TextArg;
using program::UnitArg;

ValueRecord Dispatch(RuntimeCommand command, const std::vector<ValueRecord>& args) {
  return program::Helpers().dispatchCommand(command, static_cast<int>(args.size()),
                                            args.empty() ? nullptr : args.data());
}

Text TextResult(const ValueRecord& r) {
  if (r.tag != kTagText) program::RaiseRuntimeError(5);
  return static_cast<Text>(r.pointer());
}
void* BytesResult(const ValueRecord& r) {
  if (r.tag != kTagByteSet) program::RaiseRuntimeError(5);
  return r.pointer();
}
int32_t IntResult(const ValueRecord& r) {
  if (r.tag != kTagInt) program::RaiseRuntimeError(5);
  return r.asInt();
}
bool BoolResult(const ValueRecord& r) {
  if (r.tag != kTagBool) program::RaiseRuntimeError(5);
  return r.low != 0;
}

// An address travels as an int record; on x86_64 it needs both words.
ValueRecord AddressArg(const void* address) {
  ValueRecord r;
  r.setPointer(address, kTagInt);
  return r;
}

ValueRecord Optional(std::optional<int32_t> v) { return v ? IntArg(*v) : Omitted(); }

ValueRecord Read(const void* byteSet, int32_t kind, int32_t* positionVariable) {
  if (positionVariable)
    return ByteSetData(byteSet, kind, positionVariable);
  return ByteSetData(byteSet, kind);
}

}  // namespace

int32_t BitAnd(std::initializer_list<int32_t> values) {
  std::vector<ValueRecord> args;
  for (int32_t v : values) args.push_back(IntArg(v));
  return IntResult(Dispatch(commands::BitAnd, args));
}
int32_t BitOr(std::initializer_list<int32_t> values) {
  std::vector<ValueRecord> args;
  for (int32_t v : values) args.push_back(IntArg(v));
  return IntResult(Dispatch(commands::BitOr, args));
}
int32_t ShiftLeft(int32_t value, int32_t count) {
  return IntResult(DispatchCommand(commands::ShiftLeft, {IntArg(value), IntArg(count)}));
}
int32_t ShiftRight(int32_t value, int32_t count) {
  return IntResult(DispatchCommand(commands::ShiftRight, {IntArg(value), IntArg(count)}));
}
int32_t MakeInt(int32_t low, int32_t high) {
  return IntResult(DispatchCommand(commands::MakeInt, {IntArg(low), IntArg(high)}));
}

int32_t TextLength(const char* text) { return IntResult(DispatchCommand(commands::TextLength, {TextArg(text)})); }
Text LeftText(const char* text, int32_t count) {
  return TextResult(DispatchCommand(commands::LeftText, {TextArg(text), IntArg(count)}));
}
Text RightText(const char* text, int32_t count) {
  return TextResult(DispatchCommand(commands::RightText, {TextArg(text), IntArg(count)}));
}
Text CharFromCode(uint8_t code) {
  ValueRecord r;
  r.setInt(code, kTagByte);
  return TextResult(DispatchCommand(commands::CharFromCode, {r}));
}
int32_t CharCode(const char* text, std::optional<int32_t> position) {
  return IntResult(DispatchCommand(commands::CharCode, {TextArg(text), Optional(position)}));
}
int32_t FindText(const char* text, const char* sought, int32_t start, bool ignoreCase) {
  return IntResult(DispatchCommand(commands::FindText, {TextArg(text), TextArg(sought),
                                                        start > 0 ? IntArg(start) : Omitted(), BoolArg(ignoreCase)}));
}
int32_t FindTextReverse(const char* text, const char* sought, std::optional<int32_t> end, bool ignoreCase) {
  return IntResult(
      DispatchCommand(commands::FindTextReverse, {TextArg(text), TextArg(sought), Optional(end), BoolArg(ignoreCase)}));
}
Text SpaceText(int32_t count) { return TextResult(DispatchCommand(commands::SpaceText, {IntArg(count)})); }

Text ToText(const ValueRecord& value) { return TextResult(DispatchCommand(commands::ToText, {value})); }
Text ToText(const char* text) { return ToText(TextArg(text)); }
Text ToText(int32_t value) { return ToText(IntArg(value)); }
Text ToText(double value) { return ToText(program::DoubleArg(value)); }
Text ToText(bool value) { return ToText(BoolArg(value)); }
int32_t ToInt(const ValueRecord& value) { return IntResult(DispatchCommand(commands::ToInt, {value})); }
int32_t ToInt(const char* text) { return ToInt(TextArg(text)); }
intptr_t RoutineAddress(const void* routine) {
  ValueRecord r;
  r.setPointer(routine, kTagSubroutine);
  ValueRecord out = DispatchCommand(commands::ToInt, {r});
  if (out.tag != kTagInt) program::RaiseRuntimeError(5);
  return reinterpret_cast<intptr_t>(out.pointer());
}
uint8_t ToByte(const ValueRecord& value) {
  ValueRecord r = DispatchCommand(commands::ToByte, {value});
  if (r.tag != kTagByte) program::RaiseRuntimeError(5);
  return static_cast<uint8_t>(r.low);
}
uint8_t ToByte(const char* text) { return ToByte(TextArg(text)); }
void* ToByteSet(const ValueRecord& value) { return BytesResult(DispatchCommand(commands::ToByteSet, {value})); }
void* ToByteSet(const char* text) { return ToByteSet(TextArg(text)); }

int32_t ByteSetLength(const void* byteSet) {
  return IntResult(DispatchCommand(commands::ByteSetLength, {ByteSetArg(byteSet)}));
}
void* ZeroByteSet(int32_t count) { return BytesResult(DispatchCommand(commands::ZeroByteSet, {IntArg(count)})); }

ValueRecord ByteSetData(const void* byteSet, int32_t kind) {
  return DispatchCommand(commands::ByteSetData, {ByteSetArg(byteSet), IntArg(kind)});
}
ValueRecord ByteSetData(const void* byteSet, int32_t kind, int32_t position) {
  return DispatchCommand(commands::ByteSetData, {ByteSetArg(byteSet), IntArg(kind), IntArg(position)});
}
ValueRecord ByteSetData(const void* byteSet, int32_t kind, int32_t* positionVariable) {
  return DispatchCommand(commands::ByteSetData,
                         {ByteSetArg(byteSet), IntArg(kind), program::ByRefArg(positionVariable, kTagInt)});
}
int32_t ByteSetInt(const void* byteSet, int32_t* positionVariable) {
  return IntResult(Read(byteSet, kReadInt, positionVariable));
}
int16_t ByteSetShort(const void* byteSet, int32_t* positionVariable) {
  ValueRecord r = Read(byteSet, kReadShort, positionVariable);
  if (r.tag != kTagShort) program::RaiseRuntimeError(5);
  return static_cast<int16_t>(r.low);
}
uint8_t ByteSetByte(const void* byteSet, int32_t* positionVariable) {
  ValueRecord r = Read(byteSet, kReadByte, positionVariable);
  if (r.tag != kTagByte) program::RaiseRuntimeError(5);
  return static_cast<uint8_t>(r.low);
}
double ByteSetDouble(const void* byteSet, int32_t* positionVariable) {
  ValueRecord r = Read(byteSet, kReadDouble, positionVariable);
  if (r.tag != kTagDouble) program::RaiseRuntimeError(5);
  return r.asDouble();
}
Text ByteSetText(const void* byteSet, int32_t* positionVariable) {
  return TextResult(Read(byteSet, kReadText, positionVariable));
}

void* PointerToByteSet(const void* address, int32_t length) {
  return BytesResult(DispatchCommand(commands::PointerToByteSet, {AddressArg(address), IntArg(length)}));
}
void WriteMemory(const ValueRecord& value, void* address, std::optional<int32_t> length) {
  DispatchCommand(commands::WriteMemory, {value, AddressArg(address), Optional(length)});
}

Text GetRunDirectory() { return TextResult(DispatchCommand(commands::GetRunDirectory, {})); }
void GetCommandLineArgs(void** textArray) {
  DispatchCommand(commands::GetCommandLineArgs, {program::ByRefArg(textArray, kTagText)});
}
void* ReadFileBytes(const char* path) {
  return BytesResult(DispatchCommand(commands::ReadFileBytes, {TextArg(path)}));
}
bool WriteFileBytes(const char* path, std::initializer_list<const void*> byteSets) {
  std::vector<ValueRecord> args{TextArg(path)};
  for (const void* b : byteSets) args.push_back(ByteSetArg(b));
  return BoolResult(Dispatch(commands::WriteFileBytes, args));
}
bool MakeDirectory(const char* path) { return BoolResult(DispatchCommand(commands::MakeDirectory, {TextArg(path)})); }
bool DeleteDirectoryTree(const char* path) {
  return BoolResult(DispatchCommand(commands::DeleteDirectoryTree, {TextArg(path)}));
}
bool RunCommandLine(const char* line, bool wait, int32_t mode) {
  return BoolResult(
      DispatchCommand(commands::RunCommandLine, {TextArg(line), BoolArg(wait), mode ? IntArg(mode) : Omitted()}));
}
void Delay(int32_t milliseconds) { DispatchCommand(commands::Delay, {IntArg(milliseconds)}); }

int32_t GetWindowHandle(UnitRef unit) { return IntResult(DispatchCommand(commands::GetWindowHandle, {UnitArg(unit)})); }
int32_t ClientWidth(UnitRef unit) { return IntResult(DispatchCommand(commands::ClientWidth, {UnitArg(unit)})); }
int32_t ClientHeight(UnitRef unit) { return IntResult(DispatchCommand(commands::ClientHeight, {UnitArg(unit)})); }
void MoveUnit(UnitRef unit, std::optional<int32_t> left, std::optional<int32_t> top, std::optional<int32_t> width,
              std::optional<int32_t> height) {
  DispatchCommand(commands::MoveUnit,
                  {UnitArg(unit), Optional(left), Optional(top), Optional(width), Optional(height)});
}

}  // namespace rt::cmd

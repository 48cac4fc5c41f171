// How program code reaches the kernel: typed wrappers over the helper table
// in the program's constant block, so call sites read like plain C++.
#pragma once

#include <windows.h>

#include <cstring>
#include <initializer_list>
#include <type_traits>

#include "runtime/interface/program_image.h"
#include "runtime/interface/services.h"
#include "runtime/interface/startup.h"
#include "runtime/values/value.h"

// The checked indexed call (trampolines.cpp): the number goes in a register,
// the arguments are the slots. On i686 a callee that removes other than
// argBytes is runtime error 6.
extern "C" uint64_t KorvalinInvokeIndexed(const void* entry, int index, const void* slots, uint32_t size);

namespace rt::program {

// Every program's constant block starts with this: the helper table and the
// constants passed in place of a null text or byte set.
struct ConstantBlockPrefix {
  RuntimeHelperTable helpers;
  char emptyText[4];
  ByteSetHeader emptyByteSet;
};

inline const ConstantBlockPrefix& Constants() {
  return *static_cast<const ConstantBlockPrefix*>(CurrentProgramImage()->constantBlock);
}
inline const RuntimeHelperTable& Helpers() { return Constants().helpers; }

namespace detail {

#if defined(__i386__)
constexpr size_t kSlot = 4;
#else
constexpr size_t kSlot = 8;
#endif

template <typename T>
constexpr size_t SlotsOf() {
  static_assert(std::is_trivially_copyable_v<T>, "declared-function arguments are plain values");
#if !defined(__i386__)
  static_assert(sizeof(T) <= 8, "x86_64 passes larger values by address");
#endif
  return (sizeof(T) + kSlot - 1) / kSlot;
}

template <typename R>
R FromBits(uint64_t bits) {
  if constexpr (std::is_void_v<R>) {
    (void)bits;
  } else if constexpr (std::is_pointer_v<R>) {
    return reinterpret_cast<R>(static_cast<uintptr_t>(bits));
  } else {
    static_assert(std::is_integral_v<R> || std::is_enum_v<R>, "declared functions return integers or pointers");
    return static_cast<R>(bits);
  }
}

}  // namespace detail

// Calls a trampoline entry with its number and the given arguments.
template <typename R, typename... A>
R CallIndexed(const void* entry, int index, A... args) {
  constexpr size_t kSlots = (detail::SlotsOf<A>() + ... + 0);
  constexpr size_t kCount = kSlots < 4 ? 4 : kSlots;
  alignas(8) unsigned char slots[kCount * detail::kSlot] = {};
  [[maybe_unused]] size_t at = 0;
  ((std::memcpy(slots + at, &args, sizeof(A)), at += detail::SlotsOf<A>() * detail::kSlot), ...);
#if defined(__i386__)
  uint64_t bits = KorvalinInvokeIndexed(entry, index, slots, static_cast<uint32_t>(kSlots * detail::kSlot));
#else
  uint64_t bits = KorvalinInvokeIndexed(entry, index, slots, static_cast<uint32_t>(kSlots));
#endif
  return detail::FromBits<R>(bits);
}

template <typename R, typename... A>
R CallDeclared(int index, A... args) {
  return CallIndexed<R>(Helpers().callDeclaredFunction, index, args...);
}

template <typename R, typename... A>
R CallService(int service, A... args) {
  return CallIndexed<R>(Helpers().callService, service, args...);
}

inline void InitializeRuntime() { CallService<void>(kServiceInitializeRuntime); }
inline void SetExitRoutine(void (*routine)()) { CallService<void>(kServiceSetExitRoutine, routine); }
inline void MakeArrayWritable(size_t elementSize, void** arrayVariable) {
  CallService<void>(kServiceMakeArrayWritable, elementSize, arrayVariable);
}

[[noreturn]] inline void RaiseRuntimeError(int code) {
  Helpers().raiseRuntimeError(code);
  __builtin_unreachable();
}
[[noreturn]] inline void EndProgram(int exitCode) {
  Helpers().endProgram(exitCode);
  __builtin_unreachable();
}
inline void RunMessageLoop() { Helpers().runMessageLoop(); }
inline void LoadStartupWindow(uint32_t windowId) { Helpers().loadStartupWindow(windowId); }

inline void* Allocate(size_t bytes) { return Helpers().allocate(bytes); }
inline void* Reallocate(void* block, size_t bytes) { return Helpers().reallocate(block, bytes); }
inline void Free(void* block) { Helpers().free(block); }

inline ValueRecord DispatchCommand(RuntimeCommand command, std::initializer_list<ValueRecord> args) {
  return Helpers().dispatchCommand(command, static_cast<int>(args.size()), args.size() ? args.begin() : nullptr);
}

// Argument records. A null text or byte set goes as the block's constants.
inline ValueRecord IntArg(int32_t v) {
  ValueRecord r;
  r.setInt(v);
  return r;
}
inline ValueRecord BoolArg(bool v) {
  ValueRecord r;
  r.setBool(v);
  return r;
}
inline ValueRecord DoubleArg(double v) {
  ValueRecord r;
  r.setDouble(v);
  return r;
}
inline ValueRecord TextArg(const char* text) {
  ValueRecord r;
  r.setPointer(text ? text : Constants().emptyText, kTagText);
  return r;
}
inline ValueRecord ByteSetArg(const void* bytes) {
  ValueRecord r;
  r.setPointer(bytes ? bytes : &Constants().emptyByteSet, kTagByteSet);
  return r;
}
inline ValueRecord UnitArg(UnitRef unit) {
  ValueRecord r;
  r.low = unit.window;
  r.high = unit.unit;
  r.tag = kTagWindowRef;
  return r;
}
inline ValueRecord ByRefArg(void* variable, uint32_t tag) {
  ValueRecord r;
  r.setPointer(variable, tag | kTagByRef);
  return r;
}
inline ValueRecord Omitted() { return ValueRecord(); }

// Unit properties.
inline char* ReadUnitText(UnitRef unit, int32_t property) {
  PropertyWords w = Helpers().readUnitProperty(unit.window, unit.unit, property, -1);
  uint64_t bits = w.low | (static_cast<uint64_t>(w.high) << 32);
  return reinterpret_cast<char*>(static_cast<uintptr_t>(bits));
}
inline int32_t ReadUnitInt(UnitRef unit, int32_t property) {
  return static_cast<int32_t>(Helpers().readUnitProperty(unit.window, unit.unit, property, -1).low);
}
inline void WriteUnitText(UnitRef unit, int32_t property, const char* text) {
  uint64_t bits = reinterpret_cast<uintptr_t>(text);
  Helpers().writeUnitProperty(unit.window, unit.unit, property, -1, static_cast<uint32_t>(bits),
                              static_cast<uint32_t>(bits >> 32));
}
inline void WriteUnitInt(UnitRef unit, int32_t property, int32_t value) {
  Helpers().writeUnitProperty(unit.window, unit.unit, property, -1, static_cast<uint32_t>(value), 0);
}

// Unit property indices shared by every unit; a window's title is 8.
enum UnitProperty : int32_t {
  kPropertyLeft = 0,
  kPropertyTop = 1,
  kPropertyWidth = 2,
  kPropertyHeight = 3,
  kPropertyTag = 4,
  kPropertyVisible = 5,
  kPropertyDisabled = 6,
  kPropertyMousePointer = 7,
  kPropertyWindowTitle = 8,
};

}  // namespace rt::program

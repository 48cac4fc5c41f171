// The program's declared platform functions: bound by name at first call,
// each index separately. The table in declared_functions.def gives each
// index its library, its function, the wrapper that calls it and who calls
// it; the wrappers, the indexes and both name arrays all come from it.
#pragma once

#include <windows.h>
// windows.h first: the others build on it.
#include <commctrl.h>
#include <shlobj.h>
#include <uxtheme.h>
#include <tlhelp32.h>

#include <iterator>

#include "runtime/interface/program_calls.h"

namespace dll {

constexpr int kDeclaredFunctionCount = 153;
extern const char* const kLibraryNames[kDeclaredFunctionCount];
extern const char* const kFunctionNames[kDeclaredFunctionCount];

// On x86_64 a window procedure does not fit the 32-bit SetWindowLongA.
#if defined(__x86_64__)
inline constexpr char kSetWindowLongFunction[] = "SetWindowLongPtrA";
#else
inline constexpr char kSetWindowLongFunction[] = "SetWindowLongA";
#endif

// Each declared function's index, by its wrapper's name.
namespace index {
enum Declared : int {
#define KORVALIN_DECLARED(at, library, function, wrapper, result, parameters, users) wrapper = at,
#include "image/declared_functions.def"
#undef KORVALIN_DECLARED
};
}  // namespace index

namespace detail {

// The wrapper of one index: its parameters' types are the ones the call
// passes on.
template <int Index, typename Signature>
struct Wrapper;
template <int Index, typename Result, typename... Parameters>
struct Wrapper<Index, Result(Parameters...)> {
  static Result Call(Parameters... arguments) { return rt::program::CallDeclared<Result>(Index, arguments...); }
};

// The table in index order, every index once: the image's declaration
// table is indexed by position.
inline constexpr int kTableIndexes[] = {
#define KORVALIN_DECLARED(at, library, function, wrapper, result, parameters, users) at,
#include "image/declared_functions.def"
#undef KORVALIN_DECLARED
};
static_assert(std::size(kTableIndexes) == kDeclaredFunctionCount, "the table has one entry per declared function");
constexpr bool InIndexOrder() {
  for (int i = 0; i < kDeclaredFunctionCount; ++i)
    if (kTableIndexes[i] != i) return false;
  return true;
}
static_assert(InIndexOrder(), "each entry's index is its position in the table");

}  // namespace detail

// dll::wrapper(...) calls the function; &dll::wrapper is a plain function pointer.
#define KORVALIN_DECLARED(at, library, function, wrapper, result, parameters, users) \
  inline constexpr auto& wrapper = detail::Wrapper<at, result parameters>::Call;
#include "image/declared_functions.def"
#undef KORVALIN_DECLARED

}  // namespace dll

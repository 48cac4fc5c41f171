// The platform's script control driven by plain COM, with no Korvalin code:
// what the engine benchmarks measure it against.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string_view>

namespace korvalin::bench {

// A method call or property write on the control with one text argument.
HRESULT CallScriptControl(IDispatch* control, const wchar_t* member, WORD flags, std::wstring_view argument,
                          VARIANT* result);

}  // namespace korvalin::bench

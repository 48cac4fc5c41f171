// The twelve automation runtime commands. Arguments are typed records; a
// ComObject or Variant argument may come by value (the value's pointer) or
// by reference (the address of the variable holding it).
#pragma once

#include "runtime/values/value.h"

namespace rt::automation::commands {

// (object, class text, optional type library file text) -> bool
void CreateObject(ValueRecord* result, int count, const ValueRecord* args);
// (object, member name text, arguments...) -> nothing / Variant / double
void CallMethod(ValueRecord* result, int count, const ValueRecord* args);
void CallMethodVariant(ValueRecord* result, int count, const ValueRecord* args);
void CallMethodNumber(ValueRecord* result, int count, const ValueRecord* args);
// (object, property name text, value arguments...) -> bool: the call left code 0
void WriteProperty(ValueRecord* result, int count, const ValueRecord* args);
// (destination Variant, source Variant)
void AssignVariant(ValueRecord* result, int count, const ValueRecord* args);
// (Variant)
void ClearVariant(ValueRecord* result, int count, const ValueRecord* args);
// (Variant, optional 1-based array member index) -> text / double / bool
void VariantToText(ValueRecord* result, int count, const ValueRecord* args);
void VariantToNumber(ValueRecord* result, int count, const ValueRecord* args);
void VariantToBool(ValueRecord* result, int count, const ValueRecord* args);
// (optional object, not consulted) -> text of the calling thread's last code
void LastErrorText(ValueRecord* result, int count, const ValueRecord* args);
// (object): releases what it holds
void ReleaseObject(ValueRecord* result, int count, const ValueRecord* args);

}  // namespace rt::automation::commands

// The automation bridge: ComObject and Variant values and late-bound member
// calls through type information and IDispatch::Invoke. Nothing here shows a
// dialog or raises a runtime error; member calls leave a per-thread code.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include "automation/allocation.h"
#include "runtime/values/value.h"

namespace rt::automation {

// The heap record a ComObject value points at. When `record` is set,
// `unknown` is that record's IRecordInfo.
struct ObjectRecord {
  IUnknown* unknown;
  void* record;
};
static_assert(sizeof(ObjectRecord) == 2 * sizeof(void*));

// A Variant value points at one heap-held VARIANT that it owns.
constexpr size_t kVariantSize = sizeof(VARIANT);

enum class CallKind { ReadProperty, WriteProperty, Method };

enum ErrorCode : int32_t {
  kOk = 0,
  kObjectEmpty = -1,
  kNoDispatch = -2,
  kMemberNotFound = -3,
  kNoTypeInfo = -4,
  kTooManyArguments = -5,
  kBadArgumentType = -7,
  kResultMismatch = -8,
  kBadParamCount = -9,
  kBadVarType = -10,
  kException = -11,
  kDispMemberNotFound = -12,
  kNoNamedArgs = -13,
  kOverflow = -14,
  kParamNotFound = -15,
  kTypeMismatch = -16,
  kParamNotOptional = -17,
  kOtherFailure = -18,
};

// New runtime-heap blocks: an empty object record, an all-zero VARIANT.
ObjectRecord* NewObjectRecord();
VARIANT* NewVariant();

// Creates from a ProgID or "{CLSID}", or through a type library file when
// one is given. On failure the object keeps what it held.
bool CreateObject(ObjectRecord* object, const char* className, const char* typeLibraryFile);
void ClearObject(ObjectRecord* object);

// One member call. `args` are typed argument records (tag 0 = omitted);
// resultTag 0 asks for no result, otherwise `result` receives a value of
// that tag (its neutral value on failure). Returns and stores the code.
int32_t InvokeByName(ObjectRecord* object, const char* name, CallKind kind, uint32_t resultTag,
                     ValueRecord* result, int count, const ValueRecord* args);

// The VARTYPE a description stands for, with VT_BYREF / VT_ARRAY flags.
VARTYPE TypeOfDescription(ITypeInfo* typeInfo, const TYPEDESC* description);

// Converts a VARIANT into a new value of the runtime type `tag` (plain form)
// or into the caller's variable at `variable` (write-back form).
bool ConvertResult(const VARIANT* value, uint32_t tag, ValueRecord* result);
bool ConvertWriteBack(const VARIANT* value, uint32_t tag, void* variable);

// The calling thread's last member-call code and the text of a code (a
// constant; empty for 0 and for codes the table lacks).
int32_t LastErrorCode();
void SetLastErrorCode(int32_t code);
const char* ErrorText(int32_t code);

// Variant operations on heap-held VARIANTs.
void AssignVariant(VARIANT* destination, const VARIANT* source);
void ClearVariant(VARIANT* value);
// index <= 0 means none was given.
Text VariantToText(const VARIANT* value, int32_t index = 0);
double VariantToNumber(const VARIANT* value, int32_t index = 0);
bool VariantToBool(const VARIANT* value, int32_t index = 0);

// ANSI-code-page texts to and from UTF-16.
WideText WideFromText(const char* text);
BSTR TextToBstr(const char* text);
Text TextFromWide(const wchar_t* wide, int32_t units);
Text TextFromBstr(BSTR text);

}  // namespace rt::automation

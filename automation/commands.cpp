#include "automation/commands.h"

#include "automation/bridge.h"
#include "runtime/values/heap.h"
#include "runtime/values/value_helpers.h"

namespace rt::automation::commands {
namespace {

const ValueRecord* ArgumentAt(int count, const ValueRecord* args, int i) {
  return (args && i < count) ? &args[i] : nullptr;
}

// The slot that holds a ComObject or Variant pointer: the caller's variable
// for a by-reference argument, null for a by-value one.
template <typename T>
T** VariableOf(const ValueRecord* a, uint32_t tag) {
  if (!a || BaseTag(a->tag) != tag || !IsByRef(a->tag)) return nullptr;
  return static_cast<T**>(a->pointer());
}

template <typename T>
T* ValueOf(const ValueRecord* a, uint32_t tag) {
  if (!a || BaseTag(a->tag) != tag) return nullptr;
  if (!IsByRef(a->tag)) return static_cast<T*>(a->pointer());
  T** variable = static_cast<T**>(a->pointer());
  return variable ? *variable : nullptr;
}

ObjectRecord* ObjectOf(const ValueRecord* a) { return ValueOf<ObjectRecord>(a, kTagComObject); }
VARIANT* VariantOf(const ValueRecord* a) { return ValueOf<VARIANT>(a, kTagVariant); }

const char* TextOf(const ValueRecord* a) {
  if (!a || BaseTag(a->tag) != kTagText) return nullptr;
  if (!IsByRef(a->tag)) return static_cast<const char*>(a->pointer());
  char** variable = static_cast<char**>(a->pointer());
  return variable ? *variable : nullptr;
}

// An optional 1-based index; 0 when none was given.
int32_t IndexOf(const ValueRecord* a) {
  if (!a || a->omitted() || !IsNumericTag(a->tag)) return 0;
  const void* at = IsByRef(a->tag) ? a->pointer() : nullptr;
  if (IsByRef(a->tag) && !at) return 0;
  switch (BaseTag(a->tag)) {
    case kTagByte: return at ? *static_cast<const uint8_t*>(at) : static_cast<uint8_t>(a->low);
    case kTagShort: return at ? *static_cast<const int16_t*>(at) : static_cast<int16_t>(a->low);
    case kTagInt: return at ? *static_cast<const int32_t*>(at) : a->asInt();
    case kTagLong: return static_cast<int32_t>(at ? *static_cast<const int64_t*>(at) : a->asLong());
    case kTagFloat: return static_cast<int32_t>(at ? *static_cast<const float*>(at) : a->asFloat());
    case kTagDouble: return static_cast<int32_t>(at ? *static_cast<const double*>(at) : a->asDouble());
    default: return 0;
  }
}

// (object, name, arguments...) shared by the four member-call commands.
int32_t Invoke(CallKind kind, uint32_t resultTag, ValueRecord* result, int count, const ValueRecord* args) {
  const ValueRecord* object = ArgumentAt(count, args, 0);
  const ValueRecord* name = ArgumentAt(count, args, 1);
  int rest = count > 2 ? count - 2 : 0;
  return InvokeByName(ObjectOf(object), TextOf(name), kind, resultTag, result, rest, rest ? args + 2 : nullptr);
}

}  // namespace

void CreateObject(ValueRecord* result, int count, const ValueRecord* args) {
  const ValueRecord* object = ArgumentAt(count, args, 0);
  const ValueRecord* typeLibrary = ArgumentAt(count, args, 2);
  ObjectRecord* record = ObjectOf(object);
  ObjectRecord** variable = VariableOf<ObjectRecord>(object, kTagComObject);
  bool fresh = false;
  if (!record && variable) {
    record = NewObjectRecord();
    fresh = true;
  }
  const char* file = (typeLibrary && !typeLibrary->omitted()) ? TextOf(typeLibrary) : nullptr;
  if (typeLibrary && !typeLibrary->omitted() && !file) file = "";
  bool created = automation::CreateObject(record, TextOf(ArgumentAt(count, args, 1)), file);
  if (fresh) {
    if (created) *variable = record;
    else Free(record);
  }
  result->setBool(created);
}

void CallMethod(ValueRecord* result, int count, const ValueRecord* args) {
  Invoke(CallKind::Method, 0, nullptr, count, args);
  *result = ValueRecord();
}

void CallMethodVariant(ValueRecord* result, int count, const ValueRecord* args) {
  Invoke(CallKind::Method, kTagVariant, result, count, args);
}

void CallMethodNumber(ValueRecord* result, int count, const ValueRecord* args) {
  Invoke(CallKind::Method, kTagDouble, result, count, args);
}

void WriteProperty(ValueRecord* result, int count, const ValueRecord* args) {
  result->setBool(Invoke(CallKind::WriteProperty, 0, nullptr, count, args) == kOk);
}

void AssignVariant(ValueRecord* result, int count, const ValueRecord* args) {
  const ValueRecord* destination = ArgumentAt(count, args, 0);
  VARIANT* target = VariantOf(destination);
  VARIANT** variable = VariableOf<VARIANT>(destination, kTagVariant);
  if (!target && variable) target = *variable = NewVariant();
  automation::AssignVariant(target, VariantOf(ArgumentAt(count, args, 1)));
  *result = ValueRecord();
}

void ClearVariant(ValueRecord* result, int count, const ValueRecord* args) {
  automation::ClearVariant(VariantOf(ArgumentAt(count, args, 0)));
  *result = ValueRecord();
}

void VariantToText(ValueRecord* result, int count, const ValueRecord* args) {
  Text text = automation::VariantToText(VariantOf(ArgumentAt(count, args, 0)), IndexOf(ArgumentAt(count, args, 1)));
  result->setPointer(text, kTagText);
}

void VariantToNumber(ValueRecord* result, int count, const ValueRecord* args) {
  result->setDouble(automation::VariantToNumber(VariantOf(ArgumentAt(count, args, 0)),
                                                IndexOf(ArgumentAt(count, args, 1))));
}

void VariantToBool(ValueRecord* result, int count, const ValueRecord* args) {
  result->setBool(automation::VariantToBool(VariantOf(ArgumentAt(count, args, 0)),
                                            IndexOf(ArgumentAt(count, args, 1))));
}

void LastErrorText(ValueRecord* result, int, const ValueRecord*) {
  result->setPointer(CopyText(ErrorText(LastErrorCode())), kTagText);
}

void ReleaseObject(ValueRecord* result, int count, const ValueRecord* args) {
  ClearObject(ObjectOf(ArgumentAt(count, args, 0)));
  *result = ValueRecord();
}

}  // namespace rt::automation::commands

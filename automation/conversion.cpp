#include <cstring>

#include "automation/invoke_steps.h"
#include "runtime/values/heap.h"

namespace rt::automation {
namespace {

// The VARTYPE a runtime type converts to; VT_EMPTY for none.
VARTYPE VarTypeOfTag(uint32_t tag) {
  switch (tag) {
    case kTagComObject: return VT_UNKNOWN;
    case kTagBool: return VT_BOOL;
    case kTagDateTime: return VT_DATE;
    case kTagText: return VT_BSTR;
    case kTagByte: return VT_UI1;
    case kTagShort: return VT_I2;
    case kTagInt:
    case kTagLong: return VT_I4;
    case kTagFloat: return VT_R4;
    case kTagDouble: return VT_R8;
    default: return VT_EMPTY;
  }
}

bool IsRecord(const VARIANT* v) { return (V_VT(v) & ~VT_BYREF) == VT_RECORD; }

// The value, dereferenced and changed to the type `tag` converts to.
bool ToTemporary(const VARIANT* value, uint32_t tag, VARIANT* temporary) {
  VARTYPE vt = VarTypeOfTag(tag);
  if (vt == VT_EMPTY) return false;
  return SUCCEEDED(VariantCopyInd(temporary, const_cast<VARIANT*>(value))) &&
         SUCCEEDED(VariantChangeType(temporary, temporary, 0, vt));
}

void StoreVariant(const VARIANT* value, void* variable) {
  VARIANT*& target = *static_cast<VARIANT**>(variable);
  if (!target) target = NewVariant();
  VariantClear(target);
  VariantCopyInd(target, const_cast<VARIANT*>(value));
}

// `temporary` holds the VARTYPE of `tag`; the variable is laid out as the
// runtime keeps a variable of that type. A text or object already in it is
// replaced.
void Store(const VARIANT& temporary, uint32_t tag, void* variable) {
  switch (tag) {
    case kTagComObject: {
      ObjectRecord*& object = *static_cast<ObjectRecord**>(variable);
      IUnknown* unknown = V_UNKNOWN(&temporary);
      // Taken before the old one goes: they may be the same object.
      if (unknown) unknown->AddRef();
      if (!object) object = NewObjectRecord();
      ClearObject(object);
      object->unknown = unknown;
      break;
    }
    case kTagBool: *static_cast<int32_t*>(variable) = V_BOOL(&temporary) != 0 ? 1 : 0; break;
    case kTagDateTime: *static_cast<double*>(variable) = V_DATE(&temporary); break;
    case kTagDouble: *static_cast<double*>(variable) = V_R8(&temporary); break;
    case kTagText: {
      char*& text = *static_cast<char**>(variable);
      Text fresh = TextFromBstr(V_BSTR(&temporary));
      Free(text);
      text = fresh;
      break;
    }
    case kTagByte: *static_cast<uint8_t*>(variable) = V_UI1(&temporary); break;
    case kTagShort: *static_cast<int16_t*>(variable) = V_I2(&temporary); break;
    case kTagInt: *static_cast<int32_t*>(variable) = V_I4(&temporary); break;
    case kTagFloat: *static_cast<float*>(variable) = V_R4(&temporary); break;
    case kTagLong: *static_cast<int64_t*>(variable) = V_I4(&temporary); break;
  }
}

// The one conversion behind both forms.
bool ConvertInto(const VARIANT* value, uint32_t tag, void* variable) {
  if (!value || !variable || IsRecord(value)) return false;
  if (tag == kTagVariant) {
    StoreVariant(value, variable);
    return true;
  }
  VARIANT temporary;
  VariantInit(&temporary);
  bool ok = ToTemporary(value, tag, &temporary);
  if (ok) Store(temporary, tag, variable);
  VariantClear(&temporary);
  return ok;
}

}  // namespace

bool ConvertResult(const VARIANT* value, uint32_t tag, ValueRecord* result) {
  if (!result) return false;
  tag = BaseTag(tag);
  // A fresh variable, eight bytes wide like the record's two value words.
  alignas(8) unsigned char variable[8] = {};
  if (!ConvertInto(value, tag, variable)) return false;
  ValueRecord r;
  std::memcpy(&r.low, variable, sizeof r.low);
  std::memcpy(&r.high, variable + sizeof r.low, sizeof r.high);
  r.tag = tag;
  // A 16-bit result travels sign-extended in the low word.
  if (tag == kTagShort) {
    int16_t narrow;
    std::memcpy(&narrow, variable, sizeof narrow);
    r.setInt(narrow, tag);
  }
  *result = r;
  return true;
}

bool ConvertWriteBack(const VARIANT* value, uint32_t tag, void* variable) {
  return ConvertInto(value, BaseTag(tag), variable);
}

void NeutralResult(uint32_t tag, ValueRecord* result) {
  *result = ValueRecord();
  switch (tag) {
    case kTagVariant: result->setPointer(NewVariant(), tag); break;
    case kTagComObject: result->setPointer(NewObjectRecord(), tag); break;
    case kTagText: result->setPointer(nullptr, tag); break;
    default: result->tag = tag; break;  // zero for every number, false, date-time 0
  }
}

}  // namespace rt::automation

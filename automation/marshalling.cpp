#include <cstring>

#include "automation/invoke_steps.h"

namespace rt::automation {
namespace {

void SetMissing(VARIANT* v) {
  V_VT(v) = VT_ERROR;
  V_ERROR(v) = DISP_E_PARAMNOTFOUND;
}

// Moves the 16 bytes; the source is left empty so nothing is freed twice.
void Move(VARIANT* from, VARIANT* to) {
  std::memcpy(to, from, sizeof(VARIANT));
  VariantInit(from);
}

bool HasByRefForm(VARTYPE base) {
  return (base >= VT_I2 && base <= VT_BOOL) || base == VT_UNKNOWN || (base >= VT_I1 && base <= VT_UI4) ||
         base == VT_INT || base == VT_UINT || base == VT_HRESULT;
}

void MarshalObject(const ObjectRecord* object, VARTYPE formalBase, VARIANT* target, ArgumentSlots* slots) {
  V_VT(target) = VT_UNKNOWN;
  V_UNKNOWN(target) = nullptr;
  if (!object || !object->unknown) return;
  if (object->record) {
    V_VT(target) = VT_RECORD;
    V_RECORD(target) = object->record;
    V_RECORDINFO(target) = static_cast<IRecordInfo*>(object->unknown);
    object->unknown->AddRef();
    slots->lend(object->record);
    return;
  }
  if (formalBase == VT_UNKNOWN) {
    V_UNKNOWN(target) = object->unknown;
    object->unknown->AddRef();
    return;
  }
  if (formalBase == VT_DISPATCH || formalBase == VT_VARIANT) {
    IDispatch* dispatch = nullptr;
    if (SUCCEEDED(object->unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) &&
        dispatch) {
      V_VT(target) = VT_DISPATCH;
      V_DISPATCH(target) = dispatch;
    } else if (formalBase == VT_VARIANT) {
      // A VARIANT formal takes any interface.
      V_UNKNOWN(target) = object->unknown;
      object->unknown->AddRef();
    }
  }
}

// One typed argument into `target`; false for a type the bridge cannot send.
bool Marshal(const ValueRecord& a, VARTYPE formalBase, VARIANT* target, ArgumentSlots* slots) {
  const bool byRef = IsByRef(a.tag);
  void* at = a.pointer();
  if (byRef && !at) return false;
  switch (BaseTag(a.tag)) {
    case kTagByte:
      V_VT(target) = VT_UI1;
      V_UI1(target) = byRef ? *static_cast<uint8_t*>(at) : static_cast<uint8_t>(a.low);
      return true;
    case kTagShort:
      V_VT(target) = VT_I2;
      V_I2(target) = byRef ? *static_cast<int16_t*>(at) : static_cast<int16_t>(a.low);
      return true;
    case kTagInt:
      V_VT(target) = VT_I4;
      V_I4(target) = byRef ? *static_cast<int32_t*>(at) : a.asInt();
      return true;
    case kTagLong:
      V_VT(target) = VT_I4;
      V_I4(target) = static_cast<int32_t>(byRef ? *static_cast<int64_t*>(at) : a.asLong());
      return true;
    case kTagFloat:
      V_VT(target) = VT_R4;
      V_R4(target) = byRef ? *static_cast<float*>(at) : a.asFloat();
      return true;
    case kTagDouble:
      V_VT(target) = VT_R8;
      V_R8(target) = byRef ? *static_cast<double*>(at) : a.asDouble();
      return true;
    case kTagBool:
      V_VT(target) = VT_BOOL;
      V_BOOL(target) = (byRef ? *static_cast<int32_t*>(at) : a.asInt()) != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      return true;
    case kTagDateTime:
      V_VT(target) = VT_DATE;
      V_DATE(target) = byRef ? *static_cast<double*>(at) : a.asDouble();
      return true;
    case kTagText: {
      const char* text = byRef ? *static_cast<char**>(at) : static_cast<const char*>(at);
      V_VT(target) = VT_BSTR;
      V_BSTR(target) = TextToBstr(text);
      return true;
    }
    case kTagVariant: {
      const VARIANT* source = byRef ? *static_cast<VARIANT**>(at) : static_cast<const VARIANT*>(at);
      // No Variant at all passes as an empty one, that is, as missing.
      return !source || SUCCEEDED(VariantCopyInd(target, const_cast<VARIANT*>(source)));
    }
    case kTagComObject:
      MarshalObject(byRef ? *static_cast<ObjectRecord**>(at) : static_cast<const ObjectRecord*>(at), formalBase,
                    target, slots);
      return true;
    default:
      return false;
  }
}

// A by-reference formal: rgvarg[k] points into the marshalled shadow slot.
void PointAtShadow(VARTYPE formal, VARIANT* target, VARIANT* slot) {
  const VARTYPE base = formal & 0x0FFF;
  if (V_VT(target) == VT_ERROR) {
    Move(target, slot);
  } else if (formal & VT_ARRAY) {
    if ((V_VT(target) & VT_ARRAY) && !(V_VT(target) & VT_BYREF)) {
      V_VT(slot) = VT_BYREF | VT_ARRAY | (V_VT(target) & VT_TYPEMASK);
      V_ARRAYREF(slot) = &V_ARRAY(target);
    } else {
      Move(target, slot);
    }
  } else if (base == VT_VARIANT) {
    V_VT(slot) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(slot) = target;
  } else if (base == VT_RECORD || FAILED(VariantChangeType(target, target, 0, base)) || !HasByRefForm(base)) {
    Move(target, slot);
  } else {
    V_VT(slot) = VT_BYREF | base;
    V_BYREF(slot) = &V_UI1(target);
  }
}

}  // namespace

void ArgumentSlots::reset(int n) {
  clear();
  n_ = n;
  slots_.resize(2 * static_cast<size_t>(n));
  std::memset(slots_.data(), 0, slots_.size() * sizeof(VARIANT));
}

bool ArgumentSlots::isLent(const VARIANT& slot) const {
  if (V_VT(&slot) != VT_RECORD || !V_RECORDINFO(&slot)) return false;
  for (void* record : lent_)
    if (record == V_RECORD(&slot)) return true;
  return false;
}

void ArgumentSlots::clear() {
  for (VARIANT& slot : slots_) {
    if (isLent(slot)) {
      V_RECORDINFO(&slot)->Release();
      VariantInit(&slot);
      continue;
    }
    VariantClear(&slot);
  }
  slots_.clear();
  lent_.clear();
  n_ = 0;
}

int32_t MarshalArguments(const BoundMember& member, const ValueRecord* args, int n, ArgumentSlots* slots) {
  slots->reset(n);
  VARIANT* rgvarg = slots->rgvarg();
  VARIANT* shadow = slots->shadow();
  // The last argument goes first: rgvarg[0] carries a[n].
  for (int j = n; j >= 1; --j) {
    const int k = n - j;
    const ValueRecord& a = args[j - 1];
    if (a.omitted()) {
      SetMissing(&rgvarg[k]);
      continue;
    }
    const VARTYPE formal = TypeOfDescription(member.typeInfo, &member.formals[j - 1].tdesc);
    const bool byRefFormal = (formal & VT_BYREF) != 0;
    VARIANT* target = byRefFormal ? &shadow[k] : &rgvarg[k];
    if (!Marshal(a, formal & 0x0FFF, target, slots)) return kBadArgumentType;
    if (V_VT(target) == VT_EMPTY) {
      SetMissing(&rgvarg[k]);
      continue;
    }
    // A by-value formal keeps the marshalled value; Invoke coerces it.
    if (byRefFormal) PointAtShadow(formal, target, &rgvarg[k]);
  }
  return kOk;
}

}  // namespace rt::automation

#include <cstring>

#include "automation/bridge.h"

namespace rt::automation {
namespace {

// What a conversion reads out of a VARIANT of its target type.
struct Reading {
  Text text = nullptr;
  double number = 0.0;
  bool truth = false;
};

void Read(const VARIANT& v, VARTYPE target, Reading* out) {
  switch (target) {
    case VT_BSTR: out->text = TextFromBstr(V_BSTR(&v)); break;
    case VT_R8: out->number = V_R8(&v); break;
    case VT_BOOL: out->truth = V_BOOL(&v) != 0; break;
    default: break;
  }
}

// Conversion of a value that is not an array; false leaves the neutral value.
bool ConvertScalar(const VARIANT* v, VARTYPE target, Reading* out) {
  if (V_VT(v) == target) {
    Read(*v, target, out);
    return true;
  }
  VARIANT temporary;
  VariantInit(&temporary);
  bool ok = SUCCEEDED(VariantCopyInd(&temporary, const_cast<VARIANT*>(v))) &&
            SUCCEEDED(VariantChangeType(&temporary, &temporary, 0, target));
  if (ok) Read(temporary, target, out);
  VariantClear(&temporary);
  return ok;
}

// Element `index` (1-based, first dimension fastest) into `element`.
bool FetchElement(const VARIANT* v, int32_t index, VARIANT* element) {
  SAFEARRAY* array = (V_VT(v) & VT_BYREF) ? (V_ARRAYREF(v) ? *V_ARRAYREF(v) : nullptr) : V_ARRAY(v);
  if (!array) return false;
  // The VARIANT's type word may claim one element type while the array holds
  // another: only the array's own type says how to read an element.
  const VARTYPE elementType = V_VT(v) & VT_TYPEMASK;
  VARTYPE held = VT_EMPTY;
  if (FAILED(SafeArrayGetVartype(array, &held)) || held != elementType) return false;
  UINT dimensions = SafeArrayGetDim(array);
  if (dimensions == 0) return false;
  BridgeVector<LONG> indices(dimensions);
  int64_t remaining = static_cast<int64_t>(index) - 1;
  for (UINT d = 0; d < dimensions; ++d) {
    LONG lower = 0, upper = -1;
    if (FAILED(SafeArrayGetLBound(array, d + 1, &lower)) || FAILED(SafeArrayGetUBound(array, d + 1, &upper)))
      return false;
    int64_t extent = static_cast<int64_t>(upper) - lower + 1;
    if (extent <= 0) return false;
    indices[d] = static_cast<LONG>(lower + remaining % extent);
    remaining /= extent;
  }
  // Anything left over means the index lies beyond the last element.
  if (remaining != 0) return false;

  if (elementType == VT_VARIANT) return SUCCEEDED(SafeArrayGetElement(array, indices.data(), element));
  if (elementType == VT_DECIMAL) {
    // A DECIMAL fills the whole VARIANT, its first word included.
    if (FAILED(SafeArrayGetElement(array, indices.data(), &V_DECIMAL(element)))) return false;
    V_VT(element) = VT_DECIMAL;
    return true;
  }
  if (elementType == VT_RECORD || SafeArrayGetElemsize(array) > 8) return false;
  // The element lands in the VARIANT's data and takes the array's type.
  if (FAILED(SafeArrayGetElement(array, indices.data(), &V_UI1(element)))) return false;
  V_VT(element) = elementType;
  return true;
}

void Convert(const VARIANT* v, int32_t index, VARTYPE target, Reading* out) {
  if (!v) return;
  if (!(V_VT(v) & VT_ARRAY)) {
    ConvertScalar(v, target, out);
    return;
  }
  if (index <= 0) return;
  VARIANT element;
  VariantInit(&element);
  if (FetchElement(v, index, &element)) ConvertScalar(&element, target, out);
  VariantClear(&element);
}

}  // namespace

void AssignVariant(VARIANT* destination, const VARIANT* source) {
  if (!destination) return;
  // The destination may be fresh heap bytes: VariantCopy must not clear them.
  std::memset(destination, 0, kVariantSize);
  if (source) VariantCopy(destination, const_cast<VARIANT*>(source));
}

void ClearVariant(VARIANT* value) {
  if (!value) return;
  VariantClear(value);
  std::memset(value, 0, kVariantSize);
}

Text VariantToText(const VARIANT* value, int32_t index) {
  Reading r;
  Convert(value, index, VT_BSTR, &r);
  return r.text;
}

double VariantToNumber(const VARIANT* value, int32_t index) {
  Reading r;
  Convert(value, index, VT_R8, &r);
  return r.number;
}

bool VariantToBool(const VARIANT* value, int32_t index) {
  Reading r;
  Convert(value, index, VT_BOOL, &r);
  return r.truth;
}

}  // namespace rt::automation

#include <cstring>
#include <string>
#include <vector>

#include "automation/bridge.h"
#include "runtime/heap.h"

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

int32_t CodeOfFailure(HRESULT hr) {
  switch (hr) {
    case DISP_E_BADPARAMCOUNT: return kBadParamCount;
    case DISP_E_BADVARTYPE: return kBadVarType;
    case DISP_E_EXCEPTION: return kException;
    case DISP_E_MEMBERNOTFOUND: return kDispMemberNotFound;
    case DISP_E_NONAMEDARGS: return kNoNamedArgs;
    case DISP_E_OVERFLOW: return kOverflow;
    case DISP_E_PARAMNOTFOUND: return kParamNotFound;
    case DISP_E_TYPEMISMATCH: return kTypeMismatch;
    case DISP_E_PARAMNOTOPTIONAL: return kParamNotOptional;
    default: return kOtherFailure;
  }
}

void MarshalObject(const ObjectRecord* object, VARTYPE formalBase, VARIANT* target,
                   std::vector<void*>* lentRecords) {
  V_VT(target) = VT_UNKNOWN;
  V_UNKNOWN(target) = nullptr;
  if (!object || !object->unknown) return;
  if (object->record) {
    V_VT(target) = VT_RECORD;
    V_RECORD(target) = object->record;
    V_RECORDINFO(target) = static_cast<IRecordInfo*>(object->unknown);
    object->unknown->AddRef();
    lentRecords->push_back(object->record);
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
bool Marshal(const ValueRecord& a, VARTYPE formalBase, VARIANT* target, std::vector<void*>* lentRecords) {
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
                    target, lentRecords);
      return true;
    default:
      return false;
  }
}

// The VARTYPE a runtime type converts to; VT_EMPTY for none.
VARTYPE VarTypeOfTag(uint32_t tag) {
  switch (BaseTag(tag)) {
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

void Neutral(uint32_t tag, ValueRecord* result) {
  *result = ValueRecord();
  switch (tag) {
    case kTagVariant: result->setPointer(NewVariant(), tag); break;
    case kTagComObject: result->setPointer(NewObjectRecord(), tag); break;
    case kTagText: result->setPointer(nullptr, tag); break;
    default: result->tag = tag; break;  // zero for every number, false, date-time 0
  }
}

// Binding state that must be given back in order when the call ends.
struct Bound {
  IDispatch* dispatch = nullptr;
  ITypeInfo* typeInfo = nullptr;
  FUNCDESC* func = nullptr;
  VARDESC* var = nullptr;

  ~Bound() {
    if (typeInfo && func) typeInfo->ReleaseFuncDesc(func);
    if (typeInfo && var) typeInfo->ReleaseVarDesc(var);
    if (typeInfo) typeInfo->Release();
    if (dispatch) dispatch->Release();
  }
};

const INVOKEKIND kReadKinds[] = {INVOKE_PROPERTYGET, INVOKE_FUNC};
const INVOKEKIND kWriteKinds[] = {INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF, INVOKE_FUNC};
const INVOKEKIND kMethodKinds[] = {INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF};

// Steps up to the call itself; `slots` receives the 2n argument VARIANTs.
int32_t Call(Bound& bound, ObjectRecord* object, std::wstring& name, CallKind kind, uint32_t resultTag,
             ValueRecord* result, int count, const ValueRecord* args, std::vector<VARIANT>& slots,
             std::vector<void*>& lentRecords) {
  if (!object || !object->unknown) return kObjectEmpty;
  if (FAILED(object->unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&bound.dispatch))) ||
      !bound.dispatch) {
    bound.dispatch = nullptr;
    return kNoDispatch;
  }

  LCID lcid = GetUserDefaultLCID();
  ITypeInfo* info = nullptr;
  if (FAILED(bound.dispatch->GetTypeInfo(0, lcid, &info)) || !info) return kNoTypeInfo;
  ITypeComp* comp = nullptr;
  HRESULT hr = info->GetTypeComp(&comp);
  info->Release();
  if (FAILED(hr) || !comp) return kNoTypeInfo;

  ULONG hash = LHashValOfNameSys(SYS_WIN32, lcid, name.c_str());
  const INVOKEKIND* kinds = kMethodKinds;
  size_t kindCount = 4;
  if (kind == CallKind::ReadProperty) kinds = kReadKinds, kindCount = 2;
  if (kind == CallKind::WriteProperty) kinds = kWriteKinds, kindCount = 3;
  DESCKIND descKind = DESCKIND_NONE;
  BINDPTR binding{};
  for (size_t i = 0; i < kindCount; ++i) {
    ITypeInfo* boundInfo = nullptr;
    DESCKIND found = DESCKIND_NONE;
    BINDPTR ptr{};
    hr = comp->Bind(name.data(), hash, static_cast<WORD>(kinds[i]), &boundInfo, &found, &ptr);
    if (SUCCEEDED(hr) && found != DESCKIND_NONE) {
      bound.typeInfo = boundInfo;
      descKind = found;
      binding = ptr;
      break;
    }
    if (boundInfo) boundInfo->Release();
  }
  comp->Release();
  if (descKind == DESCKIND_NONE) return kMemberNotFound;

  DISPID dispid = DISPID_UNKNOWN;
  WORD flags = 0;
  int formalCount = 0;
  const ELEMDESC* formals = nullptr;
  switch (descKind) {
    case DESCKIND_FUNCDESC:
      bound.func = binding.lpfuncdesc;
      dispid = bound.func->memid;
      flags = static_cast<WORD>(bound.func->invkind);
      formalCount = bound.func->cParams;
      formals = bound.func->lprgelemdescParam;
      break;
    case DESCKIND_VARDESC:
    case DESCKIND_IMPLICITAPPOBJ:
      bound.var = binding.lpvardesc;
      dispid = bound.var->memid;
      if (kind == CallKind::WriteProperty) {
        formalCount = 1;
        formals = &bound.var->elemdescVar;
        VARTYPE type = TypeOfDescription(bound.typeInfo, &bound.var->elemdescVar.tdesc);
        // Compared without VT_BYREF: an interface pointer may be described
        // as a pointer to its interface.
        VARTYPE base = type & VT_TYPEMASK;
        bool reference = (type & VT_ARRAY) || base == VT_UNKNOWN || base == VT_DISPATCH;
        flags = reference ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
      } else {
        flags = DISPATCH_PROPERTYGET;
      }
      break;
    case DESCKIND_TYPECOMP:
      if (binding.lptcomp) binding.lptcomp->Release();
      return kMemberNotFound;
    default:
      return kMemberNotFound;
  }

  int n = count;
  while (n > 0 && args[n - 1].omitted()) --n;
  std::vector<ELEMDESC> extended;
  if (n > formalCount) {
    if (!(bound.func && formalCount >= 1 && bound.func->cParamsOpt == -1)) return kTooManyArguments;
    // Arguments beyond the formals belong to the variable list.
    extended.assign(formals, formals + formalCount);
    extended.resize(static_cast<size_t>(n), formals[formalCount - 1]);
    formals = extended.data();
  }

  slots.resize(2 * static_cast<size_t>(n));
  std::memset(slots.data(), 0, slots.size() * sizeof(VARIANT));
  VARIANT* rgvarg = slots.data();
  VARIANT* shadow = slots.data() + n;
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = n ? rgvarg : nullptr;
  params.cArgs = static_cast<UINT>(n);
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }

  // The last argument goes first: rgvarg[0] carries a[n].
  for (int j = n; j >= 1; --j) {
    const int k = n - j;
    const ValueRecord& a = args[j - 1];
    if (a.omitted()) {
      SetMissing(&rgvarg[k]);
      continue;
    }
    VARTYPE ft = TypeOfDescription(bound.typeInfo, &formals[j - 1].tdesc);
    const bool byRefFormal = (ft & VT_BYREF) != 0;
    const bool arrayFormal = (ft & VT_ARRAY) != 0;
    const VARTYPE base = ft & 0x0FFF;
    VARIANT* target = byRefFormal ? &shadow[k] : &rgvarg[k];
    if (!Marshal(a, base, target, &lentRecords)) return kBadArgumentType;
    if (V_VT(target) == VT_EMPTY) {
      SetMissing(&rgvarg[k]);
      continue;
    }
    if (!byRefFormal) continue;
    if (V_VT(target) == VT_ERROR) {
      Move(target, &rgvarg[k]);
    } else if (arrayFormal) {
      if ((V_VT(target) & VT_ARRAY) && !(V_VT(target) & VT_BYREF)) {
        V_VT(&rgvarg[k]) = VT_BYREF | VT_ARRAY | (V_VT(target) & VT_TYPEMASK);
        V_ARRAYREF(&rgvarg[k]) = &V_ARRAY(target);
      } else {
        Move(target, &rgvarg[k]);
      }
    } else if (base == VT_VARIANT) {
      V_VT(&rgvarg[k]) = VT_BYREF | VT_VARIANT;
      V_VARIANTREF(&rgvarg[k]) = target;
    } else if (base == VT_RECORD || FAILED(VariantChangeType(target, target, 0, base)) || !HasByRefForm(base)) {
      Move(target, &rgvarg[k]);
    } else {
      V_VT(&rgvarg[k]) = VT_BYREF | base;
      V_BYREF(&rgvarg[k]) = &V_UI1(target);
    }
  }

  VARIANT out;
  VariantInit(&out);
  UINT argumentError = static_cast<UINT>(-1);
  hr = bound.dispatch->Invoke(dispid, IID_NULL, lcid, flags, &params, &out, nullptr, &argumentError);
  int32_t code = kOk;
  if (FAILED(hr)) {
    code = CodeOfFailure(hr);
  } else {
    for (int k = 0; k < n; ++k) {
      const int j = n - k;
      const ValueRecord& a = args[j - 1];
      if ((V_VT(&rgvarg[k]) & VT_BYREF) && (formals[j - 1].paramdesc.wParamFlags & PARAMFLAG_FOUT) &&
          IsByRef(a.tag) && a.pointer())
        ConvertWriteBack(&rgvarg[k], BaseTag(a.tag), a.pointer());
    }
    if (resultTag && !ConvertResult(&out, resultTag, result)) code = kResultMismatch;
  }
  VariantClear(&out);
  return code;
}

}  // namespace

VARTYPE TypeOfDescription(ITypeInfo* typeInfo, const TYPEDESC* description) {
  // Deep enough for any real description; a cycle of aliases ends here.
  static thread_local int depth = 0;
  if (!description || depth > 32) return VT_UNKNOWN;
  struct Depth {
    Depth() { ++depth; }
    ~Depth() { --depth; }
  } guard;
  switch (description->vt) {
    case VT_PTR:
      return TypeOfDescription(typeInfo, description->lptdesc) | VT_BYREF;
    case VT_SAFEARRAY:
      return TypeOfDescription(typeInfo, description->lptdesc) | VT_ARRAY;
    case VT_CARRAY:
      return TypeOfDescription(typeInfo, description->lpadesc ? &description->lpadesc->tdescElem : nullptr) |
             VT_ARRAY;
    case VT_USERDEFINED: {
      VARTYPE type = VT_UNKNOWN;
      ITypeInfo* referenced = nullptr;
      if (typeInfo && SUCCEEDED(typeInfo->GetRefTypeInfo(description->hreftype, &referenced)) && referenced) {
        TYPEATTR* attributes = nullptr;
        if (SUCCEEDED(referenced->GetTypeAttr(&attributes)) && attributes) {
          if (attributes->typekind == TKIND_ENUM) type = VT_I4;
          else if (attributes->typekind == TKIND_DISPATCH) type = VT_DISPATCH;
          else if (attributes->typekind == TKIND_ALIAS) type = TypeOfDescription(referenced, &attributes->tdescAlias);
          referenced->ReleaseTypeAttr(attributes);
        }
        referenced->Release();
      }
      return type;
    }
    case VT_INT: return VT_I4;
    case VT_UINT: return VT_UI4;
    default: return description->vt;
  }
}

bool ConvertResult(const VARIANT* value, uint32_t tag, ValueRecord* result) {
  if (!value || !result || IsRecord(value)) return false;
  tag = BaseTag(tag);
  if (tag == kTagVariant) {
    VARIANT* copy = NewVariant();
    VariantCopyInd(copy, const_cast<VARIANT*>(value));
    result->setPointer(copy, kTagVariant);
    return true;
  }
  VARIANT temporary;
  VariantInit(&temporary);
  bool ok = ToTemporary(value, tag, &temporary);
  if (ok) {
    ValueRecord r;
    switch (tag) {
      case kTagComObject: {
        ObjectRecord* object = NewObjectRecord();
        object->unknown = V_UNKNOWN(&temporary);
        if (object->unknown) object->unknown->AddRef();
        r.setPointer(object, tag);
        break;
      }
      case kTagBool: r.setBool(V_BOOL(&temporary) != 0); break;
      case kTagDateTime: r.setDouble(V_DATE(&temporary), tag); break;
      case kTagDouble: r.setDouble(V_R8(&temporary), tag); break;
      case kTagText: r.setPointer(TextFromBstr(V_BSTR(&temporary)), tag); break;
      case kTagByte: r.setInt(V_UI1(&temporary), tag); break;
      case kTagShort: r.setInt(V_I2(&temporary), tag); break;
      case kTagInt: r.setInt(V_I4(&temporary), tag); break;
      case kTagFloat: r.setFloat(V_R4(&temporary)); break;
      case kTagLong: r.setLong(V_I4(&temporary), tag); break;
    }
    *result = r;
  }
  VariantClear(&temporary);
  return ok;
}

bool ConvertWriteBack(const VARIANT* value, uint32_t tag, void* variable) {
  if (!value || !variable || IsRecord(value)) return false;
  tag = BaseTag(tag);
  if (tag == kTagVariant) {
    VARIANT*& target = *static_cast<VARIANT**>(variable);
    if (!target) target = NewVariant();
    VariantClear(target);
    VariantCopyInd(target, const_cast<VARIANT*>(value));
    return true;
  }
  VARIANT temporary;
  VariantInit(&temporary);
  bool ok = ToTemporary(value, tag, &temporary);
  if (ok) {
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
  VariantClear(&temporary);
  return ok;
}

int32_t InvokeByName(ObjectRecord* object, const char* name, CallKind kind, uint32_t resultTag,
                     ValueRecord* result, int count, const ValueRecord* args) {
  std::wstring wideName = WideFromText(name);
  resultTag = BaseTag(resultTag);
  ValueRecord unused;
  if (!result) result = &unused;
  if (count < 0 || !args) count = 0;

  int32_t code;
  std::vector<VARIANT> slots;
  std::vector<void*> lentRecords;
  {
    Bound bound;
    code = Call(bound, object, wideName, kind, resultTag, result, count, args, slots, lentRecords);
    for (VARIANT& slot : slots) {
      // A record lent from the caller's object is not ours to clear.
      if (V_VT(&slot) == VT_RECORD && V_RECORDINFO(&slot)) {
        bool lent = false;
        for (void* r : lentRecords) lent = lent || r == V_RECORD(&slot);
        if (lent) {
          V_RECORDINFO(&slot)->Release();
          VariantInit(&slot);
          continue;
        }
      }
      VariantClear(&slot);
    }
    if (code != kOk && resultTag) Neutral(resultTag, result);
  }
  SetLastErrorCode(code);
  return code;
}

}  // namespace rt::automation

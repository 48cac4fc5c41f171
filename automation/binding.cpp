#include "automation/invoke_steps.h"

namespace rt::automation {
namespace {

const INVOKEKIND kReadKinds[] = {INVOKE_PROPERTYGET, INVOKE_FUNC};
const INVOKEKIND kWriteKinds[] = {INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF, INVOKE_FUNC};
const INVOKEKIND kMethodKinds[] = {INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF};

// The type compiler of the object's first type information.
ITypeComp* TypeCompOf(IDispatch* dispatch, LCID lcid) {
  ITypeInfo* info = nullptr;
  if (FAILED(dispatch->GetTypeInfo(0, lcid, &info)) || !info) return nullptr;
  ITypeComp* comp = nullptr;
  HRESULT hr = info->GetTypeComp(&comp);
  info->Release();
  return SUCCEEDED(hr) ? comp : nullptr;
}

// The first invoke kind of the call kind under which the name binds.
DESCKIND BindFirstKind(ITypeComp* comp, wchar_t* name, ULONG hash, CallKind kind, ITypeInfo** bound,
                       BINDPTR* binding) {
  const INVOKEKIND* kinds = kMethodKinds;
  size_t kindCount = 4;
  if (kind == CallKind::ReadProperty) kinds = kReadKinds, kindCount = 2;
  if (kind == CallKind::WriteProperty) kinds = kWriteKinds, kindCount = 3;
  for (size_t i = 0; i < kindCount; ++i) {
    ITypeInfo* boundInfo = nullptr;
    DESCKIND found = DESCKIND_NONE;
    BINDPTR ptr{};
    HRESULT hr = comp->Bind(name, hash, static_cast<WORD>(kinds[i]), &boundInfo, &found, &ptr);
    if (SUCCEEDED(hr) && found != DESCKIND_NONE) {
      *bound = boundInfo;
      *binding = ptr;
      return found;
    }
    if (boundInfo) boundInfo->Release();
  }
  return DESCKIND_NONE;
}

void TakeFunction(FUNCDESC* func, BoundMember* member) {
  member->func = func;
  member->dispid = func->memid;
  member->flags = static_cast<WORD>(func->invkind);
  member->formalCount = func->cParams;
  member->formals = func->lprgelemdescParam;
}

void TakeVariable(VARDESC* var, CallKind kind, BoundMember* member) {
  member->var = var;
  member->dispid = var->memid;
  if (kind != CallKind::WriteProperty) {
    member->flags = DISPATCH_PROPERTYGET;
    return;
  }
  member->formalCount = 1;
  member->formals = &var->elemdescVar;
  VARTYPE type = TypeOfDescription(member->typeInfo, &var->elemdescVar.tdesc);
  // Compared without VT_BYREF: an interface pointer may be described as a
  // pointer to its interface.
  VARTYPE base = type & VT_TYPEMASK;
  bool reference = (type & VT_ARRAY) || base == VT_UNKNOWN || base == VT_DISPATCH;
  member->flags = reference ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
}

}  // namespace

BoundMember::~BoundMember() {
  if (typeInfo && func) typeInfo->ReleaseFuncDesc(func);
  if (typeInfo && var) typeInfo->ReleaseVarDesc(var);
  if (typeInfo) typeInfo->Release();
  if (dispatch) dispatch->Release();
}

int32_t BindMember(ObjectRecord* object, wchar_t* name, CallKind kind, BoundMember* member) {
  if (!object || !object->unknown) return kObjectEmpty;
  if (FAILED(object->unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&member->dispatch))) ||
      !member->dispatch) {
    member->dispatch = nullptr;
    return kNoDispatch;
  }
  member->lcid = GetUserDefaultLCID();
  ITypeComp* comp = TypeCompOf(member->dispatch, member->lcid);
  if (!comp) return kNoTypeInfo;
  ULONG hash = LHashValOfNameSys(SYS_WIN32, member->lcid, name);
  BINDPTR binding{};
  DESCKIND found = BindFirstKind(comp, name, hash, kind, &member->typeInfo, &binding);
  comp->Release();

  switch (found) {
    case DESCKIND_FUNCDESC:
      TakeFunction(binding.lpfuncdesc, member);
      return kOk;
    case DESCKIND_VARDESC:
    case DESCKIND_IMPLICITAPPOBJ:
      TakeVariable(binding.lpvardesc, kind, member);
      return kOk;
    case DESCKIND_TYPECOMP:
      if (binding.lptcomp) binding.lptcomp->Release();
      return kMemberNotFound;
    default:
      return kMemberNotFound;
  }
}

bool FitArguments(BoundMember* member, int n) {
  if (n <= member->formalCount) return true;
  if (!(member->func && member->formalCount >= 1 && member->func->cParamsOpt == -1)) return false;
  // Arguments beyond the formals belong to the variable list.
  member->extended.assign(member->formals, member->formals + member->formalCount);
  member->extended.resize(static_cast<size_t>(n), member->formals[member->formalCount - 1]);
  member->formals = member->extended.data();
  return true;
}

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

}  // namespace rt::automation

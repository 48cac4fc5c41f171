#include "tests/automation/test_object.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/support/test_support.h"

namespace korvalin::test {

// {6A0B5C1E-3D1F-4C7A-9E21-5B8F0D4C7A01} and neighbours: the tests' own.
const GUID kTestLibraryId = {0x6a0b5c1e, 0x3d1f, 0x4c7a, {0x9e, 0x21, 0x5b, 0x8f, 0x0d, 0x4c, 0x7a, 0x01}};
const GUID kTestInterfaceId = {0x6a0b5c1e, 0x3d1f, 0x4c7a, {0x9e, 0x21, 0x5b, 0x8f, 0x0d, 0x4c, 0x7a, 0x02}};
const GUID kTestClassId = {0x6a0b5c1e, 0x3d1f, 0x4c7a, {0x9e, 0x21, 0x5b, 0x8f, 0x0d, 0x4c, 0x7a, 0x03}};
const GUID kTestEnumId = {0x6a0b5c1e, 0x3d1f, 0x4c7a, {0x9e, 0x21, 0x5b, 0x8f, 0x0d, 0x4c, 0x7a, 0x04}};
const GUID kTestRecordId = {0x6a0b5c1e, 0x3d1f, 0x4c7a, {0x9e, 0x21, 0x5b, 0x8f, 0x0d, 0x4c, 0x7a, 0x05}};

const wchar_t* TestClassName() { return L"KorvalinTestClass"; }

namespace {

int live = 0;

TYPEDESC Plain(VARTYPE vt) {
  TYPEDESC t{};
  t.vt = vt;
  return t;
}
TYPEDESC PointerTo(TYPEDESC* inner) {
  TYPEDESC t{};
  t.vt = VT_PTR;
  t.lptdesc = inner;
  return t;
}
TYPEDESC ArrayOf(TYPEDESC* inner) {
  TYPEDESC t{};
  t.vt = VT_SAFEARRAY;
  t.lptdesc = inner;
  return t;
}

struct Param {
  TYPEDESC type;
  USHORT flags;
  const wchar_t* name;
};

void Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) {
    std::fprintf(stderr, "type information: %s failed with 0x%08lx\n", what, static_cast<unsigned long>(hr));
    ADD_FAILURE() << what;
  }
}

void AddFunction(ICreateTypeInfo* info, UINT index, MEMBERID id, INVOKEKIND kind, const wchar_t* name,
                 TYPEDESC returns, std::vector<Param> params, SHORT optional = 0) {
  std::vector<ELEMDESC> elems(params.size());
  for (size_t i = 0; i < params.size(); ++i) {
    elems[i].tdesc = params[i].type;
    elems[i].paramdesc.wParamFlags = params[i].flags;
  }
  FUNCDESC f{};
  f.memid = id;
  f.lprgelemdescParam = elems.empty() ? nullptr : elems.data();
  f.funckind = FUNC_DISPATCH;
  f.invkind = kind;
  f.callconv = CC_STDCALL;
  f.cParams = static_cast<SHORT>(params.size());
  f.cParamsOpt = optional;
  f.elemdescFunc.tdesc = returns;
  Check(info->AddFuncDesc(index, &f), "AddFuncDesc");
  std::vector<LPOLESTR> names{const_cast<LPOLESTR>(name)};
  // A put's value parameter has no name.
  bool put = kind == INVOKE_PROPERTYPUT || kind == INVOKE_PROPERTYPUTREF;
  for (size_t i = 0; i < params.size(); ++i)
    if (!(put && i + 1 == params.size())) names.push_back(const_cast<LPOLESTR>(params[i].name));
  Check(info->SetFuncAndParamNames(index, names.data(), static_cast<UINT>(names.size())), "SetFuncAndParamNames");
}

void AddVariable(ICreateTypeInfo* info, UINT index, MEMBERID id, const wchar_t* name, VARTYPE vt,
                 VARKIND kind = VAR_DISPATCH) {
  VARDESC v{};
  v.memid = id;
  v.elemdescVar.tdesc = Plain(vt);
  v.varkind = kind;
  Check(info->AddVarDesc(index, &v), "AddVarDesc");
  Check(info->SetVarName(index, const_cast<LPOLESTR>(name)), "SetVarName");
}

TestTypes Build() {
  TestTypes types;
  types.libraryFile = MakeTempDirectory("typelib") + "\\korvalin_test.tlb";
  std::wstring file(types.libraryFile.begin(), types.libraryFile.end());

  ICreateTypeLib2* lib = nullptr;
  Check(CreateTypeLib2(SYS_WIN32, file.c_str(), &lib), "CreateTypeLib2");
  if (!lib) return types;
  lib->SetGuid(kTestLibraryId);
  lib->SetName(const_cast<LPOLESTR>(L"KorvalinTestLibrary"));
  lib->SetVersion(1, 0);
  lib->SetLcid(LOCALE_NEUTRAL);

  ITypeLib* stdole = nullptr;
  ITypeInfo* dispatchInfo = nullptr;
  if (SUCCEEDED(LoadTypeLib(L"stdole2.tlb", &stdole)) && stdole)
    stdole->GetTypeInfoOfGuid(IID_IDispatch, &dispatchInfo);

  ICreateTypeInfo* colour = nullptr;
  Check(lib->CreateTypeInfo(const_cast<LPOLESTR>(L"KorvalinColour"), TKIND_ENUM, &colour), "enum");
  colour->SetGuid(kTestEnumId);
  VARIANT one;
  V_VT(&one) = VT_I4;
  V_I4(&one) = 1;
  VARDESC red{};
  red.memid = 0x40000000;
  red.lpvarValue = &one;
  red.elemdescVar.tdesc = Plain(VT_I4);
  red.varkind = VAR_CONST;
  Check(colour->AddVarDesc(0, &red), "enum constant");
  colour->SetVarName(0, const_cast<LPOLESTR>(L"KorvalinRed"));

  ICreateTypeInfo* alias = nullptr;
  Check(lib->CreateTypeInfo(const_cast<LPOLESTR>(L"KorvalinShort"), TKIND_ALIAS, &alias), "alias");
  TYPEDESC shortType = Plain(VT_I2);
  Check(alias->SetTypeDescAlias(&shortType), "SetTypeDescAlias");

  ICreateTypeInfo* point = nullptr;
  Check(lib->CreateTypeInfo(const_cast<LPOLESTR>(L"KorvalinPoint"), TKIND_RECORD, &point), "record");
  point->SetGuid(kTestRecordId);
  AddVariable(point, 0, 0x40000000, L"x", VT_I4, VAR_PERINSTANCE);
  AddVariable(point, 1, 0x40000001, L"name", VT_BSTR, VAR_PERINSTANCE);

  ICreateTypeInfo* face = nullptr;
  Check(lib->CreateTypeInfo(const_cast<LPOLESTR>(L"IKorvalinTest"), TKIND_DISPATCH, &face), "dispinterface");
  face->SetGuid(kTestInterfaceId);
  face->SetTypeFlags(TYPEFLAG_FDISPATCHABLE);
  if (dispatchInfo) {
    HREFTYPE base = 0;
    if (SUCCEEDED(face->AddRefTypeInfo(dispatchInfo, &base))) face->AddImplType(0, base);
  }

  ICreateTypeInfo* coclass = nullptr;
  Check(lib->CreateTypeInfo(const_cast<LPOLESTR>(TestClassName()), TKIND_COCLASS, &coclass), "coclass");
  coclass->SetGuid(kTestClassId);
  coclass->SetTypeFlags(TYPEFLAG_FCANCREATE);

  auto asInfo = [](ICreateTypeInfo* c) {
    ITypeInfo* info = nullptr;
    c->QueryInterface(IID_ITypeInfo, reinterpret_cast<void**>(&info));
    return info;
  };
  ITypeInfo* colourInfo = asInfo(colour);
  ITypeInfo* aliasInfo = asInfo(alias);
  ITypeInfo* faceInfo = asInfo(face);
  ITypeInfo* classInfo = asInfo(coclass);
  Check(face->AddRefTypeInfo(colourInfo, &types.enumRef), "enum reference");
  Check(face->AddRefTypeInfo(aliasInfo, &types.aliasRef), "alias reference");
  Check(face->AddRefTypeInfo(faceInfo, &types.selfRef), "self reference");
  Check(face->AddRefTypeInfo(classInfo, &types.classRef), "class reference");
  HREFTYPE faceRef = 0;
  Check(coclass->AddRefTypeInfo(faceInfo, &faceRef), "coclass interface");
  coclass->AddImplType(0, faceRef);
  coclass->SetImplTypeFlags(0, IMPLTYPEFLAG_FDEFAULT);

  TYPEDESC bstr = Plain(VT_BSTR), i4 = Plain(VT_I4), variant = Plain(VT_VARIANT);
  const USHORT in = PARAMFLAG_FIN, out = PARAMFLAG_FOUT, opt = PARAMFLAG_FIN | PARAMFLAG_FOPT;
  UINT at = 0;
  AddFunction(face, at++, kOptional, INVOKE_FUNC, L"Optional", i4,
              {{variant, in, L"a"}, {variant, opt, L"b"}, {variant, opt, L"c"}}, 2);
  AddFunction(face, at++, kJoin, INVOKE_FUNC, L"Join", bstr,
              {{bstr, in, L"separator"}, {ArrayOf(&variant), in, L"items"}}, -1);
  AddFunction(face, at++, kFixed, INVOKE_FUNC, L"Fixed", bstr, {{bstr, in, L"a"}});
  AddFunction(face, at++, kGetText, INVOKE_FUNC, L"GetText", Plain(VT_VOID), {{PointerTo(&bstr), out, L"text"}});
  AddFunction(face, at++, kPeek, INVOKE_FUNC, L"Peek", Plain(VT_VOID), {{PointerTo(&bstr), in, L"text"}});
  AddFunction(face, at++, kBump, INVOKE_FUNC, L"Bump", Plain(VT_VOID), {{PointerTo(&i4), in | out, L"n"}});
  AddFunction(face, at++, kSwap, INVOKE_FUNC, L"Swap", Plain(VT_VOID), {{PointerTo(&variant), in | out, L"v"}});
  AddFunction(face, at++, kEcho, INVOKE_FUNC, L"Echo", variant, {{variant, in, L"v"}});
  AddFunction(face, at++, kFail, INVOKE_FUNC, L"Fail", Plain(VT_VOID), {{i4, in, L"hr"}});
  AddFunction(face, at++, kTakeDispatch, INVOKE_FUNC, L"TakeDispatch", Plain(VT_VOID),
              {{Plain(VT_DISPATCH), in, L"object"}});
  AddFunction(face, at++, kTakeUnknown, INVOKE_FUNC, L"TakeUnknown", Plain(VT_VOID),
              {{Plain(VT_UNKNOWN), in, L"object"}});
  AddFunction(face, at++, kValue, INVOKE_PROPERTYGET, L"Value", variant, {});
  AddFunction(face, at++, kValue, INVOKE_PROPERTYPUT, L"Value", Plain(VT_VOID), {{variant, in, L"value"}});
  AddFunction(face, at++, kValue, INVOKE_PROPERTYPUTREF, L"Value", Plain(VT_VOID), {{variant, in, L"value"}});
  AddFunction(face, at++, kRefOnly, INVOKE_PROPERTYGET, L"RefOnly", Plain(VT_DISPATCH), {});
  AddFunction(face, at++, kRefOnly, INVOKE_PROPERTYPUTREF, L"RefOnly", Plain(VT_VOID),
              {{Plain(VT_DISPATCH), in, L"value"}});
  TYPEDESC longArray = ArrayOf(&i4);
  AddFunction(face, at++, kGrow, INVOKE_FUNC, L"Grow", Plain(VT_VOID), {{PointerTo(&longArray), in | out, L"a"}});
  AddFunction(face, at++, kNothing, INVOKE_FUNC, L"Nothing", variant, {});
  AddFunction(face, at++, kSelf, INVOKE_FUNC, L"Self", variant, {});
  AddVariable(face, 0, kTarget, L"Target", VT_DISPATCH);
  AddVariable(face, 1, kCount, L"Count", VT_I4);

  Check(colour->LayOut(), "enum LayOut");
  Check(alias->LayOut(), "alias LayOut");
  Check(face->LayOut(), "dispinterface LayOut");
  Check(coclass->LayOut(), "coclass LayOut");
  Check(point->LayOut(), "record LayOut");
  Check(lib->SaveAllChanges(), "SaveAllChanges");

  types.dispatch = faceInfo;  // kept for the life of the process
  ITypeInfo* pointInfo = asInfo(point);
  Check(GetRecordInfoFromTypeInfo(pointInfo, &types.point), "GetRecordInfoFromTypeInfo");
  VARDESC* nameField = nullptr;
  if (SUCCEEDED(pointInfo->GetVarDesc(1, &nameField))) {
    types.pointNameOffset = nameField->oInst;
    pointInfo->ReleaseVarDesc(nameField);
  }
  pointInfo->Release();
  point->Release();
  colourInfo->Release();
  aliasInfo->Release();
  classInfo->Release();
  colour->Release();
  alias->Release();
  face->Release();
  coclass->Release();
  lib->Release();
  if (dispatchInfo) dispatchInfo->Release();
  if (stdole) stdole->Release();
  return types;
}

std::wstring TextOfSlot(const VARIANT* slot) {
  VARTYPE base = V_VT(slot) & VT_TYPEMASK;
  if (base == VT_DISPATCH || base == VT_UNKNOWN || base == VT_ERROR || (V_VT(slot) & VT_ARRAY)) return L"";
  VARIANT copy;
  VariantInit(&copy);
  std::wstring text;
  if (SUCCEEDED(VariantCopyInd(&copy, const_cast<VARIANT*>(slot))) &&
      SUCCEEDED(VariantChangeType(&copy, &copy, 0, VT_BSTR)))
    text.assign(V_BSTR(&copy), SysStringLen(V_BSTR(&copy)));
  VariantClear(&copy);
  return text;
}

}  // namespace

const TestTypes& Types() {
  static const TestTypes types = Build();
  return types;
}

std::string GuidText(const GUID& guid) {
  wchar_t wide[64] = {};
  StringFromGUID2(guid, wide, 64);
  return std::string(wide, wide + wcslen(wide));
}

TestObject::TestObject(Options options) : options_(options) { ++live; }
TestObject::~TestObject() { --live; }
int TestObject::Live() { return live; }

HRESULT TestObject::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (riid == IID_IUnknown) *out = static_cast<IDispatch*>(this);
  else if (riid == IID_IDispatch && !options_.noDispatch) *out = static_cast<IDispatch*>(this);
  else if (riid == IID_IRunnableObject && options_.runnable) *out = static_cast<IRunnableObject*>(this);
  if (!*out) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG TestObject::AddRef() { return ++refs_; }

ULONG TestObject::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT TestObject::GetTypeInfoCount(UINT* count) {
  *count = options_.noTypeInfo ? 0 : 1;
  return S_OK;
}

HRESULT TestObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  *info = nullptr;
  if (options_.noTypeInfo || index != 0 || !Types().dispatch) return TYPE_E_ELEMENTNOTFOUND;
  *info = Types().dispatch;
  (*info)->AddRef();
  return S_OK;
}

HRESULT TestObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  return DispGetIDsOfNames(Types().dispatch, names, count, ids);
}

HRESULT TestObject::Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO* excepInfo, UINT* argError) {
  int calls = last_.calls + 1;
  last_ = InvokeRecord();
  last_.calls = calls;
  last_.member = member;
  last_.flags = flags;
  last_.excepInfoGiven = excepInfo != nullptr;
  last_.argErrorOnEntry = argError ? *argError : 0;
  if (params) {
    last_.namedCount = params->cNamedArgs;
    if (params->cNamedArgs && params->rgdispidNamedArgs) last_.firstNamed = params->rgdispidNamedArgs[0];
    for (UINT i = 0; i < params->cArgs; ++i) {
      const VARIANT* slot = &params->rgvarg[i];
      Received r;
      r.vt = V_VT(slot);
      if (V_VT(slot) == VT_ERROR) r.scode = V_ERROR(slot);
      if (V_VT(slot) & VT_BYREF) r.pointer = V_BYREF(slot);
      else if (V_VT(slot) == VT_DISPATCH || V_VT(slot) == VT_UNKNOWN) r.pointer = V_UNKNOWN(slot);
      r.text = TextOfSlot(slot);
      last_.args.push_back(r);
    }
  }
  return Perform(member, flags, params, result);
}

HRESULT TestObject::Perform(DISPID member, WORD flags, DISPPARAMS* params, VARIANT* result) {
  VARIANT scratch;
  VariantInit(&scratch);
  if (!result) result = &scratch;
  UINT n = params ? params->cArgs : 0;
  VARIANT* argv = params ? params->rgvarg : nullptr;
  HRESULT hr = S_OK;
  switch (member) {
    case kOptional:
      V_VT(result) = VT_I4;
      V_I4(result) = static_cast<LONG>(n);
      break;
    case kJoin: {
      VARIANT separator;
      VariantInit(&separator);
      UINT error = 0;
      hr = DispGetParam(params, 0, VT_BSTR, &separator, &error);
      if (FAILED(hr)) break;
      std::wstring joined;
      for (UINT i = n - 1; i-- > 0;) {
        if (!joined.empty()) joined += V_BSTR(&separator);
        joined += TextOfSlot(&argv[i]);
      }
      VariantClear(&separator);
      V_VT(result) = VT_BSTR;
      V_BSTR(result) = SysAllocStringLen(joined.data(), static_cast<UINT>(joined.size()));
      break;
    }
    case kFixed: {
      UINT error = 0;
      hr = DispGetParam(params, 0, VT_BSTR, result, &error);
      break;
    }
    case kGetText:
    case kPeek:
      if (n != 1 || V_VT(&argv[0]) != (VT_BYREF | VT_BSTR)) return DISP_E_TYPEMISMATCH;
      SysFreeString(*V_BSTRREF(&argv[0]));
      *V_BSTRREF(&argv[0]) = SysAllocString(member == kGetText ? L"写回" : L"peeked");
      break;
    case kBump:
      if (n != 1 || V_VT(&argv[0]) != (VT_BYREF | VT_I4)) return DISP_E_TYPEMISMATCH;
      ++*V_I4REF(&argv[0]);
      break;
    case kSwap:
      if (n != 1 || V_VT(&argv[0]) != (VT_BYREF | VT_VARIANT)) return DISP_E_TYPEMISMATCH;
      VariantClear(V_VARIANTREF(&argv[0]));
      V_VT(V_VARIANTREF(&argv[0])) = VT_BSTR;
      V_BSTR(V_VARIANTREF(&argv[0])) = SysAllocString(L"123");
      break;
    case kEcho:
      if (n != 1) return DISP_E_BADPARAMCOUNT;
      hr = VariantCopyInd(result, &argv[0]);
      break;
    case kFail: {
      VARIANT code;
      VariantInit(&code);
      UINT error = 0;
      hr = DispGetParam(params, 0, VT_I4, &code, &error);
      if (SUCCEEDED(hr)) hr = static_cast<HRESULT>(V_I4(&code));
      break;
    }
    case kTakeDispatch:
    case kTakeUnknown:
      taken_ = n == 1 ? V_UNKNOWN(&argv[0]) : nullptr;
      break;
    case kValue:
    case kRefOnly:
    case kTarget:
      if (flags & DISPATCH_PROPERTYGET) {
        V_VT(result) = VT_I4;
        V_I4(result) = 7;
      } else {
        taken_ = n == 1 ? V_UNKNOWN(&argv[0]) : nullptr;
      }
      break;
    case kCount:
      if (flags & DISPATCH_PROPERTYGET) {
        V_VT(result) = VT_I4;
        V_I4(result) = count_;
      } else {
        if (n != 1) return DISP_E_BADPARAMCOUNT;
        VARIANT value;
        VariantInit(&value);
        hr = VariantChangeType(&value, &argv[0], 0, VT_I4);
        if (SUCCEEDED(hr)) count_ = V_I4(&value);
      }
      break;
    case kGrow: {
      if (n != 1 || V_VT(&argv[0]) != (VT_BYREF | VT_ARRAY | VT_I4)) return DISP_E_TYPEMISMATCH;
      SAFEARRAY* array = *V_ARRAYREF(&argv[0]);
      LONG first = 0;
      SafeArrayGetLBound(array, 1, &first);
      LONG value = 0;
      SafeArrayGetElement(array, &first, &value);
      value += 100;
      SafeArrayPutElement(array, &first, &value);
      break;
    }
    case kNothing:
      break;
    case kSelf:
      V_VT(result) = VT_DISPATCH;
      V_DISPATCH(result) = this;
      AddRef();
      break;
    default:
      hr = DISP_E_MEMBERNOTFOUND;
  }
  VariantClear(&scratch);
  return hr;
}

HRESULT TestObject::GetRunningClass(CLSID* clsid) {
  *clsid = kTestClassId;
  return S_OK;
}
HRESULT TestObject::Run(LPBINDCTX) { return options_.runFails ? E_FAIL : S_OK; }
BOOL TestObject::IsRunning() { return !options_.runFails; }
HRESULT TestObject::LockRunning(BOOL, BOOL) { return S_OK; }
HRESULT TestObject::SetContainedObject(BOOL) { return S_OK; }

HRESULT TestFactory::QueryInterface(REFIID riid, void** out) {
  if (riid == IID_IUnknown || riid == IID_IClassFactory) {
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

HRESULT TestFactory::CreateInstance(IUnknown* outer, REFIID riid, void** out) {
  *out = nullptr;
  ++createCalls;
  if (outer) return CLASS_E_NOAGGREGATION;
  if (failAlwaysWith != S_OK) return failAlwaysWith;
  if (createCalls == 1 && failFirstWith != S_OK) return failFirstWith;
  auto* made = new TestObject(options);
  HRESULT hr = made->QueryInterface(riid, out);
  lastMade = made;
  made->Release();
  return hr;
}

FactoryRegistration::FactoryRegistration(TestFactory* factory) {
  ok_ = SUCCEEDED(CoRegisterClassObject(kTestClassId, factory, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                        REGCLS_MULTIPLEUSE, &cookie_));
}

FactoryRegistration::~FactoryRegistration() {
  if (ok_) CoRevokeClassObject(cookie_);
}

}  // namespace korvalin::test

#include "automation/invoke_steps.h"

namespace rt::automation {
namespace {

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

// Trailing omitted arguments are not sent at all.
int CountArguments(int count, const ValueRecord* args) {
  int n = count;
  while (n > 0 && args[n - 1].omitted()) --n;
  return n;
}

// IDispatch::Invoke with the marshalled slots, then write-back and result.
int32_t Perform(const BoundMember& member, ArgumentSlots* slots, const ValueRecord* args, uint32_t resultTag,
                ValueRecord* result) {
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = slots->rgvarg();
  params.cArgs = static_cast<UINT>(slots->count());
  if (member.flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  VARIANT out;
  VariantInit(&out);
  UINT argumentError = static_cast<UINT>(-1);
  HRESULT hr = member.dispatch->Invoke(member.dispid, IID_NULL, member.lcid, member.flags, &params, &out, nullptr,
                                       &argumentError);
  int32_t code = kOk;
  if (FAILED(hr)) {
    code = CodeOfFailure(hr);
  } else {
    WriteBackArguments(member, args, slots);
    if (resultTag && !ConvertResult(&out, resultTag, result)) code = kResultMismatch;
  }
  VariantClear(&out);
  return code;
}

int32_t Call(BoundMember* member, ArgumentSlots* slots, ObjectRecord* object, wchar_t* name, CallKind kind,
             uint32_t resultTag, ValueRecord* result, int count, const ValueRecord* args) {
  int32_t code = BindMember(object, name, kind, member);
  if (code != kOk) return code;
  const int n = CountArguments(count, args);
  if (!FitArguments(member, n)) return kTooManyArguments;
  code = MarshalArguments(*member, args, n, slots);
  if (code != kOk) return code;
  return Perform(*member, slots, args, resultTag, result);
}

}  // namespace

int32_t InvokeByName(ObjectRecord* object, const char* name, CallKind kind, uint32_t resultTag,
                     ValueRecord* result, int count, const ValueRecord* args) {
  WideText wideName = WideFromText(name);
  resultTag = BaseTag(resultTag);
  ValueRecord unused;
  if (!result) result = &unused;
  if (count < 0 || !args) count = 0;

  int32_t code;
  {
    // Declared in this order so that the slots are cleared before the bound
    // member gives back its description, type information and IDispatch.
    BoundMember member;
    ArgumentSlots slots;
    code = Call(&member, &slots, object, wideName.data(), kind, resultTag, result, count, args);
    slots.clear();
    if (code != kOk && resultTag) NeutralResult(resultTag, result);
  }
  SetLastErrorCode(code);
  return code;
}

}  // namespace rt::automation

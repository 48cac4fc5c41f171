#include "rules/script_object.h"

#include <dispex.h>

#include <string>

#include "image/declared_functions.h"

namespace korvalin {
namespace {

// The ASCII name as a BSTR, owned by the Variant; VT_EMPTY when allocation
// fails.
rt::automation::Variant NameVariant(const char* name) {
  std::wstring wide;
  for (const char* at = name; *at; ++at) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*at)));
  rt::automation::Variant v;
  v.clear();
  BSTR string = dll::SysAllocStringByteLen(reinterpret_cast<LPCSTR>(wide.data()),
                                           static_cast<UINT>(wide.size() * sizeof(wchar_t)));
  if (string) {
    V_VT(v.get()) = VT_BSTR;
    V_BSTR(v.get()) = string;
  }
  return v;
}

HRESULT ReadThroughDispatchEx(IDispatchEx* object, BSTR name, VARIANT* out) {
  DISPPARAMS none{};
  DISPID id = DISPID_UNKNOWN;
  // JScript's plain GetIDsOfNames may match any case; the script does not.
  HRESULT hr = object->GetDispID(name, fdexNameCaseSensitive, &id);
  if (SUCCEEDED(hr)) hr = object->InvokeEx(id, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, out, nullptr, nullptr);
  return hr;
}

HRESULT ReadThroughDispatch(IDispatch* object, BSTR name, VARIANT* out) {
  DISPPARAMS none{};
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
  if (SUCCEEDED(hr))
    hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, out, nullptr, nullptr);
  return hr;
}

}  // namespace

rt::automation::Variant ScriptObject::member(const char* name) const {
  rt::automation::Variant result;
  result.clear();
  const VARIANT* held = value_.get();
  if (!name || !held || V_VT(held) != VT_DISPATCH || !V_DISPATCH(held)) return result;
  rt::automation::Variant wideName = NameVariant(name);
  if (V_VT(wideName.get()) != VT_BSTR) return result;

  IDispatch* object = V_DISPATCH(held);
  IDispatchEx* extended = nullptr;
  HRESULT hr;
  if (SUCCEEDED(object->QueryInterface(__uuidof(IDispatchEx), reinterpret_cast<void**>(&extended))) && extended) {
    hr = ReadThroughDispatchEx(extended, V_BSTR(wideName.get()), result.get());
    extended->Release();
  } else {
    hr = ReadThroughDispatch(object, V_BSTR(wideName.get()), result.get());
  }
  // A failed read leaves nothing of ours in the result; what a callee may
  // have half-written is not trusted to be clearable.
  if (FAILED(hr)) V_VT(result.get()) = VT_EMPTY;
  return result;
}

}  // namespace korvalin

#include "bench/script_control.h"

#include <oleauto.h>

namespace korvalin::bench {

HRESULT CallScriptControl(IDispatch* control, const wchar_t* member, WORD flags, std::wstring_view argument,
                          VARIANT* result) {
  DISPID id = 0;
  auto* name = const_cast<LPOLESTR>(member);
  HRESULT hr = control->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  VARIANT text;
  VariantInit(&text);
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocStringLen(argument.data(), static_cast<UINT>(argument.size()));
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS parameters = {&text, nullptr, 1, 0};
  if (flags == DISPATCH_PROPERTYPUT) {
    parameters.rgdispidNamedArgs = &put;
    parameters.cNamedArgs = 1;
  }
  hr = control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result, nullptr, nullptr);
  VariantClear(&text);
  return hr;
}

}  // namespace korvalin::bench

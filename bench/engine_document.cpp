// What the platform's script control keeps of a long rules document: bound
// as LoadRuleSet binds it, each rule's five fields read as members of the
// script objects, the control released. Plain COM and no Korvalin code, in a
// process of its own, so that no earlier work's free heap hides the figure.
#include <windows.h>

#include <dispex.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

#include "bench/bench_support.h"
#include "bench/benchmarks.h"
#include "bench/script_control.h"

namespace korvalin::bench {
namespace {

constexpr int kRules = 10000;

class Bstr {
 public:
  explicit Bstr(const std::wstring& text) : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return value_; }

 private:
  BSTR value_;
};

// object[name] as the script has it; false when the object lacks it.
bool ReadMember(IDispatch* object, const std::wstring& name, VARIANT* value) {
  IDispatchEx* extended = nullptr;
  if (FAILED(object->QueryInterface(__uuidof(IDispatchEx), reinterpret_cast<void**>(&extended)))) return false;
  Bstr wide(name);
  DISPID id = DISPID_UNKNOWN;
  DISPPARAMS none{};
  HRESULT hr = extended->GetDispID(wide.get(), fdexNameCaseSensitive, &id);
  if (SUCCEEDED(hr)) hr = extended->InvokeEx(id, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value, nullptr, nullptr);
  extended->Release();
  return SUCCEEDED(hr);
}

// The rules' fields read from the array; the number of rules whose title came out.
int ReadRules(IDispatch* array) {
  int titled = 0;
  for (int i = 0; i < kRules; ++i) {
    VARIANT rule;
    VariantInit(&rule);
    if (ReadMember(array, std::to_wstring(i), &rule) && rule.vt == VT_DISPATCH) {
      for (const wchar_t* field : {L"title", L"name", L"root", L"path", L"moveFiles"}) {
        VARIANT value;
        VariantInit(&value);
        if (ReadMember(rule.pdispVal, field, &value) && field[0] == L't' && value.vt == VT_BSTR) ++titled;
        VariantClear(&value);
      }
    }
    VariantClear(&rule);
  }
  return titled;
}

// "Qoda=" and the benchmark's rules document, as wide text.
bool DocumentExpression(std::wstring& expression) {
  char directory[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, directory);
  const std::string path = std::string(directory) + "korvalin_engine_document.json";
  if (!WriteRulesFile(path, kRules)) return false;
  std::string bytes;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    char block[65536];
    for (size_t n; (n = std::fread(block, 1, sizeof block, file)) > 0;) bytes.append(block, n);
    std::fclose(file);
  }
  DeleteFileA(path.c_str());
  const int units = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (units <= 0) return false;
  expression.assign(L"Qoda=");
  expression.resize(5 + static_cast<size_t>(units));
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), expression.data() + 5, units);
  return true;
}

}  // namespace

int RunEngineDocumentBenchmark() {
  std::wstring expression;
  if (FAILED(CoInitialize(nullptr)) || !DocumentExpression(expression)) return 1;
  CLSID clsid;
  IDispatch* control = nullptr;
  if (FAILED(CLSIDFromProgID(L"MSScriptControl.ScriptControl", &clsid)) ||
      FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&control))))
    return 1;
  const double before = PrivateBytes(GetCurrentProcess());
  VARIANT result, array;
  VariantInit(&result);
  VariantInit(&array);
  bool right = SUCCEEDED(CallScriptControl(control, L"Language", DISPATCH_PROPERTYPUT, L"JScript", nullptr)) &&
               SUCCEEDED(CallScriptControl(control, L"Eval", DISPATCH_METHOD, expression, &result)) &&
               SUCCEEDED(CallScriptControl(control, L"Eval", DISPATCH_METHOD, L"Qoda.regPath", &array)) &&
               array.vt == VT_DISPATCH && ReadRules(array.pdispVal) == kRules;
  VariantClear(&result);
  VariantClear(&array);
  const double bound = PrivateBytes(GetCurrentProcess());
  control->Release();
  const double released = PrivateBytes(GetCurrentProcess());
  CoUninitialize();
  if (!right) {
    std::fprintf(stderr, "the document did not bind, or its rules did not read back\n");
    return 1;
  }
  char note[128];
  std::snprintf(note, sizeof note, "plain COM, no Korvalin code; %.2f KiB a rule before the release",
                (bound - before) / 1024 / kRules);
  Report("engine", "script control alone: a 10,000-rule document bound, its fields read, the control released: "
                   "private memory kept per rule",
         (released - before) / 1024 / kRules, "KiB", note);
  return 0;
}

}  // namespace korvalin::bench

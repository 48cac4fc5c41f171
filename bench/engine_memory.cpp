// What the platform's script control keeps of each evaluation, measured
// with plain COM calls and no Korvalin code: the share of a long rule
// load's memory that Korvalin cannot give back.
#include <windows.h>

#include <oleauto.h>

#include <cstdio>

#include "bench/bench_support.h"
#include "bench/benchmarks.h"
#include "bench/script_control.h"

namespace korvalin::bench {
namespace {

struct Round {
  double evaluated = 0;  // KiB the evaluations added
  double released = 0;   // KiB the release gave back (negative when it did)
};

// Creates the control, evaluates "1" ten thousand times and releases it.
bool EvaluationRound(const CLSID& clsid, int evaluations, Round& round) {
  IDispatch* control = nullptr;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&control))))
    return false;
  bool right = SUCCEEDED(CallScriptControl(control, L"Language", DISPATCH_PROPERTYPUT, L"JScript", nullptr));
  const double before = PrivateBytes(GetCurrentProcess());
  for (int i = 0; i < evaluations && right; ++i) {
    VARIANT result;
    VariantInit(&result);
    right = SUCCEEDED(CallScriptControl(control, L"Eval", DISPATCH_METHOD, L"1", &result)) && result.vt == VT_I4;
    VariantClear(&result);
  }
  const double evaluated = PrivateBytes(GetCurrentProcess());
  control->Release();
  round.evaluated = (evaluated - before) / 1024;
  round.released = (PrivateBytes(GetCurrentProcess()) - evaluated) / 1024;
  return right;
}

}  // namespace

// Two rounds one after the other: memory the first control freed would
// serve the second, so a second round that grows as much again shows the
// memory is lost, not merely kept by the heap.
bool EngineMemoryPerEvaluation() {
  constexpr int kEvaluations = 10000;
  // The runtime has initialized COM on this thread already; this only adds a
  // reference, given back at the end.
  if (FAILED(CoInitialize(nullptr))) return false;
  struct Uninitialize {
    ~Uninitialize() { CoUninitialize(); }
  } uninitialize;
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(L"MSScriptControl.ScriptControl", &clsid))) return false;
  Round first, second;
  if (!EvaluationRound(clsid, kEvaluations, first) || !EvaluationRound(clsid, kEvaluations, second)) return false;
  char note[96];
  std::snprintf(note, sizeof note, "plain COM, no Korvalin code; %+.0f KiB when the control is released",
                first.released);
  Report("rules", "script control alone: private memory kept per Eval(\"1\")", first.evaluated / kEvaluations, "KiB",
         note);
  std::snprintf(note, sizeof note, "after the first control was released; %+.0f KiB when this one is", second.released);
  Report("rules", "script control alone, a second control: private memory per Eval(\"1\")",
         second.evaluated / kEvaluations, "KiB", note);
  return true;
}

}  // namespace korvalin::bench

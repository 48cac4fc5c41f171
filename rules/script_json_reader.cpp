#include "rules/script_json_reader.h"

#include "encoding/wide_text.h"
#include "image/declared_functions.h"
#include "rules/document_bytes.h"
#include "rules/priming_script.h"
#include "runtime/interface/owned_value.h"
#include "runtime/interface/program_calls.h"
#include "runtime/values/value_helpers.h"

namespace korvalin {
namespace {

using rt::program::BoolArg;
using rt::program::IntArg;
using rt::program::TextArg;

using rt::OwnedBlock;
using rt::OwnedText;

constexpr char kVariable[] = "Qoda";

// The bridge's code of the call just made, through its text.
bool LastCallSucceeded() {
  OwnedText error(rt::automation::ComObject::lastErrorText());
  return !error || error.get()[0] == '\0';
}

// A VT_BSTR Variant holding the wide text's bytes as they are, its final zero
// unit counted in the string's length. Null string when allocation fails.
rt::automation::Variant StringVariant(const void* wideText) {
  rt::automation::Variant v;
  v.clear();
  BSTR string = dll::SysAllocStringByteLen(reinterpret_cast<LPCSTR>(rt::ByteSetData(wideText)),
                                           static_cast<UINT>(rt::ByteSetLength(wideText)));
  if (string) {
    V_VT(v.get()) = VT_BSTR;
    V_BSTR(v.get()) = string;
  }
  return v;
}

// The expression evaluated when binding: Qoda= and the document.
OwnedBlock BindExpression(const void* byteSet) {
  OwnedBlock document(DecodeDocumentBytes(byteSet));
  OwnedText prefix(rt::ConcatTexts({kVariable, "="}));
  OwnedBlock widePrefix(ToWideText(prefix.get(), 0, false, 0));
  return OwnedBlock(JoinWideTexts({widePrefix.get(), document.get()}));
}

}  // namespace

bool ScriptJsonReader::bind(const void* byteSet) {
  if (rt::ByteSetLength(byteSet) == 0) return false;
  engine_.clear();
  if (!engine_.create("MSScriptControl.ScriptControl")) return false;
  engine_.writeProperty("Language", TextArg("JavaScript"));
  // Windows stops a script that runs longer, without asking anyone; an
  // engine that ignores these is bounded by the caller's thread instead.
  engine_.writeProperty("AllowUI", BoolArg(false));
  engine_.writeProperty("Timeout", IntArg(kScriptTimeoutMs));
  // Honoured by Windows; the lock below covers engines that ignore it.
  engine_.writeProperty("UseSafeSubset", BoolArg(true));
  engine_.callMethod("AddCode", TextArg(kEngineLockScript));
  // An engine that could not be locked must not see the document.
  bool ok = LastCallSucceeded();
  if (ok) {
    engine_.callMethod("AddCode", TextArg(kPrimingScript));
    OwnedBlock expression(BindExpression(byteSet));
    rt::automation::Variant assignment = StringVariant(expression.get());
    // Without a string nothing was evaluated, which is no success.
    ok = V_VT(assignment.get()) == VT_BSTR;
    if (ok) {
      engine_.callMethod("Eval", assignment.ref());
      ok = LastCallSucceeded();
    }
  }
  if (!ok) engine_.clear();
  return ok;
}

int32_t ScriptJsonReader::length(const char* path) {
  bool hasPath = path && path[0] != '\0';
  rt::Text expression = rt::ConcatTexts({kVariable, hasPath ? "." : "", hasPath ? path : "", ".length"});
  double count = engine_.callMethodNumber("Eval", rt::automation::TextRef(expression));
  rt::program::Free(expression);
  // NaN and values beyond 32 bits would not truncate to a meaningful count.
  if (!(count > -2147483649.0 && count < 2147483648.0)) return 0;
  return static_cast<int32_t>(rt::FloatToInteger(count));
}

rt::automation::Variant ScriptJsonReader::value(const char* path) {
  rt::automation::Variant v;
  if (!path || path[0] == '\0') return v;
  const char* separator = path[0] == '[' ? "" : ".";
  OwnedText expression(rt::ConcatTexts({kVariable, separator, path}));
  return engine_.callMethodVariant("Eval", TextArg(expression.get()));
}

rt::Text ScriptJsonReader::text(const char* path) { return value(path).toText(); }

}  // namespace korvalin

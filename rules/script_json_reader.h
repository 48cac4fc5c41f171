// Reads a JSON document by evaluating it in the script control: the document
// becomes the script variable Qoda, and each read evaluates a member
// expression rooted at it.
#pragma once

#include <cstdint>

#include "automation/com_calls.h"
#include "runtime/values/value.h"

namespace korvalin {

// How long the engine may run one script before it is stopped.
constexpr int32_t kScriptTimeoutMs = 8000;

class ScriptJsonReader {
 public:
  // Evaluates Qoda=<document> in a new, locked and primed engine. False for
  // no bytes, no engine, or a document that does not evaluate; a failed bind
  // leaves the reader without an engine.
  bool bind(const void* byteSet);

  // Qoda.<path>.length truncated toward zero; 0 when it does not evaluate.
  int32_t length(const char* path);
  // Qoda<path>, with a dot unless the path starts with "["; the integer 0
  // for an empty path and VT_EMPTY when it does not evaluate.
  rt::automation::Variant value(const char* path);
  // value(path) as text; the caller frees it.
  rt::Text text(const char* path);

  // Releases the engine.
  void clear() { engine_.clear(); }
  bool bound() const { return !engine_.empty(); }
  rt::automation::ComObject& engine() { return engine_; }

 private:
  rt::automation::ComObject engine_;
};

}  // namespace korvalin

// Script texts added to the script engine before a document is bound: ASCII
// with CR LF line ends.
#pragma once

namespace korvalin {

// Takes object creation away from the engine.
extern const char kEngineLockScript[];

// Defines JSON.parse, JSON.stringify and the toJSON methods where missing.
extern const char kPrimingScript[];

}  // namespace korvalin

// A script object's members, read through the object's own dispatch
// interface. Unlike an evaluation this compiles nothing: Wine's JScript
// keeps each evaluation's compiled code for good, so evaluating a member
// at a time made a long rule set's memory grow with every rule.
#pragma once

#include "automation/com_calls.h"

namespace korvalin {

class ScriptObject {
 public:
  // Keeps the object the value refers to; any other value reads as an
  // object without members.
  explicit ScriptObject(rt::automation::Variant value) : value_(std::move(value)) {}

  // What object.name gives in the script: member names are case-sensitive,
  // an array's elements are named by their decimal index, and a member the
  // object lacks is VT_EMPTY, as undefined converts.
  rt::automation::Variant member(const char* name) const;

 private:
  rt::automation::Variant value_;
};

}  // namespace korvalin

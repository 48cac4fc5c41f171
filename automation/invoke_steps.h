// The steps of one member call, each job in its own file: binding the name
// through type information, marshalling the arguments, writing out
// parameters back. invoke.cpp runs them in order.
#pragma once

#include "automation/bridge.h"

namespace rt::automation {

// What a name bound to. The destructor gives back, in this order, the bound
// description, the bound ITypeInfo and the IDispatch.
struct BoundMember {
  BoundMember() = default;
  ~BoundMember();
  BoundMember(const BoundMember&) = delete;
  BoundMember& operator=(const BoundMember&) = delete;

  IDispatch* dispatch = nullptr;
  ITypeInfo* typeInfo = nullptr;
  FUNCDESC* func = nullptr;
  VARDESC* var = nullptr;
  LCID lcid = 0;
  DISPID dispid = DISPID_UNKNOWN;
  WORD flags = 0;
  int formalCount = 0;
  const ELEMDESC* formals = nullptr;
  BridgeVector<ELEMDESC> extended;  // formals stretched over a variable list
};

// Finds `name` on the object for the call kind; returns the code.
int32_t BindMember(ObjectRecord* object, wchar_t* name, CallKind kind, BoundMember* member);

// Gives every one of n arguments a formal description; false when there are
// more arguments than the member takes and it takes no variable list.
bool FitArguments(BoundMember* member, int n);

// The 2n VARIANTs of a call: rgvarg and, behind it, the shadow slots that
// by-reference formals point into. Cleared when the call is done with them.
class ArgumentSlots {
 public:
  ArgumentSlots() = default;
  ~ArgumentSlots() { clear(); }
  ArgumentSlots(const ArgumentSlots&) = delete;
  ArgumentSlots& operator=(const ArgumentSlots&) = delete;

  void reset(int n);
  void clear();
  int count() const { return n_; }
  VARIANT* rgvarg() { return n_ ? slots_.data() : nullptr; }
  VARIANT* shadow() { return slots_.data() + n_; }
  // A record that a slot borrows from the caller's object: not ours to clear.
  void lend(void* record) { lent_.push_back(record); }

 private:
  bool isLent(const VARIANT& slot) const;

  BridgeVector<VARIANT> slots_;
  BridgeVector<void*> lent_;
  int n_ = 0;
};

// Marshals args[0..n-1] into the slots, the last argument into rgvarg[0];
// returns the code.
int32_t MarshalArguments(const BoundMember& member, const ValueRecord* args, int n, ArgumentSlots* slots);

// After a successful Invoke: converts each by-reference out parameter back
// into the caller's by-reference variable. Failures go unreported.
void WriteBackArguments(const BoundMember& member, const ValueRecord* args, ArgumentSlots* slots);

// The neutral result of a runtime type, for a failed call.
void NeutralResult(uint32_t tag, ValueRecord* result);

}  // namespace rt::automation

// Small helpers shared by the automation tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "automation/bridge.h"
#include "automation/com_calls.h"
#include "runtime/interface/program_calls.h"
#include "runtime/values/value_helpers.h"
#include "tests/automation/test_object.h"
#include "tests/support/test_support.h"

namespace korvalin::test {

using rt::automation::ComObject;
using rt::automation::Variant;
using rt::program::ByRefArg;
using rt::program::DoubleArg;
using rt::program::IntArg;
using rt::program::Omitted;
using rt::program::TextArg;

inline int32_t Code() { return rt::automation::LastErrorCode(); }

// Takes a Text value and frees it.
inline std::string Take(rt::Text text) {
  std::string s = text ? text : "";
  rt::program::Free(text);
  return s;
}

inline std::string LastText() { return Take(ComObject::lastErrorText()); }

// Points `com` at `object` with one reference of its own.
inline void Attach(ComObject& com, IUnknown* object) {
  com.clear();
  com.record()->unknown = object;
  object->AddRef();
}

inline std::wstring Wide(const VARIANT* v) {
  return V_VT(v) == VT_BSTR ? std::wstring(V_BSTR(v), SysStringLen(V_BSTR(v))) : std::wstring();
}

// A test automation object in a ComObject, checked for leaked references.
class OwnObject : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Types().dispatch, nullptr);
    object = new TestObject();
    other = new TestObject();
    Attach(com, static_cast<IDispatch*>(object));
    Attach(otherCom, static_cast<IDispatch*>(other));
    baseline = object->refs();
    otherBaseline = other->refs();
  }
  void TearDown() override {
    EXPECT_EQ(object->refs(), baseline) << "references to the called object leaked or were lost";
    EXPECT_EQ(other->refs(), otherBaseline) << "references to the argument object leaked or were lost";
    com.clear();
    otherCom.clear();
    EXPECT_EQ(object->refs(), 1u);
    EXPECT_EQ(other->refs(), 1u);
    object->Release();
    other->Release();
  }

  TestObject* object = nullptr;
  TestObject* other = nullptr;
  ComObject com;
  ComObject otherCom;
  ULONG baseline = 0;
  ULONG otherBaseline = 0;
};

}  // namespace korvalin::test

#include "tests/automation/automation_test_support.h"

namespace korvalin::test {
namespace {

TEST(Variants, DeclaredStartsAsIntegerZeroAndClearMakesItEmpty) {
  Variant v;
  EXPECT_EQ(V_VT(v.get()), VT_I4);
  EXPECT_EQ(V_I4(v.get()), 0);
  EXPECT_EQ(Take(v.toText()), "0");
  v.clear();
  EXPECT_EQ(V_VT(v.get()), VT_EMPTY);
}

TEST(Variants, EmptyAndNullGiveNeutralValues) {
  Variant v;
  v.clear();
  EXPECT_EQ(v.toText(), nullptr);
  EXPECT_EQ(v.toNumber(), 0.0);
  EXPECT_FALSE(v.toBool());
  V_VT(v.get()) = VT_NULL;
  EXPECT_EQ(v.toText(), nullptr);
  EXPECT_EQ(v.toNumber(), 0.0);
  EXPECT_FALSE(v.toBool());
}

TEST(Variants, ScalarConversions) {
  Variant v;
  V_VT(v.get()) = VT_BOOL;
  V_BOOL(v.get()) = VARIANT_TRUE;
  EXPECT_EQ(v.toNumber(), -1.0);
  EXPECT_TRUE(v.toBool());

  V_VT(v.get()) = VT_I4;
  V_I4(v.get()) = 1;
  EXPECT_TRUE(v.toBool());
  V_I4(v.get()) = 0;
  EXPECT_FALSE(v.toBool());

  v.clear();
  V_VT(v.get()) = VT_BSTR;
  V_BSTR(v.get()) = SysAllocString(L"12.5");
  EXPECT_EQ(v.toNumber(), 12.5);
  EXPECT_EQ(Take(v.toText()), "12.5");
  v.clear();
  V_VT(v.get()) = VT_BSTR;
  V_BSTR(v.get()) = SysAllocString(L"文档");
  EXPECT_EQ(Take(v.toText()), "文档");
  EXPECT_EQ(v.toNumber(), 0.0);
  EXPECT_FALSE(v.toBool());
  // The value itself is never changed by a conversion.
  EXPECT_EQ(V_VT(v.get()), VT_BSTR);

  LONG target = 17;
  Variant byRef;
  V_VT(byRef.get()) = VT_BYREF | VT_I4;
  V_I4REF(byRef.get()) = &target;
  EXPECT_EQ(byRef.toNumber(), 17.0);
  EXPECT_EQ(Take(byRef.toText()), "17");
  byRef.clear();
}

TEST(Variants, ArrayMembersByIndexFirstDimensionFastest) {
  // Two rows (lower bound 1) by three columns (lower bound 0): element (r, c) = 10r + c.
  SAFEARRAYBOUND bounds[2] = {{2, 1}, {3, 0}};
  SAFEARRAY* array = SafeArrayCreate(VT_I4, 2, bounds);
  ASSERT_NE(array, nullptr);
  for (LONG r = 1; r <= 2; ++r)
    for (LONG c = 0; c < 3; ++c) {
      LONG index[2] = {r, c};
      LONG value = 10 * r + c;
      SafeArrayPutElement(array, index, &value);
    }
  Variant v;
  V_VT(v.get()) = VT_ARRAY | VT_I4;
  V_ARRAY(v.get()) = array;
  const double expected[] = {10, 20, 11, 21, 12, 22};
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(v.toNumber(i), expected[i - 1]) << "index " << i;
  EXPECT_EQ(Take(v.toText(4)), "21");
  EXPECT_TRUE(v.toBool(1));
  EXPECT_EQ(v.toNumber(7), 0.0);
  EXPECT_EQ(v.toNumber(), 0.0) << "no index, no value";
  EXPECT_EQ(v.toText(-1), nullptr);
}

TEST(Variants, ArraysOfVariantsAndTexts) {
  SAFEARRAYBOUND bound = {2, 0};
  SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 1, &bound);
  VARIANT item;
  V_VT(&item) = VT_BSTR;
  V_BSTR(&item) = SysAllocString(L"桌面");
  LONG i = 0;
  SafeArrayPutElement(array, &i, &item);
  VariantClear(&item);
  V_VT(&item) = VT_BOOL;
  V_BOOL(&item) = VARIANT_TRUE;
  i = 1;
  SafeArrayPutElement(array, &i, &item);
  Variant v;
  V_VT(v.get()) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(v.get()) = array;
  EXPECT_EQ(Take(v.toText(1)), "桌面");
  EXPECT_EQ(v.toNumber(2), -1.0);

  SAFEARRAY* texts = SafeArrayCreate(VT_BSTR, 1, &bound);
  BSTR word = SysAllocString(L"下载");
  i = 1;
  SafeArrayPutElement(texts, &i, word);
  SysFreeString(word);
  Variant t;
  V_VT(t.get()) = VT_ARRAY | VT_BSTR;
  V_ARRAY(t.get()) = texts;
  EXPECT_EQ(Take(t.toText(2)), "下载");
  EXPECT_EQ(t.toText(1), nullptr);
}

// An array whose VARIANT type word names another element type than the one
// the array holds. `claimed` is the type word; the array is destroyed here.
class MislabelledArray {
 public:
  MislabelledArray(SAFEARRAY* array, VARTYPE claimed) : array_(array) {
    V_VT(v.get()) = claimed;
    if (claimed & VT_BYREF) V_ARRAYREF(v.get()) = &array_;
    else V_ARRAY(v.get()) = array_;
  }
  ~MislabelledArray() {
    V_VT(v.get()) = VT_EMPTY;
    SafeArrayDestroy(array_);
  }
  Variant v;

 private:
  SAFEARRAY* array_;
};

TEST(Variants, AnArrayElementIsReadOnlyAsTheArraysOwnType) {
  SAFEARRAYBOUND bound = {2, 0};
  SAFEARRAY* texts = SafeArrayCreate(VT_BSTR, 1, &bound);
  BSTR word = SysAllocString(L"12");
  LONG i = 0;
  SafeArrayPutElement(texts, &i, word);
  SysFreeString(word);
  {
    // Read as VT_I4, the element would be the BSTR's address.
    MislabelledArray m(texts, VT_ARRAY | VT_I4);
    EXPECT_EQ(m.v.toText(1), nullptr);
    EXPECT_EQ(m.v.toNumber(1), 0.0);
    EXPECT_FALSE(m.v.toBool(1));
  }
  SAFEARRAY* numbers = SafeArrayCreate(VT_I4, 1, &bound);
  LONG seven = 7;
  SafeArrayPutElement(numbers, &i, &seven);
  {
    // Four bytes of VT_I4 are no VT_R8, and no VT_UI1 either.
    MislabelledArray m(numbers, VT_BYREF | VT_ARRAY | VT_R8);
    EXPECT_EQ(m.v.toNumber(1), 0.0);
    EXPECT_EQ(m.v.toText(1), nullptr);
    V_VT(m.v.get()) = VT_BYREF | VT_ARRAY | VT_UI1;
    EXPECT_EQ(m.v.toNumber(1), 0.0);
    // The true type still reads.
    V_VT(m.v.get()) = VT_BYREF | VT_ARRAY | VT_I4;
    EXPECT_EQ(m.v.toNumber(1), 7.0);
  }
}

TEST(Variants, AssignMakesAnIndependentCopy) {
  Variant source;
  source.clear();
  V_VT(source.get()) = VT_BSTR;
  V_BSTR(source.get()) = SysAllocString(L"原");
  Variant copy;
  copy.assign(source);
  ASSERT_EQ(V_VT(copy.get()), VT_BSTR);
  EXPECT_NE(V_BSTR(copy.get()), V_BSTR(source.get()));
  source.clear();
  EXPECT_EQ(Take(copy.toText()), "原");
  copy.assign(copy);
  EXPECT_EQ(Take(copy.toText()), "原");

  // The command itself copies into fresh, unzeroed bytes without clearing them.
  VARIANT* fresh = static_cast<VARIANT*>(rt::program::Allocate(sizeof(VARIANT)));
  std::memset(fresh, 0xCD, sizeof(VARIANT));
  rt::ValueRecord dest;
  dest.setPointer(fresh, rt::kTagVariant);
  rt::program::DispatchCommand(rt::automation::commands::AssignVariant, {dest, copy.arg()});
  Variant adopted = Variant::adopt(fresh);
  EXPECT_EQ(Take(adopted.toText()), "原");
}

TEST(Variants, CommandsTakeVariablesByReference) {
  // A Variant variable that holds no block yet gets one from assign.
  VARIANT* variable = nullptr;
  Variant source;
  V_I4(source.get()) = 5;
  rt::program::DispatchCommand(rt::automation::commands::AssignVariant,
                               {ByRefArg(&variable, rt::kTagVariant), source.arg()});
  ASSERT_NE(variable, nullptr);
  rt::ValueRecord r = rt::program::DispatchCommand(rt::automation::commands::VariantToNumber,
                                                   {ByRefArg(&variable, rt::kTagVariant)});
  EXPECT_EQ(r.tag, rt::kTagDouble);
  EXPECT_EQ(r.asDouble(), 5.0);
  r = rt::program::DispatchCommand(rt::automation::commands::VariantToBool, {ByRefArg(&variable, rt::kTagVariant)});
  EXPECT_EQ(r.tag, rt::kTagBool);
  EXPECT_EQ(r.low, 1u);
  rt::program::DispatchCommand(rt::automation::commands::ClearVariant, {ByRefArg(&variable, rt::kTagVariant)});
  EXPECT_EQ(V_VT(variable), VT_EMPTY);
  rt::program::Free(variable);

  // Commands never fail on missing arguments.
  r = rt::program::DispatchCommand(rt::automation::commands::VariantToText, {});
  EXPECT_EQ(r.tag, rt::kTagText);
  EXPECT_EQ(r.pointer(), nullptr);
  r = rt::program::DispatchCommand(rt::automation::commands::CallMethodVariant, {});
  EXPECT_EQ(Code(), -1);
  Variant::adopt(static_cast<VARIANT*>(r.pointer()));
}

}  // namespace
}  // namespace korvalin::test

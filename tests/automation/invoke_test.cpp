#include <thread>

#include "tests/automation/automation_test_support.h"

namespace korvalin::test {
namespace {

TEST_F(OwnObject, FewerArgumentsThanDeclaredAndTrailingOmittedAreNotSent) {
  EXPECT_EQ(com.callMethodNumber("Optional", TextArg("x")), 1.0);
  EXPECT_EQ(Code(), 0);
  EXPECT_EQ(LastText(), "");
  EXPECT_EQ(object->last().flags, DISPATCH_METHOD);
  EXPECT_EQ(object->last().namedCount, 0u);
  EXPECT_FALSE(object->last().excepInfoGiven);
  EXPECT_EQ(object->last().argErrorOnEntry, static_cast<UINT>(-1));

  EXPECT_EQ(com.callMethodNumber("Optional", IntArg(1), Omitted(), Omitted()), 1.0);
  ASSERT_EQ(object->last().args.size(), 1u);
  EXPECT_EQ(object->last().args[0].vt, VT_I4);
}

TEST_F(OwnObject, OmittedOrEmptyArgumentBeforeAGivenOneArrivesAsParamNotFound) {
  EXPECT_EQ(com.callMethodNumber("Optional", IntArg(1), Omitted(), TextArg("three")), 3.0);
  const auto& args = object->last().args;
  ASSERT_EQ(args.size(), 3u);
  // Reversed: the last argument comes first.
  EXPECT_EQ(args[0].vt, VT_BSTR);
  EXPECT_EQ(args[0].text, L"three");
  EXPECT_EQ(args[1].vt, VT_ERROR);
  EXPECT_EQ(args[1].scode, DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(args[2].vt, VT_I4);
  EXPECT_EQ(args[2].text, L"1");

  Variant empty;
  empty.clear();
  EXPECT_EQ(com.callMethodNumber("Optional", empty.arg(), IntArg(2)), 2.0);
  EXPECT_EQ(object->last().args[1].vt, VT_ERROR);
  EXPECT_EQ(object->last().args[1].scode, DISP_E_PARAMNOTFOUND);
}

TEST_F(OwnObject, VariableArgumentListTakesAnyNumberOfExtraArguments) {
  Variant joined = com.callMethodVariant("Join", TextArg("-"), TextArg("a"), IntArg(2), DoubleArg(1.5), TextArg("桌面"));
  EXPECT_EQ(Code(), 0);
  EXPECT_EQ(Take(joined.toText()), "a-2-1.5-桌面");
  EXPECT_EQ(object->last().args.size(), 5u);

  Variant alone = com.callMethodVariant("Join", TextArg("-"));
  EXPECT_EQ(Code(), 0);
  EXPECT_EQ(Take(alone.toText()), "");
}

TEST_F(OwnObject, TooManyArgumentsIsMinusFiveAndNothingIsCalled) {
  int calls = object->last().calls;
  Variant v = com.callMethodVariant("Fixed", TextArg("a"), TextArg("b"));
  EXPECT_EQ(Code(), -5);
  EXPECT_EQ(LastText(), "提供了过多的参数");
  EXPECT_EQ(V_VT(v.get()), VT_EMPTY);
  EXPECT_EQ(object->last().calls, calls);

  // Trailing omitted arguments do not count.
  Variant ok = com.callMethodVariant("Fixed", TextArg("a"), Omitted(), Omitted());
  EXPECT_EQ(Code(), 0);
  EXPECT_EQ(Take(ok.toText()), "a");

  // A variable read takes no argument at all.
  EXPECT_EQ(com.callMethodNumber("Count", IntArg(1)), 0.0);
  EXPECT_EQ(Code(), -5);
}

TEST_F(OwnObject, UnmarshallableArgumentIsMinusSevenAndWhatWasMadeIsCleared) {
  int calls = object->last().calls;
  // The object argument is marshalled (last first) before the window reference fails.
  com.callMethod("Optional", rt::program::UnitArg({0x52010001, 0x06010000}), otherCom.arg());
  EXPECT_EQ(Code(), -7);
  EXPECT_EQ(LastText(), "参数数据类型错误");
  EXPECT_EQ(other->refs(), otherBaseline);

  rt::ValueRecord routine;
  routine.setPointer(reinterpret_cast<void*>(&Code), rt::kTagSubroutine);
  EXPECT_EQ(com.callMethodNumber("Optional", routine), 0.0);
  EXPECT_EQ(Code(), -7);
  EXPECT_EQ(com.callMethodNumber("Optional", rt::program::ByteSetArg(nullptr)), 0.0);
  EXPECT_EQ(Code(), -7);
  EXPECT_EQ(object->last().calls, calls);
}

TEST_F(OwnObject, ResultThatDoesNotConvertIsMinusEightWithZero) {
  EXPECT_EQ(com.callMethodNumber("Echo", TextArg("42")), 42.0);
  EXPECT_EQ(Code(), 0);
  EXPECT_EQ(com.callMethodNumber("Echo", TextArg("abc")), 0.0);
  EXPECT_EQ(Code(), -8);
  EXPECT_EQ(LastText(), "执行成功，但返回值类型不匹配");
  // An object result that does not turn into a number is released again.
  EXPECT_EQ(com.callMethodNumber("Self"), 0.0);
  EXPECT_EQ(Code(), -8);
}

TEST_F(OwnObject, TextByReferenceToAPlainBstrIsSentByValueAndNotWrittenBack) {
  rt::Text text = rt::CopyText("原文");
  rt::Text before = text;
  Variant v = com.callMethodVariant("Fixed", rt::automation::TextRef(text));
  EXPECT_EQ(Code(), 0);
  EXPECT_EQ(object->last().args[0].vt, VT_BSTR);
  EXPECT_EQ(Take(v.toText()), "原文");
  EXPECT_EQ(text, before);
  EXPECT_STREQ(text, "原文");

  // A by-reference formal without the out flag changes only the bridge's copy.
  com.callMethod("Peek", rt::automation::TextRef(text));
  EXPECT_EQ(Code(), 0);
  EXPECT_EQ(object->last().args[0].vt, VT_BYREF | VT_BSTR);
  EXPECT_EQ(text, before);
  EXPECT_STREQ(text, "原文");
  rt::program::Free(text);
}

TEST_F(OwnObject, OutBstrByReferenceIsWrittenBack) {
  rt::Text text = rt::CopyText("old");
  com.callMethod("GetText", rt::automation::TextRef(text));
  EXPECT_EQ(Code(), 0);
  EXPECT_EQ(object->last().args[0].vt, VT_BYREF | VT_BSTR);
  EXPECT_EQ(object->last().args[0].text, L"old");
  EXPECT_STREQ(text, "写回");
  rt::program::Free(text);

  // By value the member writes into the bridge's own copy, which is freed.
  com.callMethod("GetText", TextArg("kept"));
  EXPECT_EQ(Code(), 0);
}

TEST_F(OwnObject, InOutNumbersAndVariantsAreWrittenBackThroughConversion) {
  int32_t n = 41;
  com.callMethod("Bump", ByRefArg(&n, rt::kTagInt));
  EXPECT_EQ(Code(), 0);
  EXPECT_EQ(n, 42);
  EXPECT_EQ(object->last().args[0].vt, VT_BYREF | VT_I4);

  double d = 1.0;  // sent as a long, written back as a double
  com.callMethod("Bump", ByRefArg(&d, rt::kTagDouble));
  EXPECT_EQ(d, 2.0);
  int64_t wide = -6;
  com.callMethod("Bump", ByRefArg(&wide, rt::kTagLong));
  EXPECT_EQ(wide, -5);
  int16_t small = 9;
  com.callMethod("Bump", ByRefArg(&small, rt::kTagShort));
  EXPECT_EQ(small, 10);

  com.callMethod("Bump", IntArg(1));
  EXPECT_EQ(Code(), 0);

  Variant v;
  com.callMethod("Swap", v.ref());
  EXPECT_EQ(object->last().args[0].vt, VT_BYREF | VT_VARIANT);
  EXPECT_EQ(V_VT(v.get()), VT_BSTR);
  EXPECT_EQ(Take(v.toText()), "123");
  int32_t fromText = 0;
  com.callMethod("Swap", ByRefArg(&fromText, rt::kTagInt));
  EXPECT_EQ(fromText, 123);
  rt::Text text = nullptr;
  com.callMethod("Swap", rt::automation::TextRef(text));
  EXPECT_STREQ(text, "123");
  rt::program::Free(text);
}

TEST_F(OwnObject, ArrayByReferenceIsPassedAsAnArrayReferenceAndWrittenBack) {
  SAFEARRAYBOUND bound = {3, 0};
  SAFEARRAY* array = SafeArrayCreate(VT_I4, 1, &bound);
  for (LONG i = 0; i < 3; ++i) {
    LONG value = i + 1;
    SafeArrayPutElement(array, &i, &value);
  }
  Variant v;
  V_VT(v.get()) = VT_ARRAY | VT_I4;
  V_ARRAY(v.get()) = array;
  com.callMethod("Grow", v.ref());
  EXPECT_EQ(Code(), 0);
  EXPECT_EQ(object->last().args[0].vt, VT_BYREF | VT_ARRAY | VT_I4);
  EXPECT_EQ(v.toNumber(1), 101.0);
  EXPECT_EQ(v.toNumber(3), 3.0);
}

TEST_F(OwnObject, PutIsTriedBeforePutRefAndSendsTheNamedArgument) {
  EXPECT_TRUE(com.writeProperty("Value", IntArg(5)));
  EXPECT_EQ(LastText(), "");
  EXPECT_EQ(object->last().member, kValue);
  EXPECT_EQ(object->last().flags, DISPATCH_PROPERTYPUT);
  EXPECT_EQ(object->last().namedCount, 1u);
  EXPECT_EQ(object->last().firstNamed, DISPID_PROPERTYPUT);

  // Only a putref function: found with the second invoke kind.
  EXPECT_TRUE(com.writeProperty("RefOnly", otherCom.arg()));
  EXPECT_EQ(object->last().flags, DISPATCH_PROPERTYPUTREF);
  EXPECT_EQ(object->last().args[0].vt, VT_DISPATCH);
  EXPECT_EQ(object->lastTaken(), static_cast<IDispatch*>(other));

  EXPECT_FALSE(com.writeProperty("NoSuchProperty", IntArg(1)));
  EXPECT_EQ(Code(), -3);
  EXPECT_EQ(LastText(), "未找到指定属性或方法");
}

TEST_F(OwnObject, VariablesAreWrittenByTheirTypeAndReadWithPropertyGet) {
  EXPECT_TRUE(com.writeProperty("Target", otherCom.arg()));
  EXPECT_EQ(object->last().member, kTarget);
  EXPECT_EQ(object->last().flags, DISPATCH_PROPERTYPUTREF);
  EXPECT_EQ(object->last().firstNamed, DISPID_PROPERTYPUT);
  EXPECT_EQ(object->last().args[0].vt, VT_DISPATCH);

  EXPECT_TRUE(com.writeProperty("Count", IntArg(9)));
  EXPECT_EQ(object->last().flags, DISPATCH_PROPERTYPUT);
  EXPECT_EQ(com.callMethodNumber("Count"), 9.0);
  EXPECT_EQ(object->last().flags, DISPATCH_PROPERTYGET);
  EXPECT_EQ(object->last().namedCount, 0u);
}

TEST_F(OwnObject, ArgumentsMarshalByTheirRuntimeType) {
  struct Case {
    rt::ValueRecord arg;
    VARTYPE vt;
    const wchar_t* text;
  };
  rt::ValueRecord byte, shortValue, longValue, floatValue, boolTrue, boolFalse, date;
  byte.setInt(200, rt::kTagByte);
  shortValue.setInt(-2, rt::kTagShort);
  longValue.setLong(0x100000005LL);
  floatValue.setFloat(1.5f);
  boolTrue.setInt(7, rt::kTagBool);
  boolFalse.setBool(false);
  date.setDouble(2.5, rt::kTagDateTime);
  Variant text;
  V_VT(text.get()) = VT_BSTR;
  V_BSTR(text.get()) = SysAllocString(L"变体");
  const Case cases[] = {
      {byte, VT_UI1, L"200"},         {shortValue, VT_I2, L"-2"},     {IntArg(-70000), VT_I4, L"-70000"},
      {longValue, VT_I4, L"5"},       {floatValue, VT_R4, L"1.5"},    {DoubleArg(0.25), VT_R8, L"0.25"},
      {boolTrue, VT_BOOL, nullptr},   {boolFalse, VT_BOOL, nullptr},  {date, VT_DATE, nullptr},
      {TextArg("桌面"), VT_BSTR, L"桌面"}, {text.arg(), VT_BSTR, L"变体"},
  };
  for (const Case& c : cases) {
    Variant echoed = com.callMethodVariant("Echo", c.arg);
    EXPECT_EQ(Code(), 0);
    ASSERT_EQ(object->last().args.size(), 1u);
    EXPECT_EQ(object->last().args[0].vt, c.vt) << "tag " << std::hex << c.arg.tag;
    EXPECT_EQ(V_VT(echoed.get()), c.vt);
    if (c.text) {
      EXPECT_EQ(object->last().args[0].text, c.text);
    }
  }
  Variant t = com.callMethodVariant("Echo", boolTrue);
  EXPECT_EQ(V_BOOL(t.get()), VARIANT_TRUE);
  Variant f = com.callMethodVariant("Echo", boolFalse);
  EXPECT_EQ(V_BOOL(f.get()), VARIANT_FALSE);
  Variant d = com.callMethodVariant("Echo", date);
  EXPECT_EQ(V_DATE(d.get()), 2.5);

  // Read through the caller's variables.
  uint8_t b = 7;
  float fl = -0.5f;
  int32_t truth = 1;
  rt::Text word = rt::CopyText("词");
  Variant rb = com.callMethodVariant("Echo", ByRefArg(&b, rt::kTagByte));
  EXPECT_EQ(V_VT(rb.get()), VT_UI1);
  EXPECT_EQ(V_UI1(rb.get()), 7);
  Variant rf = com.callMethodVariant("Echo", ByRefArg(&fl, rt::kTagFloat));
  EXPECT_EQ(V_R4(rf.get()), -0.5f);
  Variant rt_ = com.callMethodVariant("Echo", ByRefArg(&truth, rt::kTagBool));
  EXPECT_EQ(V_BOOL(rt_.get()), VARIANT_TRUE);
  Variant rw = com.callMethodVariant("Echo", rt::automation::TextRef(word));
  EXPECT_EQ(Wide(rw.get()), L"词");
  Variant rv = com.callMethodVariant("Echo", text.ref());
  EXPECT_EQ(Wide(rv.get()), L"变体");
  rt::program::Free(word);
}

TEST_F(OwnObject, ObjectArgumentsFollowTheFormalType) {
  com.callMethod("TakeDispatch", otherCom.arg());
  EXPECT_EQ(Code(), 0);
  EXPECT_EQ(object->last().args[0].vt, VT_DISPATCH);
  EXPECT_EQ(object->lastTaken(), static_cast<IDispatch*>(other));
  com.callMethod("TakeUnknown", otherCom.ref());
  EXPECT_EQ(object->last().args[0].vt, VT_UNKNOWN);
  EXPECT_EQ(object->lastTaken(), static_cast<IUnknown*>(static_cast<IDispatch*>(other)));
  // A VARIANT formal gets the object's IDispatch.
  Variant echoed = com.callMethodVariant("Echo", otherCom.arg());
  EXPECT_EQ(V_VT(echoed.get()), VT_DISPATCH);
  echoed.clear();

  ComObject empty;
  com.callMethod("TakeDispatch", empty.arg());
  EXPECT_EQ(object->last().args[0].vt, VT_UNKNOWN);
  EXPECT_EQ(object->lastTaken(), nullptr);

  TestObject::Options plain;
  plain.noDispatch = true;
  auto* bare = new TestObject(plain);
  ComObject bareCom;
  Attach(bareCom, static_cast<IDispatch*>(bare));
  ULONG bareRefs = bare->refs();
  com.callMethod("TakeDispatch", bareCom.arg());
  EXPECT_EQ(object->last().args[0].vt, VT_UNKNOWN);
  EXPECT_EQ(object->lastTaken(), nullptr);
  EXPECT_EQ(bare->refs(), bareRefs);
  bareCom.clear();
  bare->Release();
}

TEST_F(OwnObject, FailingInvokeMapsItsHResultToACode) {
  struct Row {
    HRESULT hr;
    int32_t code;
    const char* text;
  };
  const Row rows[] = {
      {DISP_E_BADPARAMCOUNT, -9, "参数数目错误"},      {DISP_E_BADVARTYPE, -10, "参数类型值无效"},
      {DISP_E_EXCEPTION, -11, "发现异常"},              {DISP_E_MEMBERNOTFOUND, -12, "未找到指定成员"},
      {DISP_E_NONAMEDARGS, -13, "不支持命名参数"},      {DISP_E_OVERFLOW, -14, "溢出"},
      {DISP_E_PARAMNOTFOUND, -15, "未找到指定参数"},    {DISP_E_TYPEMISMATCH, -16, "类型不匹配"},
      {DISP_E_PARAMNOTOPTIONAL, -17, "必需的参数数据被省略"}, {E_FAIL, -18, "其他原因调用失败"},
  };
  for (const Row& row : rows) {
    Variant v = com.callMethodVariant("Fail", IntArg(static_cast<int32_t>(row.hr)));
    EXPECT_EQ(Code(), row.code);
    EXPECT_EQ(LastText(), row.text);
    EXPECT_EQ(V_VT(v.get()), VT_EMPTY);
  }
  // The next call overwrites the code.
  com.callMethod("Fail", IntArg(S_OK));
  EXPECT_EQ(Code(), 0);
  EXPECT_EQ(LastText(), "");
}

TEST_F(OwnObject, ResultsConvertToEveryRuntimeType) {
  Variant nothing = com.callMethodVariant("Nothing");
  EXPECT_EQ(Code(), 0);
  EXPECT_EQ(V_VT(nothing.get()), VT_EMPTY);

  rt::ValueRecord r;
  VARIANT self;
  VariantInit(&self);
  V_VT(&self) = VT_DISPATCH;
  V_DISPATCH(&self) = object;
  ASSERT_TRUE(rt::automation::ConvertResult(&self, rt::kTagComObject, &r));
  EXPECT_EQ(r.tag, rt::kTagComObject);
  auto* made = static_cast<rt::automation::ObjectRecord*>(r.pointer());
  EXPECT_EQ(made->unknown, static_cast<IUnknown*>(static_cast<IDispatch*>(object)));
  EXPECT_EQ(object->refs(), baseline + 1);
  rt::automation::ClearObject(made);
  rt::program::Free(made);

  VARIANT number;
  V_VT(&number) = VT_BSTR;
  V_BSTR(&number) = SysAllocString(L"-3");
  ASSERT_TRUE(rt::automation::ConvertResult(&number, rt::kTagLong, &r));
  EXPECT_EQ(r.tag, rt::kTagLong);
  EXPECT_EQ(r.asLong(), -3);
  ASSERT_TRUE(rt::automation::ConvertResult(&number, rt::kTagBool, &r));
  EXPECT_EQ(r.low, 1u);
  ASSERT_TRUE(rt::automation::ConvertResult(&number, rt::kTagText, &r));
  EXPECT_EQ(Take(static_cast<rt::Text>(r.pointer())), "-3");
  EXPECT_FALSE(rt::automation::ConvertResult(&number, rt::kTagByteSet, &r));
  VariantClear(&number);

  VARIANT record;
  VariantInit(&record);
  V_VT(&record) = VT_RECORD;
  EXPECT_FALSE(rt::automation::ConvertResult(&record, rt::kTagVariant, &r));
}

TEST_F(OwnObject, CallKindsDecideWhichInvokeKindsBind) {
  rt::ValueRecord r;
  EXPECT_EQ(rt::automation::InvokeByName(com.record(), "Value", rt::automation::CallKind::ReadProperty, rt::kTagInt,
                                         &r, 0, nullptr),
            0);
  EXPECT_EQ(object->last().flags, DISPATCH_PROPERTYGET);
  EXPECT_EQ(r.tag, rt::kTagInt);
  EXPECT_EQ(r.asInt(), 7);
  // A read property falls back to a function of that name.
  EXPECT_EQ(rt::automation::InvokeByName(com.record(), "Optional", rt::automation::CallKind::ReadProperty,
                                         rt::kTagShort, &r, 0, nullptr),
            0);
  EXPECT_EQ(object->last().flags, DISPATCH_METHOD);
  EXPECT_EQ(r.tag, rt::kTagShort);
  // A method call finds a property get when there is no function.
  EXPECT_EQ(com.callMethodNumber("Value"), 7.0);
  EXPECT_EQ(object->last().flags, DISPATCH_PROPERTYGET);
  // Names bind without regard to case.
  EXPECT_EQ(com.callMethodNumber("optional", IntArg(1), IntArg(2)), 2.0);
}

TEST_F(OwnObject, RecordArgumentIsLentAndLeftIntact) {
  IRecordInfo* info = Types().point;
  ASSERT_NE(info, nullptr);
  ComObject holder;
  holder.record()->record = info->RecordCreate();
  ASSERT_NE(holder.record()->record, nullptr);
  holder.record()->unknown = info;
  info->AddRef();
  auto nameOf = [](void* record) -> BSTR& {
    return *reinterpret_cast<BSTR*>(static_cast<BYTE*>(record) + Types().pointNameOffset);
  };
  nameOf(holder.record()->record) = SysAllocString(L"point");
  {
    // What the bridge must not do to the caller's record: clearing empties the name.
    void* scratch = info->RecordCreate();
    nameOf(scratch) = SysAllocString(L"scratch");
    info->RecordClear(scratch);
    ASSERT_EQ(nameOf(scratch), nullptr);
    info->RecordDestroy(scratch);
  }
  ULONG infoRefs = info->AddRef();
  info->Release();

  Variant v = com.callMethodVariant("Echo", holder.arg());
  EXPECT_EQ(object->last().args[0].vt, VT_RECORD);
  EXPECT_EQ(Code(), -8) << "a record result does not convert";
  EXPECT_EQ(V_VT(v.get()), VT_EMPTY);

  ASSERT_NE(nameOf(holder.record()->record), nullptr) << "the caller's record was cleared";
  EXPECT_EQ(std::wstring(nameOf(holder.record()->record)), L"point");
  EXPECT_EQ(info->AddRef(), infoRefs);
  info->Release();
  holder.clear();
  EXPECT_EQ(holder.record()->record, nullptr);
  EXPECT_TRUE(holder.empty());
}

TEST(ObjectShapes, FailedCallsGiveTheNeutralValueOfTheirResultType) {
  rt::automation::ObjectRecord empty{nullptr, nullptr};
  const uint32_t tags[] = {rt::kTagByte,     rt::kTagShort, rt::kTagInt,       rt::kTagLong,
                           rt::kTagFloat,    rt::kTagDouble, rt::kTagBool,     rt::kTagDateTime,
                           rt::kTagText,     rt::kTagComObject, rt::kTagVariant};
  for (uint32_t tag : tags) {
    rt::ValueRecord r;
    r.low = 0xDEAD;
    r.high = 0xBEEF;
    EXPECT_EQ(rt::automation::InvokeByName(&empty, "x", rt::automation::CallKind::Method, tag, &r, 0, nullptr), -1);
    EXPECT_EQ(r.tag, tag);
    if (tag == rt::kTagComObject) {
      auto* made = static_cast<rt::automation::ObjectRecord*>(r.pointer());
      ASSERT_NE(made, nullptr);
      EXPECT_EQ(made->unknown, nullptr);
      EXPECT_EQ(made->record, nullptr);
      rt::program::Free(made);
    } else if (tag == rt::kTagVariant) {
      auto* made = static_cast<VARIANT*>(r.pointer());
      ASSERT_NE(made, nullptr);
      EXPECT_EQ(V_VT(made), VT_EMPTY);
      rt::program::Free(made);
    } else {
      EXPECT_EQ(r.low, 0u) << std::hex << tag;
      EXPECT_EQ(r.high, 0u) << std::hex << tag;
    }
  }
}

TEST(ObjectShapes, EmptyObjectNoDispatchAndNoTypeInformation) {
  ComObject empty;
  Variant v = empty.callMethodVariant("Anything", IntArg(1));
  EXPECT_EQ(Code(), -1);
  EXPECT_EQ(LastText(), "对象为空");
  EXPECT_EQ(V_VT(v.get()), VT_EMPTY);
  EXPECT_EQ(empty.callMethodNumber("Anything"), 0.0);
  EXPECT_FALSE(empty.writeProperty("Anything", IntArg(1)));
  EXPECT_EQ(Code(), -1);

  TestObject::Options options;
  options.noDispatch = true;
  auto* bare = new TestObject(options);
  ComObject bareCom;
  Attach(bareCom, static_cast<IDispatch*>(bare));
  bareCom.callMethod("Optional");
  EXPECT_EQ(Code(), -2);
  EXPECT_EQ(LastText(), "指定对象没有调用接口");
  EXPECT_EQ(bare->refs(), 2u);
  bareCom.clear();
  bare->Release();

  options = TestObject::Options();
  options.noTypeInfo = true;
  auto* blind = new TestObject(options);
  ComObject blindCom;
  Attach(blindCom, static_cast<IDispatch*>(blind));
  EXPECT_EQ(blindCom.callMethodNumber("Optional"), 0.0);
  EXPECT_EQ(Code(), -4);
  EXPECT_EQ(LastText(), "指定对象没有类型信息");
  EXPECT_EQ(blind->refs(), 2u);
  blindCom.clear();
  blind->Release();
}

TEST(ObjectShapes, LastErrorCodeBelongsToEachThread) {
  auto* object = new TestObject();
  ComObject com;
  Attach(com, static_cast<IDispatch*>(object));
  com.callMethod("Fail", IntArg(static_cast<int32_t>(DISP_E_EXCEPTION)));
  ASSERT_EQ(Code(), -11);

  int32_t atStart = 99, afterCall = 0;
  std::string text;
  std::thread worker([&] {
    atStart = Code();
    ComObject empty;
    empty.callMethod("Anything");
    afterCall = Code();
    text = LastText();
  });
  worker.join();
  EXPECT_EQ(atStart, 0);
  EXPECT_EQ(afterCall, -1);
  EXPECT_EQ(text, "对象为空");
  EXPECT_EQ(Code(), -11);
  EXPECT_EQ(LastText(), "发现异常");

  com.callMethod("Fail", IntArg(S_OK));
  EXPECT_EQ(Code(), 0);
  std::thread failing([] {
    ComObject empty;
    empty.callMethod("Anything");
  });
  failing.join();
  EXPECT_EQ(Code(), 0);
  com.clear();
  object->Release();
}

TEST(TypeDescriptions, ResolveUserDefinedPointersAndArrays) {
  const TestTypes& types = Types();
  ASSERT_NE(types.dispatch, nullptr);
  auto of = [&](TYPEDESC t) { return rt::automation::TypeOfDescription(types.dispatch, &t); };
  TYPEDESC user{};
  user.vt = VT_USERDEFINED;
  user.hreftype = types.enumRef;
  EXPECT_EQ(of(user), VT_I4);
  user.hreftype = types.aliasRef;
  EXPECT_EQ(of(user), VT_I2);
  user.hreftype = types.selfRef;
  EXPECT_EQ(of(user), VT_DISPATCH);
  user.hreftype = types.classRef;
  EXPECT_EQ(of(user), VT_UNKNOWN);
  user.hreftype = 0x7FFFFFF0;
  EXPECT_EQ(of(user), VT_UNKNOWN);

  TYPEDESC bstr{};
  bstr.vt = VT_BSTR;
  TYPEDESC pointer{};
  pointer.vt = VT_PTR;
  pointer.lptdesc = &bstr;
  EXPECT_EQ(of(pointer), VT_BYREF | VT_BSTR);
  TYPEDESC integer{};
  integer.vt = VT_INT;
  TYPEDESC array{};
  array.vt = VT_SAFEARRAY;
  array.lptdesc = &integer;
  EXPECT_EQ(of(array), VT_ARRAY | VT_I4);
  TYPEDESC unsignedInt{};
  unsignedInt.vt = VT_UINT;
  EXPECT_EQ(of(unsignedInt), VT_UI4);
  ARRAYDESC fixed{};
  fixed.tdescElem = user;
  fixed.tdescElem.hreftype = types.aliasRef;
  fixed.cDims = 1;
  TYPEDESC carray{};
  carray.vt = VT_CARRAY;
  carray.lpadesc = &fixed;
  EXPECT_EQ(of(carray), VT_ARRAY | VT_I2);
  TYPEDESC pointerToArray{};
  pointerToArray.vt = VT_PTR;
  pointerToArray.lptdesc = &array;
  EXPECT_EQ(of(pointerToArray), VT_BYREF | VT_ARRAY | VT_I4);
}

}  // namespace
}  // namespace korvalin::test

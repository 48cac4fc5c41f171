// The one conversion behind results and write-back: a result record carries
// the value as the runtime passes it, a write-back touches only the bytes of
// the caller's variable.
#include "tests/automation/automation_test_support.h"

namespace korvalin::test {
namespace {

VARIANT Short(SHORT value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_I2;
  V_I2(&v) = value;
  return v;
}

TEST(Conversion, NarrowResultsTravelInTheLowWordWithTheirSign) {
  VARIANT minusFive = Short(-5);
  rt::ValueRecord r;
  ASSERT_TRUE(rt::automation::ConvertResult(&minusFive, rt::kTagShort, &r));
  EXPECT_EQ(r.tag, rt::kTagShort);
  EXPECT_EQ(r.asInt(), -5);
  EXPECT_EQ(r.high, 0u);
  ASSERT_TRUE(rt::automation::ConvertResult(&minusFive, rt::kTagLong, &r));
  EXPECT_EQ(r.asLong(), -5);
  ASSERT_TRUE(rt::automation::ConvertResult(&minusFive, rt::kTagFloat, &r));
  EXPECT_EQ(r.asFloat(), -5.0f);
  EXPECT_EQ(r.high, 0u);
}

TEST(Conversion, WriteBackTouchesOnlyTheVariablesOwnBytes) {
  VARIANT seven = Short(7);
  struct {
    int16_t variable;
    int16_t neighbour;
  } shorts = {0, 0x5A5A};
  ASSERT_TRUE(rt::automation::ConvertWriteBack(&seven, rt::kTagShort, &shorts.variable));
  EXPECT_EQ(shorts.variable, 7);
  EXPECT_EQ(shorts.neighbour, 0x5A5A);

  struct {
    uint8_t variable;
    uint8_t neighbour[3];
  } bytes = {0, {0xA5, 0xA5, 0xA5}};
  ASSERT_TRUE(rt::automation::ConvertWriteBack(&seven, rt::kTagByte, &bytes.variable));
  EXPECT_EQ(bytes.variable, 7);
  EXPECT_EQ(bytes.neighbour[0], 0xA5);
}

}  // namespace
}  // namespace korvalin::test

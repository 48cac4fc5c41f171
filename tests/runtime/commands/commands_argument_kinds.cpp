// Commands that read or write through an argument's address take only the
// kinds they can read or write safely: a byte set may come by address, a
// position variable must be a 32-bit int, anything else is error 11.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "runtime/commands/commands.h"
#include "runtime/interface/program_calls.h"
#include "runtime/values/value_helpers.h"
#include "tests/support/test_support.h"

namespace {

namespace test = korvalin::test;
using rt::ValueRecord;

ValueRecord ByAddress(void* variable, uint32_t tag) {
  ValueRecord r;
  r.setPointer(variable, tag | rt::kTagByRef);
  return r;
}

std::string GetFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(ArgumentKinds, AByteSetByAddressIsReadThroughItsVariable) {
  void* set = rt::NewByteSet("\x2A\0\0\0xyz", 7);
  ValueRecord args[] = {ByAddress(&set, rt::kTagByteSet), rt::program::IntArg(3)};
  ValueRecord result;
  rt::commands::ByteSetData(&result, 2, args);
  EXPECT_EQ(result.tag, rt::kTagInt);
  EXPECT_EQ(result.asInt(), 42);

  std::string path = test::MakeTempDirectory("byref") + "\\out.bin";
  ValueRecord write[] = {rt::program::TextArg(path.c_str()), ByAddress(&set, rt::kTagByteSet)};
  rt::commands::WriteFileBytes(&result, 2, write);
  EXPECT_EQ(result.low, 1u);
  EXPECT_EQ(GetFile(path), std::string("\x2A\0\0\0xyz", 7));
  rt::program::Free(set);
}

// Each way in a child: the box must name error 11 and the file stay as it was.
KORVALIN_SCENARIO(wrong_argument_kind) {
  test::StartRuntime(test::PlainTestImage());
  std::string which = argv[2];
  void* set = rt::NewByteSet("abcdefgh", 8);
  ValueRecord result;
  if (which == "byte-position") {
    // A one-byte variable with its neighbours: writing an int would overrun.
    uint8_t variable[4] = {1, 0x77, 0x77, 0x77};
    ValueRecord args[] = {rt::program::ByteSetArg(set), rt::program::IntArg(1), ByAddress(variable, rt::kTagByte)};
    rt::commands::ByteSetData(&result, 3, args);
    return variable[1] == 0x77 ? 4 : 5;
  }
  if (which == "text-as-set") {
    ValueRecord args[] = {rt::program::TextArg("abcdefgh"), rt::program::IntArg(3)};
    rt::commands::ByteSetData(&result, 2, args);
    return 4;
  }
  if (which == "text-piece") {
    ValueRecord args[] = {rt::program::TextArg(argv[3]), rt::program::ByteSetArg(set),
                          rt::program::TextArg("not bytes")};
    rt::commands::WriteFileBytes(&result, 3, args);
    return 4;
  }
  return 9;
}

void ExpectErrorEleven(const std::string& arguments) {
  SCOPED_TRACE(arguments);
  test::ChildError error = test::AwaitChildError(test::StartChild("wrong_argument_kind", arguments));
  EXPECT_TRUE(error.shown) << "exit " << error.exitCode;
  EXPECT_EQ(error.text, "运行时出错!\r\n\r\n错误代码：11\r\n\r\n错误信息：所提供参数的数据类型不符合要求\r\n");
  EXPECT_TRUE(test::IsExitMinusOne(error.exitCode)) << error.exitCode;
}

TEST(ArgumentKinds, APositionVariableThatIsNotAnIntIsErrorEleven) { ExpectErrorEleven("byte-position"); }

TEST(ArgumentKinds, ATextWhereAByteSetBelongsIsErrorEleven) { ExpectErrorEleven("text-as-set"); }

TEST(ArgumentKinds, WriteFileBytesRefusesAPieceThatIsNoByteSetBeforeTouchingTheFile) {
  std::string path = test::MakeTempDirectory("kinds") + "\\kept.bin";
  std::ofstream(path, std::ios::binary) << "old contents";
  ExpectErrorEleven("text-piece \"" + path + "\"");
  EXPECT_EQ(GetFile(path), "old contents");
}

}  // namespace

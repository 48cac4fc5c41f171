// The two real components the program drives: the script control and the
// file-system object.
#include <fstream>
#include <iterator>

#include "tests/automation/automation_test_support.h"

namespace korvalin::test {
namespace {

class ScriptControl : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(script.create("MSScriptControl.ScriptControl"));
    ASSERT_TRUE(script.writeProperty("Language", TextArg("JavaScript")));
    ASSERT_EQ(LastText(), "");
  }
  ComObject script;
};

TEST_F(ScriptControl, AddCodeAndEvalGiveNumbersTextsAndEmpty) {
  script.callMethod("AddCode", TextArg("var X = {list: [1, 2, 3], name: '桌面', ratio: 0.5};"));
  ASSERT_EQ(Code(), 0);

  Variant count = script.callMethodVariant("Eval", TextArg("X.list.length"));
  EXPECT_EQ(Code(), 0);
  EXPECT_EQ(V_VT(count.get()), VT_I4);
  EXPECT_EQ(count.toNumber(), 3.0);

  Variant ratio = script.callMethodVariant("Eval", TextArg("X.ratio + 1"));
  EXPECT_EQ(V_VT(ratio.get()), VT_R8);
  EXPECT_EQ(ratio.toNumber(), 1.5);

  Variant name = script.callMethodVariant("Eval", TextArg("X.name"));
  EXPECT_EQ(V_VT(name.get()), VT_BSTR);
  EXPECT_EQ(Take(name.toText()), "桌面");

  Variant missing = script.callMethodVariant("Eval", TextArg("X.missing"));
  EXPECT_EQ(Code(), 0);
  EXPECT_EQ(V_VT(missing.get()), VT_EMPTY);
  EXPECT_EQ(Take(missing.toText()), "");
  EXPECT_EQ(missing.toNumber(), 0.0);
  EXPECT_FALSE(missing.toBool());
}

TEST_F(ScriptControl, ScriptErrorsAreMinusElevenWithNeutralResults) {
  Variant v = script.callMethodVariant("Eval", TextArg("undefined.member"));
  EXPECT_EQ(Code(), -11);
  EXPECT_EQ(LastText(), "发现异常");
  EXPECT_EQ(V_VT(v.get()), VT_EMPTY);
  EXPECT_EQ(script.callMethodNumber("Eval", TextArg("1 +* 2")), 0.0);
  EXPECT_EQ(Code(), -11);
  // The engine stays usable after an error.
  EXPECT_EQ(script.callMethodNumber("Eval", TextArg("6 * 7")), 42.0);
  EXPECT_EQ(Code(), 0);
}

TEST_F(ScriptControl, EvalTakesTextsAndVariantsByReference) {
  // As the rules reader binds its document: a Variant holding the text.
  Variant assignment;
  V_VT(assignment.get()) = VT_BSTR;
  V_BSTR(assignment.get()) = SysAllocString(L"Qoda = {regPath: [{title: '桌面'}, {title: 'x'}]}");
  script.callMethod("Eval", assignment.ref());
  ASSERT_EQ(Code(), 0);
  EXPECT_EQ(V_VT(assignment.get()), VT_BSTR) << "an in parameter is not written back";

  // The same made from bytes with the final zero unit counted in the length.
  const wchar_t withZero[] = L"Qoda2 = [1, 2, 3]";
  Variant counted;
  V_VT(counted.get()) = VT_BSTR;
  V_BSTR(counted.get()) = SysAllocStringByteLen(reinterpret_cast<const char*>(withZero), sizeof withZero);
  ASSERT_EQ(SysStringLen(V_BSTR(counted.get())), 18u);
  script.callMethod("Eval", counted.ref());
  EXPECT_EQ(Code(), 0);
  EXPECT_EQ(script.callMethodNumber("Eval", TextArg("Qoda2.length")), 3.0);

  rt::Text expression = rt::CopyText("Qoda.regPath.length");
  EXPECT_EQ(script.callMethodNumber("Eval", rt::automation::TextRef(expression)), 2.0);
  EXPECT_STREQ(expression, "Qoda.regPath.length");
  rt::program::Free(expression);

  Variant title = script.callMethodVariant("Eval", TextArg("Qoda.regPath[0].title"));
  EXPECT_EQ(Take(title.toText()), "桌面");
  // A string of digits reads as its number; other strings do not.
  EXPECT_EQ(script.callMethodNumber("Eval", TextArg("'17'")), 17.0);
  EXPECT_EQ(script.callMethodNumber("Eval", TextArg("Qoda.regPath[1].title")), 0.0);
  EXPECT_EQ(Code(), -8);
}

TEST_F(ScriptControl, ReleasingTheEngineEmptiesTheObject) {
  script.clear();
  EXPECT_TRUE(script.empty());
  EXPECT_EQ(script.callMethodNumber("Eval", TextArg("1")), 0.0);
  EXPECT_EQ(Code(), -1);
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = dir + "\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
      else DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryA(dir.c_str());
}

TEST(FileSystemObject, CopyFolderWithTwoTextsByReferenceCopiesTheTree) {
  // Process ids repeat under Wine, so the directory may be left from a run before.
  std::string root = MakeTempDirectory("copy");
  RemoveTree(root);
  ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
  std::string source = root + "\\源";
  ASSERT_TRUE(CreateDirectoryA(source.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((source + "\\sub").c_str(), nullptr));
  WriteAll(source + "\\a.txt", "alpha");
  WriteAll(source + "\\sub\\文件.txt", "beta");

  ComObject fso;
  ASSERT_TRUE(fso.create("scripting.FileSystemObject"));
  rt::Text from = rt::CopyText(source.c_str());
  rt::Text to = rt::CopyText((root + "\\新").c_str());
  rt::Text fromBefore = from, toBefore = to;
  fso.callMethod("CopyFolder", rt::automation::TextRef(from), rt::automation::TextRef(to));
  EXPECT_EQ(Code(), 0);
  EXPECT_EQ(LastText(), "");
  EXPECT_EQ(from, fromBefore);
  EXPECT_EQ(to, toBefore);
  EXPECT_EQ(ReadAll(root + "\\新\\a.txt"), "alpha");
  EXPECT_EQ(ReadAll(root + "\\新\\sub\\文件.txt"), "beta");

  // A missing source fails quietly with a code.
  rt::Text nowhere = rt::CopyText((root + "\\none").c_str());
  fso.callMethod("CopyFolder", rt::automation::TextRef(nowhere), rt::automation::TextRef(to));
  EXPECT_NE(Code(), 0);
  fso.clear();
  RemoveTree(root);
  rt::program::Free(from);
  rt::program::Free(to);
  rt::program::Free(nowhere);
}

}  // namespace
}  // namespace korvalin::test

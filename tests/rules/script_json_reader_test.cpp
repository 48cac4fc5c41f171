// The reader against the real script control.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "automation/bridge.h"
#include "rules/priming_script.h"
#include "rules/script_json_reader.h"
#include "runtime/interface/program_calls.h"
#include "tests/rules/rules_test_support.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

class Reader : public ::testing::Test {
 protected:
  bool Bind(const std::string& bytes) {
    void* block = ByteSetOf(bytes);
    bool bound = reader.bind(block);
    rt::program::Free(block);
    return bound;
  }
  bool Bind(const std::wstring& document) { return Bind(Utf8(document)); }
  std::string Text(const char* path) { return TakeText(reader.text(path)); }

  ScriptJsonReader reader;
};

const std::wstring kTwoRules = L"{\"regPath\":[{\"title\":\"桌面\",\"root\":3},{\"title\":\"我的文档\"}]}";

TEST_F(Reader, EveryEncodingReadsTheSameChineseTitles) {
  const std::string utf8Mark = "\xEF\xBB\xBF", utf16Mark = "\xFF\xFE";
  const std::string encodings[] = {
      Utf8(kTwoRules), std::string(utf8Mark).append(Utf8(kTwoRules)),
      std::string(utf16Mark).append(Utf16Bytes(kTwoRules)), Utf16Bytes(kTwoRules),
      Gbk(kTwoRules),
  };
  for (size_t i = 0; i < std::size(encodings); ++i) {
    SCOPED_TRACE(testing::Message() << "encoding " << i);
    ASSERT_TRUE(Bind(encodings[i]));
    EXPECT_EQ(reader.length("regPath"), 2);
    EXPECT_EQ(Text("regPath[0].title"), "桌面");
    EXPECT_EQ(Text("regPath[1].title"), "我的文档");
    EXPECT_EQ(reader.value("regPath[0].root").toNumber(), 3.0);
  }
}

TEST_F(Reader, TooShortDocumentsFailAndLeaveNoEngine) {
  for (const std::string bytes : {"7", "{}", "\xEF\xBB\xBF", "\xEF\xBB" "7"}) {
    SCOPED_TRACE(testing::Message() << "bytes: " << bytes);
    ASSERT_TRUE(Bind(std::string("[1]")));
    EXPECT_FALSE(Bind(bytes));
    EXPECT_FALSE(reader.bound());
    EXPECT_EQ(reader.length(""), 0);
  }
  // No bytes at all: refused before anything is touched.
  ASSERT_TRUE(Bind(std::string("[1]")));
  EXPECT_FALSE(Bind(std::string()));
  EXPECT_EQ(reader.length(""), 1);
}

TEST_F(Reader, AnyJavaScriptExpressionBinds) {
  ASSERT_TRUE(Bind(std::wstring(L"// rules\r\n{regPath: [{title: '下载', root: 1 + 2 * 1, /* inline */ path: 'a' + 'b'}]}")));
  EXPECT_EQ(reader.length("regPath"), 1);
  EXPECT_EQ(Text("regPath[0].title"), "下载");
  EXPECT_EQ(reader.value("regPath[0].root").toNumber(), 3.0);
  EXPECT_EQ(Text("regPath[0].path"), "ab");
  EXPECT_FALSE(Bind(std::wstring(L"{regPath: [}")));
}

TEST_F(Reader, NullBindsWithNoRules) {
  ASSERT_TRUE(Bind(std::wstring(L"null")));
  EXPECT_EQ(reader.length("regPath"), 0);
  EXPECT_NE(rt::automation::LastErrorCode(), 0);
  EXPECT_EQ(Text("regPath[0].title"), "");
}

TEST_F(Reader, ValuePathsAndLengths) {
  ASSERT_TRUE(Bind(std::wstring(L"['桌面', {moveFiles: true}]")));
  // "[0]" goes straight after the variable; a dot would not evaluate.
  EXPECT_EQ(Text("[0]"), "桌面");
  EXPECT_EQ(reader.length(""), 2);
  // length always puts a dot before the path.
  EXPECT_EQ(reader.length("[1]"), 0);
  EXPECT_TRUE(reader.value("[1].moveFiles").toBool());
  // A missing member is empty; a member of a missing object fails.
  rt::automation::Variant missing = reader.value("[1].none");
  EXPECT_EQ(V_VT(missing.get()), VT_EMPTY);
  EXPECT_EQ(rt::automation::LastErrorCode(), 0);
  rt::automation::Variant failed = reader.value("[5].title");
  EXPECT_EQ(V_VT(failed.get()), VT_EMPTY);
  EXPECT_EQ(rt::automation::LastErrorCode(), -11);
  // An empty path is the integer 0 and no call: the last code stays.
  rt::automation::Variant zero = reader.value("");
  EXPECT_EQ(V_VT(zero.get()), VT_I4);
  EXPECT_EQ(V_I4(zero.get()), 0);
  EXPECT_EQ(rt::automation::LastErrorCode(), -11);
}

TEST_F(Reader, AStringDocumentHasALength) {
  ASSERT_TRUE(Bind(std::wstring(L"{title: '我的文档', items: [1, 2, 3]}")));
  EXPECT_EQ(reader.length("title"), 4);
  EXPECT_EQ(reader.length("items"), 3);
  EXPECT_EQ(reader.length("none"), 0);
}

TEST_F(Reader, TheJsonObjectIsThere) {
  ASSERT_TRUE(Bind(std::wstring(
      L"{s: JSON.stringify({a: [1, 'x\\n', null, true], b: undefined}), p: JSON.parse('{\"b\": [2, 3]}').b[1],"
      L" r: JSON.parse('[1, 2]', function (k, v) { return typeof v === 'number' ? v * 10 : v; })[1],"
      L" bad: (function () { try { JSON.stringify(1, {}); return 'no'; } catch (e) { return e.message; } }()),"
      L" unsafe: (function () { try { JSON.parse('x = 1'); return 'no'; } catch (e) { return e.message; } }()),"
      L" date: new Date(Date.UTC(2021, 0, 2, 3, 4, 5)).toJSON(), text: 'abc'.toJSON(), flag: true.toJSON()}")));
  EXPECT_EQ(Text("s"), "{\"a\":[1,\"x\\n\",null,true]}");
  EXPECT_EQ(reader.value("p").toNumber(), 3.0);
  EXPECT_EQ(reader.value("r").toNumber(), 20.0);
  EXPECT_EQ(Text("bad"), "JSON.stringify");
  EXPECT_EQ(Text("unsafe"), "JSON.parse");
  EXPECT_EQ(Text("date"), "2021-01-02T03:04:05Z");
  EXPECT_EQ(Text("text"), "abc");
  EXPECT_TRUE(reader.value("flag").toBool());
}

TEST(PrimingScript, IsAsciiWithCrLfLineEnds) {
  for (const char* script : {kPrimingScript, kEngineLockScript}) {
    std::string text = script;
    ASSERT_FALSE(text.empty());
    for (size_t i = 0; i < text.size(); ++i) {
      ASSERT_LT(static_cast<unsigned char>(text[i]), 0x80u) << i;
      if (text[i] == '\n') {
        ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << i;
      }
      if (text[i] == '\r') {
        ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << i;
      }
    }
  }
}

// The JavaScript text of a path, with doubled backslashes.
std::wstring ScriptPath(const std::string& path) {
  std::wstring wide;
  for (char c : path) {
    wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    if (c == '\\') wide += L'\\';
  }
  return wide;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST_F(Reader, DocumentsCannotCreateObjects) {
  ASSERT_TRUE(Bind(std::string("[1]")));
  // Windows honours this; Wine keeps it but creates objects all the same.
  EXPECT_EQ(reader.engine().callMethodNumber("UseSafeSubset"), -1.0);
  std::string dir = MakeTempDirectory("planted");
  const std::wstring creators[] = {
      L"new ActiveXObject('Scripting.FileSystemObject')",
      L"(delete ActiveXObject, new ActiveXObject('Scripting.FileSystemObject'))",
      L"(this.ActiveXObject || ActiveXObject)('Scripting.FileSystemObject')",
      L"GetObject('', 'Scripting.FileSystemObject')",
  };
  int n = 0;
  for (const std::wstring& creator : creators) {
    std::string file = dir + "\\made" + std::to_string(++n) + ".txt";
    SCOPED_TRACE(file);
    std::wstring document = L"{regPath: [], x: " + creator + L".CreateTextFile('" + ScriptPath(file) +
                            L"').Close()}";
    EXPECT_FALSE(Bind(document));
    EXPECT_FALSE(Exists(file));
    DeleteFileA(file.c_str());
  }
  RemoveDirectoryA(dir.c_str());
}

}  // namespace
}  // namespace korvalin::test

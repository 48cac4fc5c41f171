// ReadRuleSet in a copy of this program with rules.json beside it, and
// Korvalin.exe started as a user starts it.
#include <gtest/gtest.h>

#include <windows.h>

#include <psapi.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "encoding/code_page.h"
#include "rules/rule_set.h"
#include "tests/support/scratch.h"
#include "runtime/interface/program_calls.h"
#include "tests/rules/rules_test_support.h"
#include "tests/support/test_image.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

constexpr char kShellFolders[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr char kScriptShellFolders[] = "SOFTWARE\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\User Shell Folders";
constexpr char kDownloads[] = "{374DE290-123F-4565-9164-39C4925E467B}";
constexpr char kFieldEnd = '\x1f';
constexpr char kRowEnd = '\x1e';

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Reads the rule set (giving rules.json the milliseconds in argv[3], when
// given) and writes every rule's fields, and where the rules came from.
KORVALIN_SCENARIO(dump_rule_set) {
  if (argc < 3) return 90;
  StartRuntime(ProgramTestImage());
  LoadedRules loaded = argc > 3 ? ReadRuleSet(nullptr, std::stoul(argv[3])) : ReadRuleSet();
  std::string out;
  for (const FolderRule& rule : loaded.rules) {
    out += rule.title + kFieldEnd + rule.name + kFieldEnd + std::to_string(rule.root) + kFieldEnd + rule.path +
           kFieldEnd + std::to_string(rule.moveFiles) + kFieldEnd + rule.currentDir + kFieldEnd +
           std::to_string(static_cast<int>(rule.problem)) + kRowEnd;
  }
  WriteAll(argv[2], out);
  WriteAll(std::string(argv[2]) + ".source", std::to_string(static_cast<int>(loaded.source)));
  return 0;
}

double PrivateKiB() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  return static_cast<double>(counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage) / 1024;
}

// Reads the rule set giving rules.json the milliseconds in argv[3], then
// writes where the rules came from and how much private memory the process
// gained in the two seconds after.
KORVALIN_SCENARIO(growth_after_giving_up) {
  if (argc < 4) return 90;
  StartRuntime(ProgramTestImage());
  LoadedRules loaded = ReadRuleSet(nullptr, std::stoul(argv[3]));
  const double before = PrivateKiB();
  Sleep(2000);
  WriteAll(argv[2], std::to_string(static_cast<int>(loaded.source)) + " " +
                        std::to_string(static_cast<long long>(PrivateKiB() - before)));
  return 0;
}

struct Row {
  std::string title, name;
  int root = 0;
  std::string path;
  int moveFiles = 0;
  std::string currentDir;
  int problem = 0;
  bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& r) {
  return out << "{" << r.title << " | " << r.name << " | " << r.root << " | " << r.path << " | " << r.moveFiles
             << " | " << r.currentDir << " | " << r.problem << "}";
}

std::vector<Row> ParseRows(const std::string& dump) {
  std::vector<Row> rows;
  size_t at = 0;
  while (at < dump.size()) {
    size_t end = dump.find(kRowEnd, at);
    std::vector<std::string> fields;
    for (size_t f = at; f <= end;) {
      size_t next = std::min(dump.find(kFieldEnd, f), end);
      fields.push_back(dump.substr(f, next - f));
      f = next + 1;
    }
    if (fields.size() != 7) return rows;
    rows.push_back(
        {fields[0], fields[1], std::stoi(fields[2]), fields[3], std::stoi(fields[4]), fields[5], std::stoi(fields[6])});
    at = end + 1;
  }
  return rows;
}

// A copy of this program in a fresh directory: rules.json beside it is ours.
class RulesBeside : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new std::string(MakeTempDirectory("rules"));
    CopyFileA(ThisProgramPath().c_str(), Program().c_str(), FALSE);
  }
  static void TearDownTestSuite() {
    DeleteFileA(Program().c_str());
    DeleteFileA((*dir_ + "\\rules.json").c_str());
    DeleteFileA((*dir_ + "\\rows.txt").c_str());
    RemoveDirectoryA(dir_->c_str());
    delete dir_;
  }
  static std::string Program() { return *dir_ + "\\rules_copy.exe"; }
  static std::string RulesFile() { return *dir_ + "\\rules.json"; }
  static std::string ChildArguments() { return "--child=dump_rule_set \"" + *dir_ + "\\rows.txt\""; }

  // The rows loaded with this rules.json, or with none; `source` gets
  // where they came from.
  std::vector<Row> Load(const std::optional<std::string>& rules, int* source = nullptr,
                        const std::string& evaluationMs = "") {
    if (rules) WriteAll(RulesFile(), *rules);
    else DeleteFileA(RulesFile().c_str());
    std::string out = *dir_ + "\\rows.txt";
    DeleteFileA(out.c_str());
    EXPECT_EQ(RunProcess(Program(), "--child=dump_rule_set \"" + out + "\" " + evaluationMs, 30000), 0u);
    std::string from = ReadAll(out + ".source");
    if (source) *source = from.empty() ? -1 : std::stoi(from);
    return ParseRows(ReadAll(out));
  }

  static std::string* dir_;
};
std::string* RulesBeside::dir_ = nullptr;

// What the folder's directory should read as, straight from the registry;
// empty when there is none.
std::string ExpectedDirectory(const char* name) {
  char stored[1024] = {};
  DWORD size = sizeof stored;
  if (RegGetValueA(HKEY_CURRENT_USER, kShellFolders, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                   nullptr, stored, &size) != ERROR_SUCCESS || stored[0] == '\0')
    return "";
  char expanded[1024] = {};
  ExpandEnvironmentStringsA(stored, expanded, sizeof expanded);
  return expanded;
}

Row Rule(const char* title, const char* name, int root, int moveFiles) {
  std::string dir = ExpectedDirectory(name);
  return {title, name, dir.empty() ? -1 : root, kShellFolders, moveFiles, dir, dir.empty() ? 1 : 0};
}

std::vector<Row> BuiltInRows() {
  return {Rule("桌面", "Desktop", 3, 1), Rule("我的文档", "Personal", 3, 1), Rule("下载", kDownloads, 3, 0)};
}

void ExpectRules(const std::vector<Row>& rows, const std::vector<Row>& rules) {
  ASSERT_EQ(rows.size(), rules.size());
  for (size_t i = 0; i < rules.size(); ++i) EXPECT_EQ(rows[i], rules[i]) << "rule " << i;
}

TEST_F(RulesBeside, WithoutAUsableFileTheBuiltInRulesLoad) {
  EXPECT_FALSE(ExpectedDirectory("Desktop").empty()) << "the prefix has a Desktop folder";
  ExpectRules(Load(std::nullopt), BuiltInRows());
  ExpectRules(Load("{regPath: [{title: 'x'},]"), BuiltInRows());
  ExpectRules(Load(""), BuiltInRows());
}

TEST_F(RulesBeside, ADocumentWithoutRulesGivesNoRules) {
  ExpectRules(Load("{}\r\n"), {});
  ExpectRules(Load("{\"regPath\": []}"), {});
}

std::string RuleText(const std::string& title, const std::string& name, const std::string& more) {
  return "{\"title\": " + title + ", \"name\": \"" + name + "\", \"path\": \"" + kScriptShellFolders + "\"" + more +
         "}";
}

TEST_F(RulesBeside, FieldsAreConvertedAndMissingValuesMarkTheRowInvalid) {
  std::string rules = "{\"regPath\": [" + RuleText("\"一\"", "Desktop", ", \"root\": 3.9") + ", " +
                      RuleText("12", "Personal", ", \"root\": \"3\", \"moveFiles\": 1") + ", " +
                      RuleText("\"三\"", "KorvalinNoSuchValue", ", \"root\": 3, \"moveFiles\": true") + "]}";
  ExpectRules(Load(rules), {Rule("一", "Desktop", 3, 0), Rule("12", "Personal", 3, 1),
                            {"三", "KorvalinNoSuchValue", -1, kShellFolders, 1, "", 1}});
}

TEST_F(RulesBeside, ElevenRulesAndRepeatedRulesAllLoadInOrder) {
  std::string rules = "{\"regPath\": [";
  std::vector<Row> expected;
  for (int i = 0; i <= 10; ++i) {
    std::string title = "规则" + std::to_string(i);
    rules += (i ? ", " : "") + RuleText("\"" + title + "\"", "Desktop", ", \"root\": 3, \"moveFiles\": true");
    expected.push_back(Rule(title.c_str(), "Desktop", 3, 1));
  }
  // Titles are the program's code page here; the file is UTF-8.
  int units = MultiByteToWideChar(kProgramCodePage, 0, rules.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(kProgramCodePage, 0, rules.c_str(), -1, wide.data(), units);
  wide.resize(wcslen(wide.c_str()));
  std::vector<Row> rows = Load("\xEF\xBB\xBF" + Utf8(wide + L"]}"));
  ExpectRules(rows, expected);
  ASSERT_EQ(rows.size(), 11u);
  EXPECT_EQ(rows[10].title, "规则10");

  std::string twice = RuleText("\"下载\"", kDownloads, ", \"root\": 3");
  rows = Load("{regPath: [" + twice + ", " + twice + "]}");
  ExpectRules(rows, {Rule("下载", kDownloads, 3, 0), Rule("下载", kDownloads, 3, 0)});
}

// Members are read as the script has them: names are case-sensitive, and
// any object with a length and numbered members serves as the rules array.
TEST_F(RulesBeside, RulesAreReadAsTheScriptSeesThem) {
  const std::string path = std::string("'") + kScriptShellFolders + "'";
  std::string rules = "{regPath: {length: 2, 0: {Title: '大写', title: '小写', Name: 'Personal', name: 'Desktop', "
                      "root: 3, Root: 1, path: " + path + ", MoveFiles: true}, "
                      "'1': {title: 7, name: 'Personal', root: '3', path: " + path + ", moveFiles: 2}}}";
  ExpectRules(Load(rules), {Rule("小写", "Desktop", 3, 0), Rule("7", "Personal", 3, 1)});
  // The length decides, whatever members there are.
  ExpectRules(Load("{regPath: {length: 0, 0: {title: 'x'}}}"), {});
}

TEST_F(RulesBeside, APlantedDocumentCreatesNothingAndTheBuiltInRulesLoad) {
  std::string made = MakeTempDirectory("planted") + "\\made.txt";
  std::string scriptPath;
  for (char c : made) scriptPath += c == '\\' ? std::string("\\\\") : std::string(1, c);
  ExpectRules(Load("{regPath: [], x: new ActiveXObject('Scripting.FileSystemObject').CreateTextFile('" +
                   scriptPath + "').Close()}"),
              BuiltInRows());
  EXPECT_EQ(GetFileAttributesA(made.c_str()), INVALID_FILE_ATTRIBUTES);
  DeleteFileA(made.c_str());
  RemoveDirectoryA(made.substr(0, made.rfind('\\')).c_str());
}

TEST_F(RulesBeside, ADocumentThatNeverFinishesGivesWayToTheBuiltInRules) {
  int source = -1;
  // 1 s for the document here; the program gives it eight.
  ExpectRules(Load("{\"regPath\": (function () { for (;;) {} })()}", &source, "1000"), BuiltInRows());
  EXPECT_EQ(source, static_cast<int>(RulesSource::kBuiltInTimedOut));
  ExpectRules(Load("{\"regPath\": []}", &source, "1000"), {});
  EXPECT_EQ(source, static_cast<int>(RulesSource::kFile));
  Load("{x", &source);
  EXPECT_EQ(source, static_cast<int>(RulesSource::kBuiltIn));
}

// A length the document only claims: once the wait is given up, the
// abandoned thread must stop adding empty rules, not run on until the
// program is out of memory.
TEST_F(RulesBeside, ReadingStopsWhenTheWaitIsGivenUp) {
  WriteAll(RulesFile(), "{regPath: {length: 2147483647}}");
  const std::string out = *dir_ + "\\growth.txt";
  DeleteFileA(out.c_str());
  ASSERT_EQ(RunProcess(Program(), "--child=growth_after_giving_up \"" + out + "\" 1000", 30000), 0u);
  int source = -1;
  long long growthKiB = -1;
  std::istringstream(ReadAll(out)) >> source >> growthKiB;
  DeleteFileA(out.c_str());
  EXPECT_EQ(source, static_cast<int>(RulesSource::kBuiltInTimedOut));
  EXPECT_LT(growthKiB, 16 * 1024) << "KiB gained in the two seconds after the rules were given up";
}

TEST_F(RulesBeside, AFileLargerThanAnyRuleSetIsNotRead) {
  // A valid document that a padding comment makes too large.
  std::string rules = "{\"regPath\": []} //";
  rules.resize(static_cast<size_t>(kLargestRulesFile) + 1, 'x');
  int source = -1;
  ExpectRules(Load(rules, &source), BuiltInRows());
  EXPECT_EQ(source, static_cast<int>(RulesSource::kBuiltInTooLarge));
  rules.resize(static_cast<size_t>(kLargestRulesFile));
  ExpectRules(Load(rules, &source), {});
  EXPECT_EQ(source, static_cast<int>(RulesSource::kFile));
}

TEST_F(RulesBeside, DirectoriesAndNamesThatCannotBeUsedMarkTheRuleInvalid) {
  const std::string key = "Software\\KorvalinTests\\" + UniqueName("Rules");
  WriteValue(HKEY_CURRENT_USER, key, "Odd", "C:\\users\\????");
  WriteValue(HKEY_CURRENT_USER, key, "Star", "C:\\a*");
  WriteValue(HKEY_CURRENT_USER, key, "Relative", "RelDesk");
  WriteValue(HKEY_CURRENT_USER, key, "Fine", "\\\\server\\share\\desk");
  WriteValue(HKEY_CURRENT_USER, key, "Plain", "C:\\desk");
  std::string scriptKey;
  for (char c : key) scriptKey += c == '\\' ? std::string("\\\\") : std::string(1, c);
  auto rule = [&](const char* name) {
    return std::string("{\"title\": \"t\", \"root\": 3, \"name\": \"") + name + "\", \"path\": \"" + scriptKey + "\"}";
  };
  std::vector<Row> rows = Load("{\"regPath\": [" + rule("Odd") + ", " + rule("Star") + ", " + rule("Relative") + ", " +
                               rule("Fine") + ", " + rule("Plain") + ", " + rule("Pl?in") + "]}");
  const int unrepresentable = static_cast<int>(RuleProblem::kUnrepresentable);
  const int relative = static_cast<int>(RuleProblem::kRelative);
  ExpectRules(rows, {{"t", "Odd", -1, key, 0, "", unrepresentable},
                     {"t", "Star", -1, key, 0, "", unrepresentable},
                     {"t", "Relative", -1, key, 0, "", relative},
                     {"t", "Fine", 3, key, 0, "\\\\server\\share\\desk", 0},
                     {"t", "Plain", 3, key, 0, "C:\\desk", 0},
                     {"t", "Pl?in", -1, key, 0, "", unrepresentable}});
  DeleteKeyTree(HKEY_CURRENT_USER, key);
}

TEST_F(RulesBeside, ARootOutsideTheCodesEndsTheProgramWithError9) {
  for (const char* root : {"", ", \"root\": 4294967299"}) {
    SCOPED_TRACE(root);
    WriteAll(RulesFile(), "{\"regPath\": [" + RuleText("\"x\"", "Desktop", root) + "]}");
    HANDLE child = StartProcess(Program(), ChildArguments());
    ASSERT_NE(child, nullptr);
    ChildError error = AwaitChildError(child);
    EXPECT_TRUE(error.shown);
    EXPECT_NE(error.text.find("错误代码：9"), std::string::npos) << error.text;
    EXPECT_TRUE(IsExitMinusOne(error.exitCode)) << error.exitCode;
  }
}

// The list box rows of Korvalin.exe started with no rules.json beside it.
TEST(KorvalinStarted, ListsTheHeaderAndTheThreeDefaultFolders) {
  std::string dir = MakeTempDirectory("started");
  std::string exe = dir + "\\Korvalin.exe";
  ASSERT_TRUE(CopyFileA(KORVALIN_EXE, exe.c_str(), FALSE));
  std::vector<std::wstring> titles;
  HWND list = nullptr;
  DWORD code = ~0u;
  {
    ProgramRun run(exe, "", "SysPath_Mirt_Main", dir.c_str());
    // The list box comes just after the window, its rows on first activation.
    for (int i = 0; run.window() && i < 300; ++i) {
      if (!list) list = FindWindowExA(run.window(), nullptr, "ListBox", nullptr);
      if (list && SendMessageA(list, LB_GETCOUNT, 0, 0) >= 4) break;
      if (i == 40) SetForegroundWindow(run.window());
      Sleep(50);
    }
    int count = list ? static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)) : -1;
    for (int i = 0; i < count; ++i) {
      // Across processes Wine hands list-box strings back as UTF-16.
      wchar_t title[1024] = {};
      SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(title));
      titles.push_back(title);
    }
    if (run.window()) code = run.Close();
  }
  DeleteFileA(exe.c_str());
  DeleteFileA((dir + "\\Win.data").c_str());
  RemoveDirectoryA(dir.c_str());

  ASSERT_NE(list, nullptr);
  ASSERT_EQ(titles.size(), 4u);
  EXPECT_NE(titles[0].find(L"\r\n"), std::wstring::npos);
  EXPECT_EQ(titles[1], L"桌面");
  EXPECT_EQ(titles[2], L"我的文档");
  EXPECT_EQ(titles[3], L"下载");
  EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace korvalin::test

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/interface/command_calls.h"
#include "runtime/commands/commands.h"
#include "runtime/interface/program_calls.h"
#include "runtime/values/value_helpers.h"
#include "tests/support/test_support.h"

namespace {

using rt::program::Free;
namespace test = korvalin::test;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void PutFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string GetFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string TakeBytes(void* byteSet) {
  std::string s(reinterpret_cast<const char*>(rt::ByteSetData(byteSet)), rt::ByteSetLength(byteSet));
  Free(byteSet);
  return s;
}

// The texts of an array value; a null element reads as "".
std::vector<std::string> Texts(void* array) {
  std::vector<std::string> out;
  for (int64_t i = 0; i < rt::ArrayElementCount(array); ++i) {
    const char* t = rt::ArrayElements<char*>(array)[i];
    out.push_back(t ? t : "");
  }
  return out;
}

std::vector<std::string> Split(const char* commandLine) {
  void* array = rt::commands::SplitCommandLine(commandLine);
  EXPECT_EQ(rt::ArrayDimensions(array), 1);
  std::vector<std::string> texts = Texts(array);
  rt::FreeArray(rt::kTagText, array);
  return texts;
}

using Args = std::vector<std::string>;

TEST(FileCommands, RunDirectoryIsTheProgramsWithoutBackslash) {
  rt::Text directory = rt::cmd::GetRunDirectory();
  ASSERT_NE(directory, nullptr);
  EXPECT_EQ(std::string(directory), test::ThisProgramDirectory());
  EXPECT_NE(std::string(directory).back(), '\\');
  Free(directory);
}

TEST(FileCommands, WriteThenReadRoundTripSkippingEmptySets) {
  std::string dir = test::MakeTempDirectory("files");
  std::string path = dir + "\\data.bin";
  PutFile(path, std::string(100, 'z'));  // create-always: the old bytes go
  void* a = rt::NewByteSet("ab\0", 3);
  void* b = rt::NewByteSet("cd", 2);
  EXPECT_TRUE(rt::cmd::WriteFileBytes(path.c_str(), {a, nullptr, b}));
  EXPECT_EQ(GetFile(path), std::string("ab\0cd", 5));
  EXPECT_EQ(TakeBytes(rt::cmd::ReadFileBytes(path.c_str())), std::string("ab\0cd", 5));
  Free(a);
  Free(b);
  EXPECT_TRUE(rt::cmd::WriteFileBytes(path.c_str(), {}));
  EXPECT_TRUE(Exists(path));
  EXPECT_EQ(rt::cmd::ReadFileBytes(path.c_str()), nullptr);  // an empty file is the empty byte set
}

TEST(FileCommands, FailuresAreResultsNotErrors) {
  std::string dir = test::MakeTempDirectory("files");
  EXPECT_EQ(rt::cmd::ReadFileBytes((dir + "\\missing.bin").c_str()), nullptr);
  EXPECT_EQ(rt::cmd::ReadFileBytes(""), nullptr);
  EXPECT_EQ(rt::cmd::ReadFileBytes(dir.c_str()), nullptr);  // a directory
  void* a = rt::NewByteSet("x", 1);
  EXPECT_FALSE(rt::cmd::WriteFileBytes("", {a}));
  EXPECT_FALSE(rt::cmd::WriteFileBytes((dir + "\\no\\such\\file").c_str(), {a}));
  Free(a);
}

TEST(FileCommands, SharingWriteIsExclusiveReadDeniesWriters) {
  std::string path = test::MakeTempDirectory("share") + "\\shared.bin";
  PutFile(path, "hello");
  HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  void* a = rt::NewByteSet("x", 1);
  EXPECT_FALSE(rt::cmd::WriteFileBytes(path.c_str(), {a}));  // someone else has it open
  EXPECT_EQ(TakeBytes(rt::cmd::ReadFileBytes(path.c_str())), "hello");  // readers share
  CloseHandle(reader);

  HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(rt::cmd::ReadFileBytes(path.c_str()), nullptr);  // reading denies writers
  CloseHandle(writer);
  EXPECT_TRUE(rt::cmd::WriteFileBytes(path.c_str(), {a}));
  EXPECT_EQ(GetFile(path), "x");
  Free(a);
}

TEST(DirectoryCommands, MakeDirectoryCreatesOneLevel) {
  std::string dir = test::MakeTempDirectory("mkdir");
  EXPECT_TRUE(rt::cmd::MakeDirectory((dir + "\\one").c_str()));
  EXPECT_FALSE(rt::cmd::MakeDirectory((dir + "\\one").c_str()));
  EXPECT_FALSE(rt::cmd::MakeDirectory((dir + "\\two\\three").c_str()));
  EXPECT_FALSE(Exists(dir + "\\two"));
}

TEST(DirectoryCommands, DeleteTreeRemovesEverything) {
  std::string dir = test::MakeTempDirectory("tree");
  CreateDirectoryA((dir + "\\sub").c_str(), nullptr);
  CreateDirectoryA((dir + "\\sub\\deeper").c_str(), nullptr);
  CreateDirectoryA((dir + "\\empty").c_str(), nullptr);
  PutFile(dir + "\\a.txt", "a");
  PutFile(dir + "\\sub\\桌面.txt", "b");
  PutFile(dir + "\\sub\\deeper\\c", "c");
  EXPECT_TRUE(rt::cmd::DeleteDirectoryTree(("  " + dir).c_str()));
  EXPECT_FALSE(Exists(dir));
  EXPECT_FALSE(rt::cmd::DeleteDirectoryTree(dir.c_str()));  // already gone
}

TEST(DirectoryCommands, DotEntriesStayAndSoDoesTheirDirectory) {
  std::string dir = test::MakeTempDirectory("dots");
  CreateDirectoryA((dir + "\\sub").c_str(), nullptr);
  CreateDirectoryA((dir + "\\.hidden").c_str(), nullptr);
  PutFile(dir + "\\sub\\x", "x");
  PutFile(dir + "\\.keep", "k");
  PutFile(dir + "\\plain", "p");
  EXPECT_FALSE(rt::cmd::DeleteDirectoryTree(dir.c_str()));
  EXPECT_TRUE(Exists(dir + "\\.keep"));
  EXPECT_TRUE(Exists(dir + "\\.hidden"));
  EXPECT_FALSE(Exists(dir + "\\sub"));
  EXPECT_FALSE(Exists(dir + "\\plain"));
}

TEST(CommandLineArgs, Splitting) {
  EXPECT_EQ(Split("\"C:\\prog path\\k.exe\" -reset \"a b\""), (Args{"-reset", "a b"}));
  EXPECT_EQ(Split("k.exe -x"), (Args{"-x"}));
  EXPECT_EQ(Split("k.exe"), Args{});
  EXPECT_EQ(Split("\"k.exe\""), Args{});
  EXPECT_EQ(Split("\"k.exe\"-x"), (Args{"-x"}));
  EXPECT_EQ(Split("k.exe a \"\"  b"), (Args{"a", "", "b"}));
  EXPECT_EQ(Split("k.exe a\"b c\"d"), (Args{"a", "b c", "d"}));
  EXPECT_EQ(Split("k.exe   a\tb\r\n"), (Args{"a", "b"}));
  EXPECT_EQ(Split("k.exe \"open end"), (Args{"open end"}));
  EXPECT_EQ(Split("k.exe 桌面\"x\""), (Args{"桌面", "x"}));
  EXPECT_EQ(Split("\"open program"), Args{});
  EXPECT_EQ(Split(""), Args{});
}

TEST(CommandLineArgs, NoArgumentsIsAZeroLengthArray) {
  void* array = rt::commands::SplitCommandLine("k.exe");
  ASSERT_NE(array, nullptr);
  EXPECT_EQ(rt::ArrayDimensions(array), 1);
  EXPECT_EQ(rt::ArraySizes(array)[0], 0);
  rt::FreeArray(rt::kTagText, array);
}

KORVALIN_SCENARIO(command_line_args) {
  test::StartRuntime(test::PlainTestImage());
  // The variable starts with an array of its own, which the command frees.
  void* array = rt::NewArray(1, sizeof(char*));
  rt::ArrayElements<char*>(array)[0] = rt::CopyText("old");
  rt::cmd::GetCommandLineArgs(&array);
  const Args expected = {"--child=command_line_args", "-reset", "a b", "", "桌面"};
  Args got = Texts(array);
  if (got.size() != expected.size()) return 10 + static_cast<int>(got.size());
  for (size_t i = 0; i < got.size(); ++i)
    if (got[i] != expected[i]) return 20 + static_cast<int>(i);
  if (rt::ArrayElements<char*>(array)[3] != nullptr) return 30;
  rt::cmd::GetCommandLineArgs(&array);  // again, over the array it made
  rt::FreeArray(rt::kTagText, array);
  return 0;
}

TEST(CommandLineArgs, ReadsThisProcesssCommandLine) {
  EXPECT_EQ(test::RunChild("command_line_args", "-reset \"a b\" \"\" 桌面"), 0u);
}

// Writes what the process was started with: STARTF_USESHOWWINDOW and the show mode.
KORVALIN_SCENARIO(report_show_mode) {
  if (argc < 3) return 2;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  std::string report = std::to_string((startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : 99);
  PutFile(argv[2], report);
  return 0;
}

KORVALIN_SCENARIO(write_after_delay) {
  if (argc < 4) return 2;
  Sleep(static_cast<DWORD>(std::atoi(argv[3])));
  PutFile(argv[2], "done");
  return 0;
}

std::string ChildLine(const std::string& scenario, const std::string& tail) {
  std::string line = "\"";
  line += test::ThisProgramPath();
  line += "\" --child=";
  line += scenario;
  line += ' ';
  line += tail;
  return line;
}

TEST(RunCommandLineCommand, WindowModesClamp) {
  std::string report = test::MakeTempDirectory("show") + "\\mode.txt";
  std::string line = ChildLine("report_show_mode", "\"" + report + "\"");
  auto run = [&](rt::ValueRecord mode) {
    DeleteFileA(report.c_str());
    rt::ValueRecord args[3] = {rt::program::TextArg(line.c_str()), rt::program::BoolArg(true), mode};
    rt::ValueRecord result;
    rt::commands::RunCommandLine(&result, 3, args);
    EXPECT_EQ(result.tag, rt::kTagBool);
    EXPECT_EQ(result.low, 1u);
    return GetFile(report);
  };
  using rt::program::IntArg;
  EXPECT_EQ(run(rt::program::Omitted()), std::to_string(SW_SHOWNORMAL));
  EXPECT_EQ(run(IntArg(0)), std::to_string(SW_HIDE));
  EXPECT_EQ(run(IntArg(-3)), std::to_string(SW_HIDE));
  EXPECT_EQ(run(IntArg(3)), std::to_string(SW_SHOWMINIMIZED));
  EXPECT_EQ(run(IntArg(4)), std::to_string(SW_SHOWMAXIMIZED));
  EXPECT_EQ(run(IntArg(5)), std::to_string(SW_SHOWNOACTIVATE));
  EXPECT_EQ(run(IntArg(9)), std::to_string(SW_MINIMIZE));
}

TEST(RunCommandLineCommand, WaitWaitsForTheEndAndNoWaitDoesNot) {
  std::string dir = test::MakeTempDirectory("run");
  std::string waited = dir + "\\waited.txt";
  EXPECT_TRUE(rt::cmd::RunCommandLine(ChildLine("write_after_delay", "\"" + waited + "\" 400").c_str(), true));
  EXPECT_EQ(GetFile(waited), "done");

  std::string later = dir + "\\later.txt";
  DWORD start = GetTickCount();
  EXPECT_TRUE(rt::cmd::RunCommandLine(ChildLine("write_after_delay", "\"" + later + "\" 3000").c_str(), false, 1));
  EXPECT_LT(GetTickCount() - start, 2500u);
  EXPECT_FALSE(Exists(later));
  for (int i = 0; i < 200 && !Exists(later); ++i) Sleep(50);  // let it finish before the directory is left
  EXPECT_TRUE(Exists(later));
}

TEST(RunCommandLineCommand, AProgramThatCannotStartIsFalse) {
  EXPECT_FALSE(rt::cmd::RunCommandLine("C:\\no\\such\\program.exe", true));
  EXPECT_FALSE(rt::cmd::RunCommandLine("", false));
}

TEST(DelayCommand, SleepsAndTreatsNegativeAsZero) {
  DWORD start = GetTickCount();
  rt::cmd::Delay(150);
  EXPECT_GE(GetTickCount() - start, 120u);
  start = GetTickCount();
  rt::cmd::Delay(-1000);
  EXPECT_LT(GetTickCount() - start, 500u);
}

}  // namespace

// Binding of declared platform functions: search order, caching, ordinals,
// the checked call, and the two failure messages.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/kernel/kernel.h"
#include "runtime/interface/program_calls.h"
#include "tests/runtime/interface/declared_table.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

using rt::program::CallDeclared;

// While alive, routes this program's own imports of LoadLibraryA and
// FreeLibrary through recorders, so a test sees which modules binding loads
// and frees, in order. With a file, each call is also appended there at
// once, for a child that ends in a runtime error.
class LoaderLog {
 public:
  struct Call {
    bool load;
    std::string name;
    HMODULE module;
  };

  explicit LoaderLog(std::string file = "") : file_(std::move(file)) {
    loadSlot_ = ImportSlot("LoadLibraryA");
    freeSlot_ = ImportSlot("FreeLibrary");
    if (!loadSlot_ || !freeSlot_) return;
    realLoad_ = reinterpret_cast<LoadFunction>(*loadSlot_);
    realFree_ = reinterpret_cast<FreeFunction>(*freeSlot_);
    active_ = this;
    Patch(loadSlot_, reinterpret_cast<void*>(&RecordingLoad));
    Patch(freeSlot_, reinterpret_cast<void*>(&RecordingFree));
  }
  ~LoaderLog() {
    if (active_ != this) return;
    Patch(loadSlot_, reinterpret_cast<void*>(realLoad_));
    Patch(freeSlot_, reinterpret_cast<void*>(realFree_));
    active_ = nullptr;
  }
  LoaderLog(const LoaderLog&) = delete;
  LoaderLog& operator=(const LoaderLog&) = delete;

  bool hooked() const { return active_ == this; }
  const std::vector<Call>& calls() const { return calls_; }
  std::vector<std::string> loadedNames() const {
    std::vector<std::string> names;
    for (const Call& c : calls_)
      if (c.load) names.push_back(c.name);
    return names;
  }

 private:
  using LoadFunction = HMODULE(WINAPI*)(LPCSTR);
  using FreeFunction = BOOL(WINAPI*)(HMODULE);

  static HMODULE WINAPI RecordingLoad(LPCSTR name) {
    HMODULE module = active_->realLoad_(name);
    active_->Add({true, name ? name : "", module});
    return module;
  }
  static BOOL WINAPI RecordingFree(HMODULE module) {
    active_->Add({false, "", module});
    return active_->realFree_(module);
  }

  void Add(const Call& call) {
    calls_.push_back(call);
    if (file_.empty()) return;
    if (FILE* f = std::fopen(file_.c_str(), "a")) {
      std::fprintf(f, "%s %s %s\n", call.load ? "load" : "free", call.name.c_str(), call.module ? "ok" : "null");
      std::fclose(f);
    }
  }

  // This program's import address table entry for a kernel32 function.
  static void** ImportSlot(const char* function) {
    auto* base = reinterpret_cast<unsigned char*>(GetModuleHandleA(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
      if (_stricmp(reinterpret_cast<char*>(base + d->Name), "kernel32.dll") != 0 || !d->OriginalFirstThunk) continue;
      auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
      auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
      for (; names->u1.AddressOfData; ++names, ++slots) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
        auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
        if (std::strcmp(reinterpret_cast<char*>(byName->Name), function) == 0)
          return reinterpret_cast<void**>(&slots->u1.Function);
      }
    }
    return nullptr;
  }
  static void Patch(void** slot, void* value) {
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
  }

  static inline LoaderLog* active_ = nullptr;
  std::string file_;
  void** loadSlot_ = nullptr;
  void** freeSlot_ = nullptr;
  LoadFunction realLoad_ = nullptr;
  FreeFunction realFree_ = nullptr;
  std::vector<Call> calls_;
};

rt::kernel::State& Kernel() { return rt::kernel::Get(); }

std::string ModuleFileName(HMODULE module) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(module, path, sizeof path);
  return path;
}

bool SamePath(const std::string& a, const std::string& b) { return _stricmp(a.c_str(), b.c_str()) == 0; }

std::string BesideLibrary() { return ThisProgramDirectory() + "\\korvalin_testlib.dll"; }
std::string AltLibrary() { return ThisProgramDirectory() + "\\testlib-alt\\korvalin_testlib.dll"; }

TEST(DeclaredBinding, EmptyLibraryNameBindsThroughGdi32AfterKernel32IsFreed) {
  LoaderLog log;
  ASSERT_TRUE(log.hooked());
  HFONT font = CallDeclared<HFONT>(kCreateFontNoLibrary, 16, 0, 0, 0, FW_NORMAL, DWORD{0}, DWORD{0}, DWORD{0},
                                   DWORD{DEFAULT_CHARSET}, DWORD{0}, DWORD{0}, DWORD{0}, DWORD{0}, "Arial");
  ASSERT_NE(font, nullptr);
  DeleteObject(font);

  HMODULE gdi32 = GetModuleHandleA("gdi32.dll");
  const auto& calls = log.calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_TRUE(calls[0].load);
  EXPECT_EQ(calls[0].name, "Kernel32.dll");
  EXPECT_NE(calls[0].module, nullptr);
  EXPECT_FALSE(calls[1].load) << "Kernel32.dll was not released";
  EXPECT_EQ(calls[1].module, calls[0].module);
  EXPECT_TRUE(calls[2].load);
  EXPECT_EQ(calls[2].name, "Gdi32.dll");
  EXPECT_EQ(calls[2].module, gdi32);
  EXPECT_EQ(Kernel().boundModules[kCreateFontNoLibrary], gdi32);
  EXPECT_EQ(Kernel().boundAddresses[kCreateFontNoLibrary],
            reinterpret_cast<void*>(GetProcAddress(gdi32, "CreateFontA")));
}

TEST(DeclaredBinding, SecondCallUsesTheCachedAddress) {
  EXPECT_EQ(CallDeclared<DWORD>(kProcessId), GetCurrentProcessId());
  void* address = Kernel().boundAddresses[kProcessId];
  HMODULE module = Kernel().boundModules[kProcessId];
  ASSERT_NE(address, nullptr);
  ASSERT_NE(module, nullptr);

  // With the name gone, only the cache can still find the function.
  std::string name = Kernel().functionNames[kProcessId];
  Kernel().functionNames[kProcessId] = "NoSuchFunctionKorvalin";
  LoaderLog log;
  DWORD again = CallDeclared<DWORD>(kProcessId);
  Kernel().functionNames[kProcessId] = name;
  EXPECT_EQ(again, GetCurrentProcessId());
  EXPECT_TRUE(log.calls().empty());
  EXPECT_EQ(Kernel().boundAddresses[kProcessId], address);
  EXPECT_EQ(Kernel().boundModules[kProcessId], module);
}

// Binding tries the program directory first, and that failed load sets
// the thread's last error; the program's error from before the call must
// still be there when the first call is GetLastError itself.
TEST(DeclaredBinding, BindingLeavesTheLastErrorAlone) {
  ASSERT_EQ(Kernel().boundAddresses[kLastError], nullptr);
  SetLastError(ERROR_FILE_EXISTS);
  EXPECT_EQ(CallDeclared<DWORD>(kLastError), static_cast<DWORD>(ERROR_FILE_EXISTS));
  ASSERT_NE(Kernel().boundAddresses[kLastError], nullptr);
}

TEST(DeclaredBinding, SameFunctionUnderAnotherIndexIsBoundOnItsOwn) {
  CallDeclared<DWORD>(kProcessId);
  ASSERT_EQ(Kernel().boundAddresses[kProcessIdAgain], nullptr);
  LoaderLog log;
  EXPECT_EQ(CallDeclared<DWORD>(kProcessIdAgain), GetCurrentProcessId());
  EXPECT_FALSE(log.loadedNames().empty());
  EXPECT_EQ(Kernel().boundAddresses[kProcessIdAgain], Kernel().boundAddresses[kProcessId]);
  EXPECT_NE(Kernel().boundModules[kProcessIdAgain], nullptr);
}

TEST(DeclaredBinding, RelativeNameIsLoadedFromTheProgramDirectory) {
  LoaderLog log;
  EXPECT_EQ(CallDeclared<uint32_t>(kMarker), kBesideMarker);
  ASSERT_EQ(log.calls().size(), 1u);
  EXPECT_EQ(log.calls()[0].name, ThisProgramDirectory() + "\\korvalin_testlib");
  EXPECT_TRUE(SamePath(ModuleFileName(Kernel().boundModules[kMarker]), BesideLibrary()));
}

// Puts the program directory and the current directory back however a
// test that moves them ends.
struct DirectoriesRestored {
  std::string programDirectory = Kernel().programDirectory;
  ~DirectoriesRestored() {
    Kernel().programDirectory = programDirectory;
    SetCurrentDirectoryA(programDirectory.c_str());
  }
};

TEST(DeclaredBinding, ModuleDirectoryComesNextThenTheSearchOrder) {
  DirectoriesRestored restored;
  const std::string& programDirectory = restored.programDirectory;
  // A program directory without the library: the module directory has it.
  std::string empty = MakeTempDirectory("no-library");
  Kernel().programDirectory = empty;
  {
    LoaderLog log;
    EXPECT_EQ(CallDeclared<uint32_t>(kMarkerViaModuleDirectory), kBesideMarker);
    std::vector<std::string> expected = {empty + "\\korvalin_testlib.dll", BesideLibrary()};
    EXPECT_EQ(log.loadedNames(), expected);
    ASSERT_EQ(log.calls().size(), 2u);
    EXPECT_EQ(log.calls()[0].module, nullptr);
  }
  Kernel().programDirectory = programDirectory;

  // Found in neither: the bare name goes to the system's search order, which
  // looks in the current directory.
  std::string elsewhere = MakeTempDirectory("elsewhere");
  ASSERT_TRUE(CopyFileA(AltLibrary().c_str(), (elsewhere + "\\korvalin_elsewhere.dll").c_str(), FALSE));
  SetCurrentDirectoryA(elsewhere.c_str());
  {
    LoaderLog log;
    EXPECT_EQ(CallDeclared<uint32_t>(kMarkerElsewhere), kAltMarker);
    std::vector<std::string> expected = {programDirectory + "\\korvalin_elsewhere",
                                         ThisProgramDirectory() + "\\korvalin_elsewhere", "korvalin_elsewhere"};
    EXPECT_EQ(log.loadedNames(), expected);
  }
}

TEST(DeclaredBinding, NameWithADriveIsLoadedUnchanged) {
  LoaderLog log;
  EXPECT_EQ(CallDeclared<uint32_t>(kMarkerByFullPath), kBesideMarker);
  std::vector<std::string> expected = {BesideLibrary()};
  EXPECT_EQ(log.loadedNames(), expected);
}

TEST(DeclaredBinding, HashNameBindsByOrdinal) {
  EXPECT_EQ(CallDeclared<uint32_t>(kMarkerByOrdinal), kBesideMarker);
  EXPECT_EQ(CallDeclared<uint32_t>(kMarkerByWideOrdinal), kBesideMarker);
  HMODULE module = Kernel().boundModules[kMarkerByOrdinal];
  void* byName = reinterpret_cast<void*>(GetProcAddress(module, "KorvalinTestMarker"));
  EXPECT_EQ(Kernel().boundAddresses[kMarkerByOrdinal], byName);
  EXPECT_EQ(Kernel().boundAddresses[kMarkerByWideOrdinal], byName);
}

TEST(DeclaredCall, ArgumentsAndResultPassUntouched) {
  // Register and stack arguments, a double among them, a 64-bit result.
  EXPECT_EQ(CallDeclared<int64_t>(kMix, 7, 2.5, "abcd", 12, 34, 56), 702504123456LL);
  EXPECT_EQ(CallDeclared<int64_t>(kMix, -1, 0.0, static_cast<const char*>(nullptr), 0, 0, 1),
            -100000000000LL + 99000000 + 1);
  EXPECT_EQ(CallDeclared<int32_t>(kTwo, 9, 4), 5);
}

TEST(DeclaredCall, UnwinderWalksPastTheCall) {
#if !defined(__x86_64__)
  GTEST_SKIP() << "i686 frames are walked by their frame pointers, not by unwind data";
#endif
  void* through[62] = {};
  uint32_t throughCount = CallDeclared<uint32_t>(kStackFrames, through, 62u);
  auto direct = reinterpret_cast<uint32_t(WINAPI*)(void**, uint32_t)>(Kernel().boundAddresses[kStackFrames]);
  void* frames[62] = {};
  uint32_t count = direct(frames, 62);
  ASSERT_GT(count, 2u);
  // Entry 0 is in the library, 1 where this test called; above that both
  // walks must see the same callers: the checked call only adds frames below.
  ASSERT_GT(throughCount, count);
  for (uint32_t i = 2; i < count; ++i)
    EXPECT_EQ(through[throughCount - count + i], frames[i]) << "caller " << i << " of " << count;
}

// Children for the cases that end the process.
KORVALIN_SCENARIO(bind_and_call) {
  if (argc > 3) new LoaderLog(argv[3]);  // records until the process ends
  StartRuntime(RuntimeTestImage());
  CallDeclared<uint32_t>(std::stoi(argv[2]));
  return 0;
}

KORVALIN_SCENARIO(call_with_extra_argument) {
  StartRuntime(RuntimeTestImage());
  CallDeclared<DWORD>(kProcessId, 123);
  return 0;
}

KORVALIN_SCENARIO(call_with_missing_argument) {
  StartRuntime(RuntimeTestImage());
  CallDeclared<int32_t>(kTwo, 5);
  return 0;
}

// Exit codes name the check that failed.
KORVALIN_SCENARIO(prefer_beside) {
  StartRuntime(RuntimeTestImage());
  // The other copy goes in first, so that the system's search order for the
  // bare name now yields it: only a look beside the program finds ours.
  HMODULE other = LoadLibraryA(AltLibrary().c_str());
  if (!other) return 10;
  void* exported = reinterpret_cast<void*>(GetProcAddress(other, "KorvalinTestMarker"));
  auto marker = reinterpret_cast<uint32_t(WINAPI*)()>(exported);
  if (!marker || marker() != kAltMarker) return 11;
  HMODULE bare = LoadLibraryA("korvalin_testlib");
  FreeLibrary(bare);
  if (bare != other) return 12;
  if (CallDeclared<uint32_t>(kMarkerPreferred) != kBesideMarker) return 13;
  HMODULE bound = Kernel().boundModules[kMarkerPreferred];
  if (bound == other) return 14;
  if (!SamePath(ModuleFileName(bound), BesideLibrary())) return 15;
  return 0;
}

KORVALIN_SCENARIO(free_at_shutdown) {
  SetEnvironmentVariableA("KORVALIN_TESTLIB_LOG", argv[2]);
  StartRuntime(RuntimeTestImage());
  if (CallDeclared<uint32_t>(kMarker) != kBesideMarker) return 10;
  rt::program::EndProgram(0);
}

std::string ErrorOfChild(const std::string& scenario, const std::string& arguments = "") {
  HANDLE child = StartChild(scenario, arguments);
  if (!child) return "child not started";
  ChildError error = AwaitChildError(child);
  if (!error.shown) return "no box, exit " + std::to_string(error.exitCode);
  return IsExitMinusOne(error.exitCode) ? error.text : "exit " + std::to_string(error.exitCode) + ": " + error.text;
}

std::string BindError(int index) { return ErrorOfChild("bind_and_call", std::to_string(index)); }

std::string Heading() { return "运行时出错!\r\n\r\n错误信息："; }

TEST(DeclaredBindingFailure, MissingExportNamesLibraryAndFunction) {
  EXPECT_EQ(BindError(kMissingInKernel32),
            Heading() + "无法找到指定DLL库文件“kernel32”中的输出命令“NoSuchFunctionKorvalin”\r\n");
  EXPECT_EQ(BindError(kMissingInTestlib),
            Heading() + "无法找到指定DLL库文件“korvalin_testlib”中的输出命令“NoSuchExportKorvalin”\r\n");
  EXPECT_EQ(BindError(kZeroOrdinal), Heading() + "无法找到指定DLL库文件“korvalin_testlib”中的输出命令“#0”\r\n");
}

TEST(DeclaredBindingFailure, MissingExportWithoutLibraryNamesTheFunction) {
  EXPECT_EQ(BindError(kMissingNoLibrary), Heading() + "无法找到指定DLL库文件中的输出命令“NoSuchFunctionKorvalin”\r\n");
}

TEST(DeclaredBindingFailure, LibraryFoundNowhereIsTriedInOrderThenReported) {
  std::string log = MakeTempDirectory("loader") + "\\loads.txt";
  EXPECT_EQ(ErrorOfChild("bind_and_call", std::to_string(kMissingLibrary) + " \"" + log + "\""),
            Heading() + "无法找到指定DLL库文件“korvalin_nosuchlib”中的输出命令“KorvalinTestMarker”\r\n");
  std::ifstream in(log);
  std::stringstream loads;
  loads << in.rdbuf();
  std::string directory = ThisProgramDirectory();
  EXPECT_EQ(loads.str(), "load " + directory + "\\korvalin_nosuchlib null\n" + "load " + directory +
                             "\\korvalin_nosuchlib null\n" + "load korvalin_nosuchlib null\n");
}

TEST(DeclaredBindingFailure, IndexOutsideTheTableIsReported) {
  EXPECT_EQ(BindError(kDeclaredCount), Heading() + "无法找到指定DLL库文件中的输出命令“”\r\n");
}

TEST(DeclaredBinding, LibraryBesideTheProgramIsPreferredToAnotherCopy) { EXPECT_EQ(RunChild("prefer_beside"), 0u); }

TEST(DeclaredBinding, ShutDownFreesTheBoundModules) {
  std::string log = MakeTempDirectory("unload") + "\\unload.txt";
  EXPECT_EQ(RunChild("free_at_shutdown", "\"" + log + "\""), 0u);
  std::ifstream in(log);
  std::string note;
  in >> note;
  EXPECT_EQ(note, "free") << "the library was still loaded when the process ended";
}

TEST(DeclaredCall, UnbalancedStackIsRuntimeErrorSix) {
#if !defined(__i386__)
  GTEST_SKIP() << "x86_64 callers own the stack: nothing can be unbalanced";
#endif
  const std::string six = "运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n";
  EXPECT_EQ(ErrorOfChild("call_with_extra_argument"), six);
  EXPECT_EQ(ErrorOfChild("call_with_missing_argument"), six);
}

}  // namespace
}  // namespace korvalin::test

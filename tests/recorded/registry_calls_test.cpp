// The registry access as the platform sees it: every call, its access mask,
// sizes and order, logged by korvalin_recorder.dll while registry/registry.cpp
// and the WOW64 guards run unchanged against the real registry.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "registry/registry.h"
#include "runtime/interface/program_calls.h"
#include "tests/recorded/recording_image.h"

namespace korvalin::test {
namespace {

using Trace = std::vector<std::string>;

constexpr uintptr_t kRead64 = 0x101;
constexpr uintptr_t kRead32 = 0x20019;
constexpr uintptr_t kWrite64 = 0x20019 | 0x20006 | 0x100;
constexpr uintptr_t kWrite32 = 0x20019 | 0x20006;

const std::string kValue = "Desktop";

// The guard calls around one access on a 64-bit system. A 64-bit build has
// no file-system redirection of its own to switch off.
Trace RedirectionOff() {
#if defined(_WIN64)
  return {};
#else
  return {"GetModuleHandleA(kernel32.dll)", "GetProcAddress(Wow64DisableWow64FsRedirection)",
          "Wow64DisableWow64FsRedirection"};
#endif
}
Trace RedirectionBack() {
#if defined(_WIN64)
  return {};
#else
  return {"GetModuleHandleA(kernel32.dll)", "GetProcAddress(Wow64RevertWow64FsRedirection)",
          "Wow64RevertWow64FsRedirection"};
#endif
}
const Trace kReflectionOff = {"GetModuleHandleA(advapi32.dll)", "GetProcAddress(RegDisableReflectionKey)",
                              "RegDisableReflectionKey"};
const Trace kReflectionBack = {"GetModuleHandleA(advapi32.dll)", "GetProcAddress(RegEnableReflectionKey)",
                               "RegEnableReflectionKey"};

Trace Join(std::initializer_list<Trace> parts) {
  Trace all;
  for (const Trace& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class RecordedRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    keyPath = "Software\\KorvalinRecorded-" + std::to_string(GetCurrentProcessId());
    RegDeleteTreeA(HKEY_CURRENT_USER, keyPath.c_str());
    state()->recordLookUps = 1;
    state()->nativeArchitecture = -1;
    KorvalinRecorderClear();
  }
  void TearDown() override {
    state()->recordLookUps = 0;
    state()->nativeArchitecture = -1;
    EXPECT_EQ(state()->dropped, 0) << "the log overflowed";
    RegDeleteTreeA(HKEY_CURRENT_USER, keyPath.c_str());
  }
  static KorvalinRecorderState* state() { return KorvalinRecorder(); }

  std::string valuePath() const { return keyPath + "\\" + kValue; }

  // Stored past the code under test, in the 64-bit view.
  void StoreRaw(const std::string& text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, kValue.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
  }

  std::string Read() {
    rt::Text text = ReadRegistryText(3, valuePath().c_str());
    std::string read = text ? text : "";
    rt::program::Free(text);
    return read;
  }

  bool Write(const std::string& text) {
    return WriteRegistryText(3, valuePath().c_str(), text.data(), static_cast<int32_t>(text.size()));
  }

  std::string keyPath;
  RecorderLog log;
};

// Opened and closed on the key the open returned; the two queries ask the
// size first, then read exactly that much.
void ExpectReadCalls(const RecorderLog& log, const std::string& keyPath, uintptr_t mask, DWORD storedBytes) {
  const auto opens = log.calls("RegOpenKeyExA");
  const auto queries = log.calls("RegQueryValueExA");
  const auto closes = log.calls("RegCloseKey");
  ASSERT_EQ(opens.size(), 1u);
  ASSERT_EQ(queries.size(), 2u);
  ASSERT_EQ(closes.size(), 1u);
  EXPECT_EQ(opens[0].args[0], reinterpret_cast<uintptr_t>(HKEY_CURRENT_USER));
  EXPECT_EQ(std::string(opens[0].text[0]), keyPath);
  EXPECT_EQ(opens[0].args[2], 0u);
  EXPECT_EQ(opens[0].args[3], mask) << std::hex << "read mask 0x" << opens[0].args[3];
  const uintptr_t key = opens[0].out;
  for (const KorvalinRecordedCall& q : queries) {
    EXPECT_EQ(q.args[0], key);
    EXPECT_EQ(std::string(q.text[0]), kValue);
    EXPECT_EQ(q.args[3], 0u) << "the type is not asked for";
    EXPECT_NE(q.args[5], 0u);
  }
  EXPECT_EQ(queries[0].args[4], 0u) << "the first query only asks the size";
  EXPECT_EQ(queries[0].sizeBefore, 0u);
  EXPECT_EQ(queries[0].sizeAfter, storedBytes);
  EXPECT_NE(queries[1].args[4], 0u);
  EXPECT_EQ(queries[1].sizeBefore, storedBytes) << "the second query reads what the first reported";
  EXPECT_EQ(closes[0].args[0], key);
  for (const char* f : {"RegDisableReflectionKey", "RegEnableReflectionKey"})
    for (const KorvalinRecordedCall& c : log.calls(f)) EXPECT_EQ(c.args[0], key) << f;
}

// The root is opened a second time, the key created under that handle with
// the same mask, the data stored with one NUL more, both handles closed.
void ExpectWriteCalls(const RecorderLog& log, const std::string& keyPath, uintptr_t mask, const std::string& text) {
  const auto opens = log.calls("RegOpenKeyExA");
  const auto creates = log.calls("RegCreateKeyExA");
  const auto sets = log.calls("RegSetValueExA");
  const auto closes = log.calls("RegCloseKey");
  ASSERT_EQ(opens.size(), 1u);
  ASSERT_EQ(creates.size(), 1u);
  ASSERT_EQ(sets.size(), 1u);
  ASSERT_EQ(closes.size(), 2u);
  EXPECT_EQ(opens[0].args[0], reinterpret_cast<uintptr_t>(HKEY_CURRENT_USER));
  EXPECT_NE(opens[0].args[1], 0u);
  EXPECT_EQ(std::string(opens[0].text[0]), "");
  EXPECT_EQ(opens[0].args[3], mask) << std::hex << "write mask 0x" << opens[0].args[3];
  const KorvalinRecordedCall& create = creates[0];
  EXPECT_EQ(create.args[0], opens[0].out);
  EXPECT_EQ(std::string(create.text[0]), keyPath);
  EXPECT_EQ(create.args[3], 0u) << "no class";
  EXPECT_EQ(create.args[4], static_cast<uintptr_t>(REG_OPTION_NON_VOLATILE));
  EXPECT_EQ(create.args[5], mask) << std::hex << "create mask 0x" << create.args[5];
  EXPECT_EQ(create.args[6], 0u) << "no security attributes";
  const KorvalinRecordedCall& set = sets[0];
  EXPECT_EQ(set.args[0], create.out);
  EXPECT_EQ(std::string(set.text[0]), kValue);
  EXPECT_EQ(set.args[3], static_cast<uintptr_t>(REG_SZ));
  EXPECT_EQ(set.args[5], text.size() + 1) << "data length + 1";
  EXPECT_EQ(std::string(set.text[1], text.size() + 1), std::string(text.c_str(), text.size() + 1));
  EXPECT_EQ(closes[0].args[0], create.out);
  EXPECT_EQ(closes[1].args[0], opens[0].out);
  for (const char* f : {"RegDisableReflectionKey", "RegEnableReflectionKey"})
    for (const KorvalinRecordedCall& c : log.calls(f)) EXPECT_EQ(c.args[0], create.out) << f;
}

// Redirection is reverted with the state its disabling saved.
void ExpectRedirectionRestored(const RecorderLog& log) {
  const auto off = log.calls("Wow64DisableWow64FsRedirection");
  const auto back = log.calls("Wow64RevertWow64FsRedirection");
  ASSERT_EQ(off.size(), back.size());
  if (off.empty()) return;
  EXPECT_NE(off[0].args[0], 0u);
  EXPECT_EQ(back[0].args[0], off[0].out);
}

TEST_F(RecordedRegistry, ReadOnA64BitSystemIsGuardedInTheRightOrder) {
  StoreRaw("C:\\Data\\桌面");
  KorvalinRecorderClear();
  EXPECT_EQ(Read(), "C:\\Data\\桌面");
  EXPECT_EQ(log.trace(), Join({{"GetNativeSystemInfo"}, RedirectionOff(), {"RegOpenKeyExA"}, kReflectionOff,
                               {"RegQueryValueExA", "RegQueryValueExA"}, kReflectionBack, {"RegCloseKey"},
                               RedirectionBack()}));
  ExpectReadCalls(log, keyPath, kRead64, sizeof("C:\\Data\\桌面"));
  ExpectRedirectionRestored(log);
}

TEST_F(RecordedRegistry, WriteOnA64BitSystemIsGuardedInTheRightOrder) {
  const std::string text = "D:\\新的\\桌面";
  EXPECT_TRUE(Write(text));
  EXPECT_EQ(log.trace(), Join({{"GetNativeSystemInfo"}, RedirectionOff(), {"RegOpenKeyExA", "RegCreateKeyExA"},
                               kReflectionOff, {"RegSetValueExA"}, kReflectionBack, {"RegCloseKey", "RegCloseKey"},
                               RedirectionBack()}));
  ExpectWriteCalls(log, keyPath, kWrite64, text);
  ExpectRedirectionRestored(log);

  // An empty text is one NUL byte.
  KorvalinRecorderClear();
  EXPECT_TRUE(Write(""));
  ExpectWriteCalls(log, keyPath, kWrite64, "");
}

TEST_F(RecordedRegistry, On32BitWindowsNoGuardIsCalledAndTheMasksHaveNoView) {
  state()->nativeArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
  const std::string text = "E:\\资料";
  EXPECT_TRUE(Write(text));
  EXPECT_EQ(log.trace(),
            (Trace{"GetNativeSystemInfo", "RegOpenKeyExA", "RegCreateKeyExA", "RegSetValueExA", "RegCloseKey",
                   "RegCloseKey"}));
  ExpectWriteCalls(log, keyPath, kWrite32, text);

  KorvalinRecorderClear();
  EXPECT_EQ(Read(), text);
  EXPECT_EQ(log.trace(),
            (Trace{"GetNativeSystemInfo", "RegOpenKeyExA", "RegQueryValueExA", "RegQueryValueExA", "RegCloseKey"}));
  ExpectReadCalls(log, keyPath, kRead32, static_cast<DWORD>(text.size() + 1));

  // A missing value: the size query fails and nothing is read.
  KorvalinRecorderClear();
  EXPECT_EQ(ReadRegistryText(3, (keyPath + "\\Missing").c_str()), nullptr);
  EXPECT_EQ(log.trace(), (Trace{"GetNativeSystemInfo", "RegOpenKeyExA", "RegQueryValueExA", "RegCloseKey"}));
}

TEST_F(RecordedRegistry, TheSystemIsAskedOnEveryAccess) {
  StoreRaw("x");
  KorvalinRecorderClear();
  state()->nativeArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
  EXPECT_EQ(Read(), "x");
  state()->nativeArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
  EXPECT_EQ(Read(), "x");
  const auto opens = log.calls("RegOpenKeyExA");
  ASSERT_EQ(opens.size(), 2u);
  EXPECT_EQ(opens[0].args[3], kRead32);
  EXPECT_EQ(opens[1].args[3], kRead64);
  EXPECT_EQ(log.calls("GetNativeSystemInfo").size(), 2u);
  EXPECT_EQ(log.calls("RegDisableReflectionKey").size(), 1u);
}

}  // namespace
}  // namespace korvalin::test

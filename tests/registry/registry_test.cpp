#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "registry/registry.h"
#include "runtime/interface/program_calls.h"
#include "runtime/kernel/runtime_error.h"
#include "runtime/values/value_helpers.h"
#include "tests/support/test_support.h"

namespace {

using korvalin::ReadRegistryText;
using korvalin::ReadRegistryValue;
using korvalin::WriteRegistryText;

// A text returned by the code under test, freed when the check is done.
struct OwnedText {
  rt::Text text = nullptr;
  explicit OwnedText(rt::Text t = nullptr) : text(t) {}
  ~OwnedText() { rt::program::Free(text); }
  OwnedText(const OwnedText&) = delete;
  OwnedText& operator=(const OwnedText&) = delete;
  std::string str() const { return text ? text : ""; }
};

struct OwnedByteSet {
  void* block;
  explicit OwnedByteSet(void* b) : block(b) {}
  ~OwnedByteSet() { rt::program::Free(block); }
  OwnedByteSet(const OwnedByteSet&) = delete;
  OwnedByteSet& operator=(const OwnedByteSet&) = delete;
  std::string bytes() const {
    return std::string(reinterpret_cast<const char*>(rt::ByteSetData(block)),
                       static_cast<size_t>(rt::ByteSetLength(block)));
  }
};

std::string Unique(const char* stem) { return std::string(stem) + "-" + std::to_string(GetCurrentProcessId()); }

// Removes a key with everything under it from both registry views.
void DeleteTree(HKEY root, const std::string& path) {
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS | view, &key) != ERROR_SUCCESS) continue;
    RegDeleteTreeA(key, nullptr);
    RegCloseKey(key);
    RegDeleteKeyExA(root, path.c_str(), view, 0);
  }
}

// A test key that is gone again when the test ends, whatever it created.
struct TestKey {
  HKEY root;
  std::string path;
  TestKey(HKEY r, std::string p) : root(r), path(std::move(p)) { DeleteTree(root, path); }
  ~TestKey() { DeleteTree(root, path); }
};

bool KeyExists(HKEY root, const std::string& path, REGSAM view = KEY_WOW64_64KEY) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// A value as the platform sees it, bypassing the code under test.
struct RawValue {
  bool found = false;
  DWORD type = 0;
  std::string bytes;
};

RawValue ReadRaw(HKEY root, const std::string& path, const char* name, REGSAM view = KEY_WOW64_64KEY) {
  RawValue raw;
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return raw;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &raw.type, nullptr, &size) == ERROR_SUCCESS) {
    raw.bytes.resize(size);
    raw.found = RegQueryValueExA(key, name, nullptr, &raw.type, reinterpret_cast<BYTE*>(raw.bytes.data()),
                                 &size) == ERROR_SUCCESS;
    raw.bytes.resize(size);
  }
  RegCloseKey(key);
  return raw;
}

bool WriteRaw(HKEY root, const std::string& path, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  LONG status = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

bool WriteText(int32_t root, const std::string& valuePath, const std::string& text) {
  return WriteRegistryText(root, valuePath.c_str(), text.data(), static_cast<int32_t>(text.size()));
}

std::string ReadText(int32_t root, const std::string& valuePath) {
  return OwnedText(ReadRegistryText(root, valuePath.c_str())).str();
}

// The child starts the runtime without any declared function: a registry call
// made before the root-code check could not bind, so only error 9 shows a box.
KORVALIN_SCENARIO(registry_bad_root) {
  if (argc < 4) return 2;
  korvalin::test::StartRuntime(korvalin::test::PlainTestImage());
  const int32_t code = std::atoi(argv[3]);
  if (std::strcmp(argv[2], "write") == 0) {
    WriteRegistryText(code, "Software\\KorvalinRootCheck\\Value", "x", 1);
  } else {
    rt::program::Free(ReadRegistryText(code, "Software\\KorvalinRootCheck\\Value"));
  }
  return 0;
}

TEST(RegistryRootCodes, OutsideOneToFiveEndTheProcessWithError9) {
  for (const char* arguments : {"read 0", "write 6"}) {
    SCOPED_TRACE(arguments);
    korvalin::test::ChildError error =
        korvalin::test::AwaitChildError(korvalin::test::StartChild("registry_bad_root", arguments));
    EXPECT_TRUE(error.shown);
    EXPECT_NE(error.text.find("错误代码：9"), std::string::npos) << error.text;
    EXPECT_NE(error.text.find(rt::RuntimeErrorMessage(9)), std::string::npos) << error.text;
    EXPECT_TRUE(korvalin::test::IsExitMinusOne(error.exitCode)) << error.exitCode;
  }
}

TEST(RegistryRootCodes, OneToFiveReachTheirPredefinedKeys) {
  const std::string leaf = "Software\\" + Unique("KorvalinRegistryTest");
  const struct {
    int32_t code;
    HKEY root;
    std::string path;
  } roots[] = {
      {1, HKEY_CLASSES_ROOT, leaf},       {2, HKEY_CURRENT_CONFIG, leaf}, {3, HKEY_CURRENT_USER, leaf},
      {4, HKEY_LOCAL_MACHINE, leaf},      {5, HKEY_USERS, ".DEFAULT\\" + leaf},
  };
  for (const auto& r : roots) {
    SCOPED_TRACE(r.code);
    TestKey key(r.root, r.path);
    const std::string text = "root " + std::to_string(r.code);
    ASSERT_TRUE(WriteText(r.code, r.path + "\\Probe", text));
    RawValue raw = ReadRaw(r.root, r.path, "Probe");
    ASSERT_TRUE(raw.found);
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw.bytes, text + '\0');
    EXPECT_EQ(ReadText(r.code, r.path + "\\Probe"), text);
  }
}

TEST(RegistryValuePaths, TrailingBackslashOrNoneAddressTheDefaultValue) {
  const std::string path = "Software\\" + Unique("KorvalinRegistryTest");
  TestKey key(HKEY_CURRENT_USER, path);
  ASSERT_TRUE(WriteText(3, path + "\\Inner\\", "default of inner"));
  RawValue raw = ReadRaw(HKEY_CURRENT_USER, path + "\\Inner", nullptr);
  ASSERT_TRUE(raw.found);
  EXPECT_EQ(raw.bytes, std::string("default of inner") + '\0');
  EXPECT_FALSE(ReadRaw(HKEY_CURRENT_USER, path, "Inner").found);
  EXPECT_EQ(ReadText(3, path + "\\Inner\\"), "default of inner");

  // No backslash at all: the whole text is a key right under the root.
  const std::string topLevel = Unique("KorvalinRegistryTop");
  TestKey top(HKEY_CURRENT_USER, topLevel);
  ASSERT_TRUE(WriteText(3, topLevel, "default of top"));
  raw = ReadRaw(HKEY_CURRENT_USER, topLevel, nullptr);
  ASSERT_TRUE(raw.found);
  EXPECT_EQ(raw.bytes, std::string("default of top") + '\0');
  EXPECT_EQ(ReadText(3, topLevel), "default of top");
}

TEST(RegistryValuePaths, SplitStepsOverTrailBytesEqualToBackslash) {
  // 0x95 0x5C is one GBK character; its second byte is never a separator.
  const std::string wide = "\x95\x5C";
  struct Case {
    std::string path, key, name;
    bool isDefault;
  } cases[] = {
      {"A\\B" + wide + "C", "A", "B" + wide + "C", false},
      {"A\\" + wide, "A", wide, false},  // the character ends the text
      {"A" + wide + "B", "A" + wide + "B", "", true},
      {"A\\B\\", "A\\B\\", "", true},
      {"", "", "", true},
      {"\xB1\xED\\Name", "\xB1\xED", "Name", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    korvalin::ValuePath parts = korvalin::SplitValuePath(c.path.c_str());
    EXPECT_EQ(std::string(parts.keyPath ? parts.keyPath : ""), c.key);
    EXPECT_EQ(std::string(parts.valueName ? parts.valueName : ""), c.name);
    EXPECT_EQ(parts.defaultValue, c.isDefault);
  }

  const std::string path = "Software\\" + Unique("KorvalinRegistryTest");
  TestKey key(HKEY_CURRENT_USER, path);
  const std::string name = "Name" + wide + "Tail";
  ASSERT_TRUE(WriteText(3, path + "\\" + name, "gbk name"));
  EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, path, name.c_str()).bytes, std::string("gbk name") + '\0');
  EXPECT_EQ(ReadText(3, path + "\\" + name), "gbk name");
  ASSERT_TRUE(WriteText(3, path + "\\" + wide, "ends in trail byte"));
  EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, path, wide.c_str()).bytes, std::string("ends in trail byte") + '\0');
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, path + "\\" + wide));
}

TEST(RegistryReading, ExpandSzComesBackUnexpandedAndExpandsToTheProfile) {
  const std::string path = "Software\\" + Unique("KorvalinRegistryTest");
  TestKey key(HKEY_CURRENT_USER, path);
  const char stored[] = "%USERPROFILE%\\Desktop";
  ASSERT_TRUE(WriteRaw(HKEY_CURRENT_USER, path, "Desktop", REG_EXPAND_SZ, stored, sizeof stored));

  OwnedText text(ReadRegistryText(3, (path + "\\Desktop").c_str()));
  ASSERT_EQ(text.str(), stored);
  char profile[MAX_PATH] = {};
  ASSERT_GT(GetEnvironmentVariableA("USERPROFILE", profile, sizeof profile), 0u);
  OwnedText expanded(korvalin::ExpandEnvironmentText(text.text));
  EXPECT_EQ(expanded.str(), std::string(profile) + "\\Desktop");
  EXPECT_EQ(text.str(), expanded.str());
  EXPECT_NE(text.text, expanded.text);  // two texts, each freed by its owner
}

// The key reader reads a short value in one call and a longer one in two;
// both sides of that line must come back whole.
TEST(RegistryReading, KeyReaderReadsShortAndLongValuesWhole) {
  const std::string path = "Software\\" + Unique("KorvalinRegistryTest");
  TestKey key(HKEY_CURRENT_USER, path);
  for (size_t length : {size_t{3}, size_t{1000}, size_t{1023}, size_t{1024}, size_t{5000}}) {
    const std::string stored = "C:\\" + std::string(length - 3, 'k');
    ASSERT_TRUE(WriteRaw(HKEY_CURRENT_USER, path, "Long", REG_SZ, stored.c_str(),
                         static_cast<DWORD>(stored.size() + 1)));
    korvalin::RegistryKeyReader reader(3, path.c_str());
    EXPECT_EQ(reader.readExpanded("Long"), stored) << length;
    EXPECT_EQ(reader.readExpanded("Missing"), "") << length;
  }
  const char reference[] = "%USERPROFILE%\\Desktop";
  ASSERT_TRUE(WriteRaw(HKEY_CURRENT_USER, path, "Short", REG_EXPAND_SZ, reference, sizeof reference));
  char profile[MAX_PATH] = {};
  ASSERT_GT(GetEnvironmentVariableA("USERPROFILE", profile, sizeof profile), 0u);
  EXPECT_EQ(korvalin::RegistryKeyReader(3, path.c_str()).readExpanded("Short"), std::string(profile) + "\\Desktop");
}

TEST(RegistryReading, MissingOrEmptyReadsAsEmptyAndCreatesNothing) {
  const std::string path = "Software\\" + Unique("KorvalinRegistryTest");
  TestKey key(HKEY_CURRENT_USER, path);
  EXPECT_EQ(ReadRegistryText(3, (path + "\\Nothing").c_str()), nullptr);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, path));

  ASSERT_TRUE(WriteRaw(HKEY_CURRENT_USER, path, "Other", REG_SZ, "x", 2));
  EXPECT_EQ(ReadRegistryText(3, (path + "\\Missing").c_str()), nullptr);
  ASSERT_TRUE(WriteRaw(HKEY_CURRENT_USER, path, "Zero", REG_BINARY, nullptr, 0));
  EXPECT_EQ(ReadRegistryValue(3, (path + "\\Zero").c_str()), nullptr);
  EXPECT_EQ(ReadRegistryText(3, (path + "\\Zero").c_str()), nullptr);
}

TEST(RegistryReading, BytesComeBackAsStoredAndTextStopsAtTheFirstNul) {
  const std::string path = "Software\\" + Unique("KorvalinRegistryTest");
  TestKey key(HKEY_CURRENT_USER, path);
  const unsigned char binary[] = {1, 0, 2, 0xFF, 0};
  ASSERT_TRUE(WriteRaw(HKEY_CURRENT_USER, path, "Binary", REG_BINARY, binary, sizeof binary));
  ASSERT_TRUE(WriteRaw(HKEY_CURRENT_USER, path, "NoNul", REG_BINARY, "xyz", 3));
  ASSERT_TRUE(WriteRaw(HKEY_CURRENT_USER, path, "TwoParts", REG_SZ, "ab\0cd", 6));

  OwnedByteSet bytes(ReadRegistryValue(3, (path + "\\Binary").c_str()));
  EXPECT_EQ(bytes.bytes(), std::string(reinterpret_cast<const char*>(binary), sizeof binary));
  EXPECT_EQ(ReadText(3, path + "\\Binary"), "\x01");
  EXPECT_EQ(ReadText(3, path + "\\NoNul"), "xyz");
  EXPECT_EQ(ReadText(3, path + "\\TwoParts"), "ab");
}

// A value rewritten between the size query and the read must never come back
// padded with zeros or cut short: either one of the values whole, or empty.
TEST(RegistryReading, ValueChangingDuringTheReadNeverYieldsMixedBytes) {
  const std::string path = "Software\\" + Unique("KorvalinRegistryTest");
  TestKey key(HKEY_CURRENT_USER, path);
  const std::string shortValue = std::string("short") + '\0';
  const std::string longValue = std::string(300, 'L') + '\0';
  ASSERT_TRUE(WriteRaw(HKEY_CURRENT_USER, path, "Racing", REG_SZ, shortValue.data(), 6));
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    HKEY k = nullptr;
    RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &k);
    for (bool flip = false; !stop; flip = !flip) {
      const std::string& v = flip ? longValue : shortValue;
      RegSetValueExA(k, "Racing", 0, REG_SZ, reinterpret_cast<const BYTE*>(v.data()), static_cast<DWORD>(v.size()));
    }
    RegCloseKey(k);
  });
  int mixed = 0;
  for (int i = 0; i < 300; ++i) {
    OwnedByteSet read(ReadRegistryValue(3, (path + "\\Racing").c_str()));
    if (read.block && read.bytes() != shortValue && read.bytes() != longValue) ++mixed;
  }
  stop = true;
  writer.join();
  EXPECT_EQ(mixed, 0);
}

TEST(RegistryWriting, CreatesMissingKeysAndStoresExactlyOneNul) {
  const std::string path = "Software\\" + Unique("KorvalinRegistryTest");
  TestKey key(HKEY_CURRENT_USER, path);
  ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, path));
  const std::string deep = path + "\\Deep\\Er";
  ASSERT_TRUE(WriteText(3, deep + "\\Folder", "D:\\桌面"));
  RawValue raw = ReadRaw(HKEY_CURRENT_USER, deep, "Folder");
  ASSERT_TRUE(raw.found);
  EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(raw.bytes, std::string("D:\\桌面") + '\0');

  // Overwriting an expandable value turns it into a plain one.
  ASSERT_TRUE(WriteRaw(HKEY_CURRENT_USER, path, "Empty", REG_EXPAND_SZ, "%TEMP%", 7));
  ASSERT_TRUE(WriteRegistryText(3, (path + "\\Empty").c_str(), "", 0));
  raw = ReadRaw(HKEY_CURRENT_USER, path, "Empty");
  ASSERT_TRUE(raw.found);
  EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(raw.bytes, std::string(1, '\0'));
  EXPECT_EQ(ReadRegistryText(3, (path + "\\Empty").c_str()), nullptr);

  // No bytes at all is the empty text too.
  ASSERT_TRUE(WriteRegistryText(3, (path + "\\Null").c_str(), nullptr, 5));
  EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, path, "Null").bytes, std::string(1, '\0'));
}

TEST(RegistryWriting, FailureComesBackAsFalse) {
  const std::string path = "Software\\" + Unique("KorvalinRegistryTest");
  TestKey key(HKEY_CURRENT_USER, path);
  // A lasting key cannot be created below a volatile one.
  HKEY volatileKey = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &volatileKey, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(volatileKey);
  EXPECT_FALSE(WriteText(3, path + "\\Child\\Name", "x"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, path + "\\Child"));
  // The volatile key itself takes values.
  EXPECT_TRUE(WriteText(3, path + "\\Name", "x"));
}

TEST(RegistryWriting, LocalMachineSoftwareLandsInThe64BitView) {
  const std::string path = "SOFTWARE\\" + Unique("KorvalinRegistryTest");
  TestKey key(HKEY_LOCAL_MACHINE, path);
  ASSERT_TRUE(WriteText(4, path + "\\Probe", "sixty-four"));
  EXPECT_EQ(ReadRaw(HKEY_LOCAL_MACHINE, path, "Probe", KEY_WOW64_64KEY).bytes, std::string("sixty-four") + '\0');
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\WOW6432Node\\" + Unique("KorvalinRegistryTest")));
  EXPECT_EQ(ReadText(4, path + "\\Probe"), "sixty-four");
}

TEST(RegistryExpansion, FitsOrLeavesTheTextAsItWas) {
  SetEnvironmentVariableA("KORVALIN_SHORT", "C:\\Short");
  SetEnvironmentVariableA("KORVALIN_LONG", std::string(300, 'x').c_str());

  OwnedText fits(rt::CopyText("%KORVALIN_SHORT%\\Desktop"));
  OwnedText result(korvalin::ExpandEnvironmentText(fits.text));
  EXPECT_EQ(result.str(), "C:\\Short\\Desktop");
  EXPECT_EQ(fits.str(), "C:\\Short\\Desktop");

  // A moved folder's directory holds no reference and comes back intact.
  OwnedText plain(rt::CopyText("D:\\桌面"));
  OwnedText plainResult(korvalin::ExpandEnvironmentText(plain.text));
  EXPECT_EQ(plainResult.str(), "D:\\桌面");
  EXPECT_EQ(plain.str(), "D:\\桌面");

  OwnedText tooLong(rt::CopyText("%KORVALIN_LONG%\\Desktop"));
  const rt::Text before = tooLong.text;
  OwnedText unchanged(korvalin::ExpandEnvironmentText(tooLong.text));
  EXPECT_EQ(unchanged.str(), "%KORVALIN_LONG%\\Desktop");
  EXPECT_EQ(tooLong.text, before);
  EXPECT_EQ(tooLong.str(), "%KORVALIN_LONG%\\Desktop");

  // A text that alone fills the buffer is left alone as well.
  const std::string huge = "%KORVALIN_SHORT%" + std::string(300, 'y');
  OwnedText big(rt::CopyText(huge.c_str()));
  OwnedText bigResult(korvalin::ExpandEnvironmentText(big.text));
  EXPECT_EQ(bigResult.str(), huge);
  EXPECT_EQ(big.str(), huge);

  rt::Text absent = nullptr;
  EXPECT_EQ(korvalin::ExpandEnvironmentText(absent), nullptr);
  EXPECT_EQ(absent, nullptr);
}

// The redirection probe: a file only in the 32-bit system directory is seen
// through "system32" exactly while redirection is on.
bool SeenThroughSystem32(const std::string& fileName) {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, sizeof windows);
  return GetFileAttributesA((std::string(windows) + "\\system32\\" + fileName).c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(RegistryGuards, NativeArchitectureAndRedirectionState) {
  SYSTEM_INFO info = {};
  GetNativeSystemInfo(&info);
  const bool native64 = info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
                        info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
  EXPECT_EQ(korvalin::IsNative64Bit(), native64);

  // Reflection calls on a live key must be harmless, exported or not.
  HKEY software = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &software), ERROR_SUCCESS);
  korvalin::DisableKeyReflection(software);
  korvalin::EnableKeyReflection(software);
  RegCloseKey(software);

  // Switching redirection off works in either build; a native process has none.
  PVOID unused = nullptr;
  EXPECT_TRUE(korvalin::DisableFsRedirection(&unused));
  korvalin::RevertFsRedirection(unused);

  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  if (!wow64) GTEST_SKIP() << "no file-system redirection in a native process";

  char wowDirectory[MAX_PATH] = {};
  ASSERT_GT(GetSystemWow64DirectoryA(wowDirectory, sizeof wowDirectory), 0u);
  const std::string probe = Unique("korvalin-probe") + ".txt";
  const std::string probePath = std::string(wowDirectory) + "\\" + probe;
  HANDLE file = CreateFileA(probePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);

  EXPECT_TRUE(SeenThroughSystem32(probe));
  PVOID state = nullptr;
  ASSERT_TRUE(korvalin::DisableFsRedirection(&state));
  EXPECT_FALSE(SeenThroughSystem32(probe));
  korvalin::RevertFsRedirection(state);
  EXPECT_TRUE(SeenThroughSystem32(probe));

  // Every read and write hands redirection back, whether it worked or not.
  rt::program::Free(ReadRegistryText(3, "Software\\KorvalinNoSuchKey\\Value"));
  EXPECT_TRUE(SeenThroughSystem32(probe));
  const std::string path = "Software\\" + Unique("KorvalinRegistryTest");
  TestKey key(HKEY_CURRENT_USER, path);
  EXPECT_TRUE(WriteText(3, path + "\\Value", "x"));
  EXPECT_EQ(ReadText(3, path + "\\Value"), "x");
  EXPECT_TRUE(SeenThroughSystem32(probe));

  DeleteFileA(probePath.c_str());
}

}  // namespace

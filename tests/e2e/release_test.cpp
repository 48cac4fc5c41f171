// The release zip, unpacked into the suite's fresh prefix before the run.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/e2e/korvalin_run.h"
#include "tests/e2e/prefix_tools.h"

namespace korvalin::e2e {
namespace {

#ifdef KORVALIN_E2E_RELEASE
const char kUnpacked[] = "C:\\release\\Korvalin-" KORVALIN_VERSION;

// The machine field of a PE file's header; 0 when it is no PE file.
WORD MachineOf(const std::string& bytes) {
  if (bytes.size() < 0x40 || bytes.compare(0, 2, "MZ") != 0) return 0;
  DWORD header = 0;
  std::memcpy(&header, bytes.data() + 0x3C, sizeof header);
  if (header > bytes.size() - 6 || bytes.compare(header, 4, std::string("PE\0\0", 4)) != 0) return 0;
  WORD machine = 0;
  std::memcpy(&machine, bytes.data() + header + 4, sizeof machine);
  return machine;
}

// The shipped rules.json lists the three usual folders.
void StartsWithTheShippedRules(const std::string& program) {
  bool exists = false;
  std::string rules = ReadFileBytes(std::string(kUnpacked) + "\\rules.json", &exists);
  ASSERT_TRUE(exists);
  KorvalinRun run("release", std::string(kUnpacked) + "\\" + program);
  run.Put("rules.json", rules);
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.WaitForRows(4)) << run.RowCount();
  EXPECT_EQ(run.RowTitle(1), L"桌面");
  EXPECT_EQ(run.RowTitle(3), L"下载");
  EXPECT_EQ(run.Close(), 0u);
}

// The product version in a program's version resource.
std::string ProductVersion(const std::string& program) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(program.c_str(), &ignored);
  std::string info(size, '\0');
  if (!size || !GetFileVersionInfoA(program.c_str(), 0, size, info.data())) return "no version resource";
  char* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(info.data(), "\\StringFileInfo\\080403A8\\ProductVersion", reinterpret_cast<void**>(&value),
                      &length))
    return "no product version";
  return std::string(value, length ? length - 1 : 0);
}

TEST(ReleaseZip, HoldsTheGuidesTheSamplesAndAllFourPrograms) {
  // Both guides with a byte-order mark and CR LF, so that every Notepad shows them.
  const std::string mark = "\xEF\xBB\xBF";
  bool exists = false;
  std::string guide = ReadFileBytes(std::string(kUnpacked) + "\\GUIDE.txt", &exists);
  ASSERT_TRUE(exists);
  EXPECT_EQ(guide.rfind(mark + "Korvalin " KORVALIN_VERSION " " + Utf8(L"使用说明") + "\r\n", 0), 0u)
      << guide.substr(0, 40);
  std::string english = ReadFileBytes(std::string(kUnpacked) + "\\GUIDE.en.txt", &exists);
  ASSERT_TRUE(exists);
  EXPECT_EQ(english.rfind(mark + "Korvalin " KORVALIN_VERSION " - user guide\r\n", 0), 0u) << english.substr(0, 40);
  for (const std::string* text : {&guide, &english}) {
    EXPECT_NE(text->find("KorvalinCmd64.exe"), std::string::npos) << "the guide says which program to use";
    EXPECT_NE(text->find("  8  "), std::string::npos) << "the guide carries the exit codes";
    EXPECT_EQ(text->find("README"), std::string::npos) << "the zip holds no README to send the reader to";
  }
  EXPECT_FALSE(ReadFileBytes(std::string(kUnpacked) + "\\layout-example.json").empty());
  const struct {
    const char* file;
    WORD machine;
  } programs[] = {{"Korvalin.exe", IMAGE_FILE_MACHINE_I386},
                  {"Korvalin64.exe", IMAGE_FILE_MACHINE_AMD64},
                  {"KorvalinCmd.exe", IMAGE_FILE_MACHINE_I386},
                  {"KorvalinCmd64.exe", IMAGE_FILE_MACHINE_AMD64}};
  for (const auto& program : programs) {
    SCOPED_TRACE(program.file);
    EXPECT_EQ(ProductVersion(std::string(kUnpacked) + "\\" + program.file), KORVALIN_VERSION);
    EXPECT_EQ(MachineOf(ReadFileBytes(std::string(kUnpacked) + "\\" + program.file)), program.machine);
  }
}

// The shipped layout sample reads; checked against this machine it names
// a drive the prefix lacks, which the check says.
TEST(ReleaseZip, TheConsoleCompanionReadsTheSampleLayout) {
  // Where a D: drive were there, the sample would move this prefix's folders.
  if (GetDriveTypeA("D:\\") != DRIVE_NO_ROOT_DIR) GTEST_SKIP() << "this prefix has a D: drive";
  std::string out;
  const std::string unpacked = kUnpacked;
  EXPECT_EQ(RunCaptured("\"" + unpacked + "\\KorvalinCmd.exe\" /apply \"" + unpacked + "\\layout-example.json\"", &out), 1u)
      << out;
  EXPECT_NE(out.find("entry 1 (Desktop)"), std::string::npos) << out;
  EXPECT_NE(out.find("the layout was not applied: nothing was moved"), std::string::npos) << out;
}

TEST(ReleaseZip, The32BitKorvalinStarts) { StartsWithTheShippedRules("Korvalin.exe"); }

TEST(ReleaseZip, The64BitKorvalinStarts) { StartsWithTheShippedRules("Korvalin64.exe"); }
#endif

}  // namespace
}  // namespace korvalin::e2e

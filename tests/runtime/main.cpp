#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/runtime/interface/declared_table.h"
#include "tests/support/test_image.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

struct TestConstants {
  rt::program::ConstantBlockPrefix prefix;
};
const TestConstants kConstants = {{rt::KernelHelperTable(), {0, 0, 0, 0}, {1, 0}}};

BOOL CALLBACK DismissOwnErrorBox(HWND window, LPARAM) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId() || WindowText(window) != "错误") return TRUE;
  char text[4096] = {};
  GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
  std::fprintf(stderr, "runtime error in the test program itself:\n%s\n", text);
  std::fflush(stderr);
  PostMessageA(window, WM_COMMAND, IDOK, 0);
  return TRUE;
}

// A runtime error raised by a failing in-process test would wait for a
// click that never comes; answer it so the run fails at once, with the text.
DWORD WINAPI ErrorBoxWatch(LPVOID) {
  for (;;) {
    Sleep(250);
    EnumWindows(DismissOwnErrorBox, 0);
  }
}

bool IsChildRun(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--child=", 8) == 0) return true;
  return false;
}

}  // namespace

const rt::ProgramImageHeader& RuntimeTestImage() {
  struct Declaration {
    DeclaredIndex index;
    const char* library;
    const char* function;
  };
  static const std::string fullPath = ThisProgramDirectory() + "\\korvalin_testlib.dll";
  static const Declaration declarations[] = {
      {kCreateFontNoLibrary, "", "CreateFontA"},
      {kProcessId, "kernel32", "GetCurrentProcessId"},
      {kProcessIdAgain, "kernel32.dll", "GetCurrentProcessId"},
      {kMarker, "korvalin_testlib", "KorvalinTestMarker"},
      {kMarkerByOrdinal, "korvalin_testlib.dll", "#7"},
      {kMarkerByWideOrdinal, "korvalin_testlib", "#65543"},
      {kMarkerByFullPath, fullPath.c_str(), "KorvalinTestMarker"},
      {kMarkerViaModuleDirectory, "korvalin_testlib.dll", "KorvalinTestMarker"},
      {kMarkerElsewhere, "korvalin_elsewhere", "KorvalinTestMarker"},
      {kMarkerPreferred, "korvalin_testlib", "KorvalinTestMarker"},
      {kMix, "korvalin_testlib", "KorvalinTestMix"},
      {kTwo, "korvalin_testlib", "KorvalinTestTwo"},
      {kMissingInKernel32, "kernel32", "NoSuchFunctionKorvalin"},
      {kMissingInTestlib, "korvalin_testlib", "NoSuchExportKorvalin"},
      {kMissingNoLibrary, "", "NoSuchFunctionKorvalin"},
      {kMissingLibrary, "korvalin_nosuchlib", "KorvalinTestMarker"},
      {kZeroOrdinal, "korvalin_testlib", "#0"},
      {kStackFrames, "korvalin_testlib", "KorvalinTestStackFrames"},
      {kLastError, "kernel32", "GetLastError"},
  };
  static_assert(sizeof declarations / sizeof declarations[0] == kDeclaredCount);
  static const char* libraries[kDeclaredCount] = {};
  static const char* functions[kDeclaredCount] = {};
  for (const Declaration& d : declarations) {
    libraries[d.index] = d.library;
    functions[d.index] = d.function;
  }
  static const rt::ProgramImageHeader& header = BuildTestImage({
      .constants = &kConstants,
      .constantsSize = sizeof kConstants,
      .declaredCount = kDeclaredCount,
      .libraryNames = libraries,
      .functionNames = functions,
  });
  return header;
}

}  // namespace korvalin::test

int main(int argc, char** argv) {
  if (!korvalin::test::IsChildRun(argc, argv))
    CloseHandle(CreateThread(nullptr, 0, korvalin::test::ErrorBoxWatch, nullptr, 0, nullptr));
  return korvalin::test::TestMain(argc, argv, korvalin::test::RuntimeTestImage());
}

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  // Unbuffered: a run that ends early still shows how far it got.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  testing::InitGoogleTest(&argc, argv);
  // The C runtime keeps its own copies of the standard handles, so the
  // report still reaches the console. Processes started without handles of
  // their own now get NUL: the desktop process Wine starts again after the
  // program restarts the shell would otherwise hold this test's output open.
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING,
                           0, nullptr);
  if (nul != INVALID_HANDLE_VALUE) {
    SetStdHandle(STD_INPUT_HANDLE, nul);
    SetStdHandle(STD_OUTPUT_HANDLE, nul);
    SetStdHandle(STD_ERROR_HANDLE, nul);
  }
  return RUN_ALL_TESTS();
}

/* A library the runtime tests bind their declared functions to. It is built
   twice, with different markers, so a test can tell which copy was loaded. */
#include <windows.h>

#include <stdint.h>
#include <string.h>

#ifndef KORVALIN_TESTLIB_MARKER
#error "KORVALIN_TESTLIB_MARKER names the copy"
#endif

uint32_t WINAPI KorvalinTestMarker(void) { return KORVALIN_TESTLIB_MARKER; }

/* Six arguments of mixed kinds: on x86_64 the last two travel on the stack
   and the double in a vector register, on i686 all of them on the stack.
   Every argument lands in its own decimal digits of the 64-bit result. */
int64_t WINAPI KorvalinTestMix(int32_t a, double b, const char* text, int32_t d, int32_t e, int32_t f) {
  int64_t r = (int64_t)a * 100000000000LL;
  r += (int64_t)(b * 10.0) * 100000000LL;
  r += (int64_t)(text ? strlen(text) : 99) * 1000000LL;
  r += (int64_t)d * 10000 + (int64_t)e * 100 + f;
  return r;
}

int32_t WINAPI KorvalinTestTwo(int32_t a, int32_t b) { return a - b; }

/* The return addresses the system's unwinder finds above this frame. */
uint32_t WINAPI KorvalinTestStackFrames(void** frames, uint32_t capacity) {
  return RtlCaptureStackBackTrace(0, capacity > 62 ? 62 : capacity, frames, NULL);
}

/* With KORVALIN_TESTLIB_LOG set, the unload is noted there: "free" when
   FreeLibrary unloaded the copy, "exit" when the process ended with it. */
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  if (reason == DLL_PROCESS_DETACH) {
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("KORVALIN_TESTLIB_LOG", path, sizeof path);
    if (length > 0 && length < sizeof path) {
      HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS, 0, NULL);
      if (file != INVALID_HANDLE_VALUE) {
        const char* note = reserved ? "exit" : "free";
        DWORD written = 0;
        WriteFile(file, note, 4, &written, NULL);
        CloseHandle(file);
      }
    }
  }
  return TRUE;
}

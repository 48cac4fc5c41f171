/* korvalin_recorder.dll: stand-ins for platform functions that log each call
   (name, arguments, sizes, texts) and forward it to the real function unless
   the state says otherwise. The state lives in a named file mapping,
   "Local\KorvalinRecorder-<process id>", so that a parent process can read
   the log of a child as well. */
#ifndef KORVALIN_RECORDER_H
#define KORVALIN_RECORDER_H

#include <windows.h>

#include <stdint.h>

#ifdef KORVALIN_RECORDER_BUILD
#define KORVALIN_RECORDER_API
#else
#define KORVALIN_RECORDER_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define KORVALIN_RECORDER_CAPACITY 512
#define KORVALIN_RECORDER_TEXT 260

typedef struct KorvalinRecordedCall {
  char function[48];
  uintptr_t args[9];  /* the arguments as passed, in order */
  uintptr_t result;
  uintptr_t out;      /* what an out argument held afterwards: key, saved state, pressed button */
  uint32_t sizeBefore; /* a size argument read through its pointer, before and after */
  uint32_t sizeAfter;
  char text[2][KORVALIN_RECORDER_TEXT];  /* narrow texts: names, paths, value data */
  wchar_t wide[3][KORVALIN_RECORDER_TEXT];
} KorvalinRecordedCall;

typedef struct KorvalinRecorderState {
  /* GetNativeSystemInfo reports this processor architecture; -1 forwards. */
  int32_t nativeArchitecture;
  /* GetProcAddress hands out recording versions of the redirection and
     reflection functions. */
  int32_t recordLookUps;
  /* TaskDialog does not show: it stores answerButton and returns answerResult. */
  int32_t answerTaskDialog;
  int32_t answerButton;
  int32_t answerResult;
  /* GetDiskFreeSpaceExA and ...W report this many bytes free; -1 forwards. */
  int64_t freeBytes;
  /* CreateFileA refuses, as Windows does, to write to a read-only file and
     to replace a hidden or system file whose attributes the call does not
     name (ERROR_ACCESS_DENIED, logged as "CreateFileA"); Wine lets both
     through when it runs as root. 0 forwards every call unlogged.
     CreateFileW keeps the same rules. */
  int32_t windowsFileRules;
  /* RegSetValueExA fails with this status without writing; 0 forwards. */
  int32_t setValueStatus;
  /* FlushFileBuffers, RegFlushKey and SetFileInformationByHandle are logged
     (the last with its class in args[1]) when set; they always forward. */
  int32_t recordFlushes;
  /* EqualSid answers FALSE (logged), as for a process run by another
     account than the desktop's user, which Wine cannot make; 0 forwards. */
  int32_t sidsDiffer;
  volatile int32_t count;    /* calls logged */
  volatile int32_t dropped;  /* calls beyond the capacity */
  KorvalinRecordedCall calls[KORVALIN_RECORDER_CAPACITY];
} KorvalinRecorderState;

/* This process's state. */
KORVALIN_RECORDER_API KorvalinRecorderState* KorvalinRecorder(void);
/* Empties the log; the settings stay. */
KORVALIN_RECORDER_API void KorvalinRecorderClear(void);

#ifdef __cplusplus
}
#endif

#endif

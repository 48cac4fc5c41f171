/* The recording stand-ins; see recorder.h. */
#define KORVALIN_RECORDER_BUILD
#include "recorder.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

static KorvalinRecorderState* state;
static KorvalinRecorderState fallback; /* when no mapping could be made */

KorvalinRecorderState* KorvalinRecorder(void) { return state; }

void KorvalinRecorderClear(void) {
  state->count = 0;
  state->dropped = 0;
}

/* A new log entry; null when the log is full. */
static KorvalinRecordedCall* Record(const char* function) {
  KorvalinRecordedCall* call;
  int32_t at = state->count;
  if (at >= KORVALIN_RECORDER_CAPACITY) {
    state->dropped++;
    return NULL;
  }
  call = &state->calls[at];
  memset(call, 0, sizeof *call);
  lstrcpynA(call->function, function, sizeof call->function);
  state->count = at + 1;
  return call;
}

static void CopyText(char* to, const char* text) {
  if (text) lstrcpynA(to, text, KORVALIN_RECORDER_TEXT);
}

static void CopyWide(wchar_t* to, const wchar_t* text) {
  /* A resource ordinal in place of a string is no text. */
  if (text && !IS_INTRESOURCE(text)) lstrcpynW(to, text, KORVALIN_RECORDER_TEXT);
}

/* Value data: up to the text size, so that a terminator inside shows too. */
static void CopyBytes(char* to, const BYTE* data, DWORD size) {
  if (data) memcpy(to, data, size < KORVALIN_RECORDER_TEXT ? size : KORVALIN_RECORDER_TEXT);
}

#define ARG(i, v)                                  \
  do {                                             \
    if (call) call->args[i] = (uintptr_t)(v); \
  } while (0)

/* ---- registry ---- */

LONG WINAPI RecRegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY key) {
  KorvalinRecordedCall* call = Record("RegOpenKeyExA");
  LONG status;
  ARG(0, root); ARG(1, subKey); ARG(2, options); ARG(3, access); ARG(4, key);
  if (call) CopyText(call->text[0], subKey);
  status = RegOpenKeyExA(root, subKey, options, access, key);
  if (call) {
    call->result = (uintptr_t)status;
    call->out = key ? (uintptr_t)*key : 0;
  }
  return status;
}

LONG WINAPI RecRegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
  KorvalinRecordedCall* call = Record("RegQueryValueExA");
  LONG status;
  ARG(0, key); ARG(1, name); ARG(2, reserved); ARG(3, type); ARG(4, data); ARG(5, size);
  if (call) {
    CopyText(call->text[0], name);
    call->sizeBefore = size ? *size : 0;
  }
  status = RegQueryValueExA(key, name, reserved, type, data, size);
  if (call) {
    call->result = (uintptr_t)status;
    call->sizeAfter = size ? *size : 0;
    if (status == ERROR_SUCCESS && size) CopyBytes(call->text[1], data, *size);
  }
  return status;
}

LONG WINAPI RecRegCloseKey(HKEY key) {
  KorvalinRecordedCall* call = Record("RegCloseKey");
  LONG status;
  ARG(0, key);
  status = RegCloseKey(key);
  if (call) call->result = (uintptr_t)status;
  return status;
}

LONG WINAPI RecRegCreateKeyExA(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR className, DWORD options,
                               REGSAM access, const SECURITY_ATTRIBUTES* security, PHKEY key, LPDWORD disposition) {
  KorvalinRecordedCall* call = Record("RegCreateKeyExA");
  LONG status;
  ARG(0, root); ARG(1, subKey); ARG(2, reserved); ARG(3, className); ARG(4, options); ARG(5, access);
  ARG(6, security); ARG(7, key); ARG(8, disposition);
  if (call) CopyText(call->text[0], subKey);
  status = RegCreateKeyExA(root, subKey, reserved, className, options, access, (SECURITY_ATTRIBUTES*)security, key,
                           disposition);
  if (call) {
    call->result = (uintptr_t)status;
    call->out = key ? (uintptr_t)*key : 0;
  }
  return status;
}

LONG WINAPI RecRegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  KorvalinRecordedCall* call = Record("RegSetValueExA");
  LONG status;
  ARG(0, key); ARG(1, name); ARG(2, reserved); ARG(3, type); ARG(4, data); ARG(5, size);
  if (call) {
    CopyText(call->text[0], name);
    CopyBytes(call->text[1], data, size);
    call->sizeBefore = size;
  }
  status = state->setValueStatus ? state->setValueStatus : RegSetValueExA(key, name, reserved, type, data, size);
  if (call) call->result = (uintptr_t)status;
  return status;
}

/* ---- system and module look-ups ---- */

void WINAPI RecGetNativeSystemInfo(LPSYSTEM_INFO info) {
  KorvalinRecordedCall* call = Record("GetNativeSystemInfo");
  ARG(0, info);
  GetNativeSystemInfo(info);
  if (info && state->nativeArchitecture >= 0) info->wProcessorArchitecture = (WORD)state->nativeArchitecture;
  if (call && info) call->out = info->wProcessorArchitecture;
}

HMODULE WINAPI RecGetModuleHandleA(LPCSTR name) {
  KorvalinRecordedCall* call = Record("GetModuleHandleA");
  HMODULE module;
  ARG(0, name);
  if (call) CopyText(call->text[0], name);
  module = GetModuleHandleA(name);
  if (call) call->result = (uintptr_t)module;
  return module;
}

typedef BOOL(WINAPI* RedirectionDisable)(PVOID*);
typedef BOOL(WINAPI* RedirectionRevert)(PVOID);
typedef LONG(WINAPI* ReflectionSwitch)(HKEY);

static FARPROC Real(const char* module, const char* name) {
  HMODULE handle = GetModuleHandleA(module);
  return handle ? GetProcAddress(handle, name) : NULL;
}

static BOOL WINAPI RecWow64DisableWow64FsRedirection(PVOID* saved) {
  KorvalinRecordedCall* call = Record("Wow64DisableWow64FsRedirection");
  RedirectionDisable real = (RedirectionDisable)(void*)Real("kernel32.dll", "Wow64DisableWow64FsRedirection");
  BOOL ok;
  ARG(0, saved);
  ok = real ? real(saved) : FALSE;
  if (call) {
    call->result = (uintptr_t)ok;
    call->out = saved ? (uintptr_t)*saved : 0;
  }
  return ok;
}

static BOOL WINAPI RecWow64RevertWow64FsRedirection(PVOID saved) {
  KorvalinRecordedCall* call = Record("Wow64RevertWow64FsRedirection");
  RedirectionRevert real = (RedirectionRevert)(void*)Real("kernel32.dll", "Wow64RevertWow64FsRedirection");
  BOOL ok;
  ARG(0, saved);
  ok = real ? real(saved) : FALSE;
  if (call) call->result = (uintptr_t)ok;
  return ok;
}

static LONG WINAPI RecRegDisableReflectionKey(HKEY key) {
  KorvalinRecordedCall* call = Record("RegDisableReflectionKey");
  ReflectionSwitch real = (ReflectionSwitch)(void*)Real("advapi32.dll", "RegDisableReflectionKey");
  LONG status;
  ARG(0, key);
  status = real ? real(key) : ERROR_CALL_NOT_IMPLEMENTED;
  if (call) call->result = (uintptr_t)status;
  return status;
}

static LONG WINAPI RecRegEnableReflectionKey(HKEY key) {
  KorvalinRecordedCall* call = Record("RegEnableReflectionKey");
  ReflectionSwitch real = (ReflectionSwitch)(void*)Real("advapi32.dll", "RegEnableReflectionKey");
  LONG status;
  ARG(0, key);
  status = real ? real(key) : ERROR_CALL_NOT_IMPLEMENTED;
  if (call) call->result = (uintptr_t)status;
  return status;
}

FARPROC WINAPI RecGetProcAddress(HMODULE module, LPCSTR name) {
  KorvalinRecordedCall* call = Record("GetProcAddress");
  FARPROC found = GetProcAddress(module, name);
  ARG(0, module); ARG(1, name);
  if (call && !IS_INTRESOURCE(name)) CopyText(call->text[0], name);
  if (found && state->recordLookUps && !IS_INTRESOURCE(name)) {
    if (strcmp(name, "Wow64DisableWow64FsRedirection") == 0) found = (FARPROC)(void*)RecWow64DisableWow64FsRedirection;
    else if (strcmp(name, "Wow64RevertWow64FsRedirection") == 0) found = (FARPROC)(void*)RecWow64RevertWow64FsRedirection;
    else if (strcmp(name, "RegDisableReflectionKey") == 0) found = (FARPROC)(void*)RecRegDisableReflectionKey;
    else if (strcmp(name, "RegEnableReflectionKey") == 0) found = (FARPROC)(void*)RecRegEnableReflectionKey;
  }
  if (call) call->result = (uintptr_t)found;
  return found;
}

/* ---- task dialog ---- */

typedef HRESULT(WINAPI* TaskDialogFunction)(HWND, HINSTANCE, PCWSTR, PCWSTR, PCWSTR, TASKDIALOG_COMMON_BUTTON_FLAGS,
                                            PCWSTR, int*);

HRESULT WINAPI RecTaskDialog(HWND owner, HINSTANCE instance, PCWSTR title, PCWSTR instruction, PCWSTR content,
                             TASKDIALOG_COMMON_BUTTON_FLAGS buttons, PCWSTR icon, int* pressed) {
  KorvalinRecordedCall* call = Record("TaskDialog");
  HRESULT hr;
  ARG(0, owner); ARG(1, instance); ARG(2, title); ARG(3, instruction); ARG(4, content); ARG(5, buttons);
  ARG(6, icon); ARG(7, pressed);
  if (call) {
    CopyWide(call->wide[0], title);
    CopyWide(call->wide[1], instruction);
    CopyWide(call->wide[2], content);
  }
  if (state->answerTaskDialog) {
    if (pressed) *pressed = state->answerButton;
    hr = state->answerResult;
  } else {
    /* Looked up in the process's activation context, which picks version 6. */
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    TaskDialogFunction real = comctl ? (TaskDialogFunction)(void*)GetProcAddress(comctl, "TaskDialog") : NULL;
    hr = real ? real(owner, instance, title, instruction, content, buttons, icon, pressed) : E_NOTIMPL;
  }
  if (call) {
    call->result = (uintptr_t)hr;
    call->out = pressed ? (uintptr_t)*pressed : 0;
  }
  return hr;
}

/* ---- free space ---- */

/* The free space the state sets, in all three figures. */
static BOOL ReportFree(PULARGE_INTEGER callerFree, PULARGE_INTEGER total, PULARGE_INTEGER totalFree) {
  if (callerFree) callerFree->QuadPart = (ULONGLONG)state->freeBytes;
  if (total) total->QuadPart = (ULONGLONG)state->freeBytes;
  if (totalFree) totalFree->QuadPart = (ULONGLONG)state->freeBytes;
  return TRUE;
}

BOOL WINAPI RecGetDiskFreeSpaceExA(LPCSTR path, PULARGE_INTEGER callerFree, PULARGE_INTEGER total,
                                   PULARGE_INTEGER totalFree) {
  KorvalinRecordedCall* call = Record("GetDiskFreeSpaceExA");
  BOOL ok;
  ARG(0, path); ARG(1, callerFree); ARG(2, total); ARG(3, totalFree);
  if (call) CopyText(call->text[0], path);
  ok = state->freeBytes < 0 ? GetDiskFreeSpaceExA(path, callerFree, total, totalFree)
                            : ReportFree(callerFree, total, totalFree);
  if (call) call->result = (uintptr_t)ok;
  return ok;
}

BOOL WINAPI RecGetDiskFreeSpaceExW(LPCWSTR path, PULARGE_INTEGER callerFree, PULARGE_INTEGER total,
                                   PULARGE_INTEGER totalFree) {
  KorvalinRecordedCall* call = Record("GetDiskFreeSpaceExW");
  BOOL ok;
  ARG(0, path); ARG(1, callerFree); ARG(2, total); ARG(3, totalFree);
  if (call) CopyWide(call->wide[0], path);
  ok = state->freeBytes < 0 ? GetDiskFreeSpaceExW(path, callerFree, total, totalFree)
                            : ReportFree(callerFree, total, totalFree);
  if (call) call->result = (uintptr_t)ok;
  return ok;
}

/* ---- flushes and deletions ---- */

BOOL WINAPI RecFlushFileBuffers(HANDLE file) {
  KorvalinRecordedCall* call = state->recordFlushes ? Record("FlushFileBuffers") : NULL;
  BOOL ok = FlushFileBuffers(file);
  ARG(0, file);
  if (call) call->result = (uintptr_t)ok;
  return ok;
}

LONG WINAPI RecRegFlushKey(HKEY key) {
  KorvalinRecordedCall* call = state->recordFlushes ? Record("RegFlushKey") : NULL;
  LONG status = RegFlushKey(key);
  ARG(0, key);
  if (call) call->result = (uintptr_t)status;
  return status;
}

BOOL WINAPI RecSetFileInformationByHandle(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID information,
                                          DWORD bytes) {
  KorvalinRecordedCall* call = state->recordFlushes ? Record("SetFileInformationByHandle") : NULL;
  BOOL ok = SetFileInformationByHandle(file, kind, information, bytes);
  ARG(0, file); ARG(1, kind);
  if (call) call->result = (uintptr_t)ok;
  return ok;
}

/* ---- accounts ---- */

BOOL WINAPI RecEqualSid(PSID first, PSID second) {
  KorvalinRecordedCall* call = Record("EqualSid");
  BOOL same = state->sidsDiffer ? FALSE : EqualSid(first, second);
  ARG(0, first); ARG(1, second);
  if (call) call->result = (uintptr_t)same;
  return same;
}

/* ---- opening files ---- */

static BOOL RefusedOnWindows(LPCSTR name, DWORD access, DWORD disposition, DWORD flags) {
  const DWORD writing = GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA;
  DWORD existing;
  BOOL replaces;
  if (!state->windowsFileRules || !name || disposition == CREATE_NEW) return FALSE;
  existing = GetFileAttributesA(name);
  if (existing == INVALID_FILE_ATTRIBUTES || (existing & FILE_ATTRIBUTE_DIRECTORY)) return FALSE;
  replaces = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
  if ((existing & FILE_ATTRIBUTE_READONLY) && ((access & writing) || replaces)) return TRUE;
  return replaces && (existing & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM) & ~flags);
}

HANDLE WINAPI RecCreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                             DWORD disposition, DWORD flags, HANDLE templateFile) {
  KorvalinRecordedCall* call;
  if (!RefusedOnWindows(name, access, disposition, flags))
    return CreateFileA(name, access, share, security, disposition, flags, templateFile);
  call = Record("CreateFileA");
  ARG(0, name); ARG(1, access); ARG(2, share); ARG(3, security); ARG(4, disposition); ARG(5, flags);
  if (call) {
    CopyText(call->text[0], name);
    call->result = (uintptr_t)INVALID_HANDLE_VALUE;
  }
  SetLastError(ERROR_ACCESS_DENIED);
  return INVALID_HANDLE_VALUE;
}

static BOOL RefusedOnWindowsW(LPCWSTR name, DWORD access, DWORD disposition, DWORD flags) {
  char narrow[MAX_PATH * 4];
  /* Long-path names convert whole; the rules look at the file they name. */
  if (!name || !WideCharToMultiByte(CP_ACP, 0, name, -1, narrow, sizeof narrow, NULL, NULL)) return FALSE;
  return RefusedOnWindows(narrow, access, disposition, flags);
}

HANDLE WINAPI RecCreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                             DWORD disposition, DWORD flags, HANDLE templateFile) {
  KorvalinRecordedCall* call;
  if (!RefusedOnWindowsW(name, access, disposition, flags))
    return CreateFileW(name, access, share, security, disposition, flags, templateFile);
  call = Record("CreateFileW");
  ARG(0, name); ARG(1, access); ARG(2, share); ARG(3, security); ARG(4, disposition); ARG(5, flags);
  if (call) {
    CopyWide(call->wide[0], name);
    call->result = (uintptr_t)INVALID_HANDLE_VALUE;
  }
  SetLastError(ERROR_ACCESS_DENIED);
  return INVALID_HANDLE_VALUE;
}

/* ---- the shared state ---- */

static HANDLE mapping;

static void OpenState(void) {
  char name[64];
  snprintf(name, sizeof name, "Local\\KorvalinRecorder-%lu", (unsigned long)GetCurrentProcessId());
  mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, sizeof(KorvalinRecorderState), name);
  state = mapping ? (KorvalinRecorderState*)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0) : NULL;
  if (!state) state = &fallback;
  memset(state, 0, sizeof *state);
  state->nativeArchitecture = -1;
  state->freeBytes = -1;
  state->windowsFileRules = 1;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) OpenState();
  return TRUE;
}

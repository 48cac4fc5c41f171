// The program's declared platform functions: bound by name at first call,
// each index separately. A function declared under several indexes carries
// its index in the wrapper's name from the second declaration on.
#pragma once

#include <windows.h>
// windows.h first: the others build on it.
#include <commctrl.h>
#include <shlobj.h>
#include <uxtheme.h>
#include <tlhelp32.h>

#include "runtime/interface/program_calls.h"

namespace dll {

constexpr int kDeclaredFunctionCount = 153;
extern const char* const kLibraryNames[kDeclaredFunctionCount];
extern const char* const kFunctionNames[kDeclaredFunctionCount];

// 0: RestoreWindowPlacement: installs MainWindowHook
inline LONG_PTR SetWindowLongA(HWND window, int index, LONG_PTR value) {
  return rt::program::CallDeclared<LONG_PTR>(0, window, index, value);
}
// 1: RestoreWindowPlacement, MainWindowHook: the placement buffer
inline LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
  return rt::program::CallDeclared<LPVOID>(1, heap, flags, bytes);
}
// 2: FolderList thunk installation: each read of the method address
inline BOOL IsBadReadPtr(const void* address, UINT_PTR bytes) {
  return rt::program::CallDeclared<BOOL>(2, address, bytes);
}
// 3: RestoreWindowPlacement, MainWindowHook: the placement buffer
inline BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID block) {
  return rt::program::CallDeclared<BOOL>(3, heap, flags, block);
}
// 4: MainWindowHook: WM_SIZE keeps the list on the client area
inline BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
  return rt::program::CallDeclared<BOOL>(4, window, x, y, width, height, repaint);
}
// 5: MainWindowHook: every message goes on to the previous procedure
inline LRESULT CallWindowProcA(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return rt::program::CallDeclared<LRESULT>(5, previous, window, message, wParam, lParam);
}
// 6: MainWindowHook: WM_GETMINMAXINFO checks the structure before writing
inline BOOL IsBadWritePtr(void* address, UINT_PTR bytes) { return rt::program::CallDeclared<BOOL>(6, address, bytes); }
// 7: ToWideText
inline int lstrlenA(LPCSTR text) { return rt::program::CallDeclared<int>(7, text); }
// 8: ToWideText, DecodeDocumentBytes
inline int MultiByteToWideChar(UINT codePage, DWORD flags, LPCCH text, int length, LPWSTR wide, int wideLength) {
  return rt::program::CallDeclared<int>(8, codePage, flags, text, length, wide, wideLength);
}
// 9: ShowTaskDialog
inline HMODULE GetModuleHandleA(LPCSTR name) { return rt::program::CallDeclared<HMODULE>(9, name); }
// 10: ShowTaskDialog
inline HRESULT TaskDialog(HWND owner, HINSTANCE instance, PCWSTR title, PCWSTR instruction, PCWSTR content, int buttons,
                          PCWSTR icon, int* pressed) {
  return rt::program::CallDeclared<HRESULT>(10, owner, instance, title, instruction, content, buttons, icon, pressed);
}
// 11: ReadRegistryValue
inline LONG RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY key) {
  return rt::program::CallDeclared<LONG>(11, root, subKey, options, access, key);
}
// 12: ReadRegistryValue
inline LONG RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
  return rt::program::CallDeclared<LONG>(12, key, name, reserved, type, data, size);
}
// 13: ReadRegistryValue, WriteRegistryValue
inline LONG RegCloseKey(HKEY key) { return rt::program::CallDeclared<LONG>(13, key); }
// 14: IsNative64Bit
inline void GetNativeSystemInfo(LPSYSTEM_INFO info) { rt::program::CallDeclared<void>(14, info); }
// 15: the WOW64 guards: kernel32 and advapi32 looked up at each use
inline HMODULE GetModuleHandleA_15(LPCSTR name) { return rt::program::CallDeclared<HMODULE>(15, name); }
// 16: the WOW64 guards
inline FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  return rt::program::CallDeclared<FARPROC>(16, module, name);
}
// 17: ExpandEnvironmentText
inline DWORD DoEnvironmentSubstA(LPSTR text, UINT capacity) {
  return rt::program::CallDeclared<DWORD>(17, text, capacity);
}
// 18: WriteRegistryValue
inline LONG RegCreateKeyExA(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
                            const SECURITY_ATTRIBUTES* security, PHKEY key, LPDWORD disposition) {
  return rt::program::CallDeclared<LONG>(18, root, subKey, reserved, keyClass, options, access, security, key,
                                         disposition);
}
// 19: WriteRegistryValue
inline LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  return rt::program::CallDeclared<LONG>(19, key, name, reserved, type, data, size);
}
// 20: CopyFolderTree; the rule document's evaluation thread
inline HRESULT CoInitialize(LPVOID reserved) { return rt::program::CallDeclared<HRESULT>(20, reserved); }
// 21: CopyFolderTree; the rule document's evaluation thread
inline void CoUninitialize() { rt::program::CallDeclared<void>(21); }
// 22: RestartShell
inline HRESULT SHGetFolderPathA(HWND owner, int folder, HANDLE token, DWORD flags, LPSTR path) {
  return rt::program::CallDeclared<HRESULT>(22, owner, folder, token, flags, path);
}
// 23: RestartShell; the header row's link
inline HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT show) {
  return rt::program::CallDeclared<HINSTANCE>(23, owner, verb, file, parameters, directory, show);
}
// 24: BrowseForNewFolder
inline PIDLIST_ABSOLUTE SHBrowseForFolderA(LPBROWSEINFOA info) {
  return rt::program::CallDeclared<PIDLIST_ABSOLUTE>(24, info);
}
// 25: BrowseForNewFolder
inline BOOL SHGetPathFromIDListA(PCIDLIST_ABSOLUTE list, LPSTR path) {
  return rt::program::CallDeclared<BOOL>(25, list, path);
}
// 26: the module initialiser: processHeap
inline HANDLE GetProcessHeap() { return rt::program::CallDeclared<HANDLE>(26); }
// 27: ScriptJsonReader::bind
inline BSTR SysAllocStringByteLen(LPCSTR bytes, UINT length) {
  return rt::program::CallDeclared<BSTR>(27, bytes, length);
}
// 28: FolderList::onParentMessage: copies the DRAWITEMSTRUCT
inline void MoveMemoryBlock(void* destination, const void* source, SIZE_T bytes) {
  rt::program::CallDeclared<void>(28, destination, source, bytes);
}
// 29: FolderList's background brush (WM_CTLCOLORLISTBOX and paintItem's fill)
inline HBRUSH CreateSolidBrush(COLORREF color) { return rt::program::CallDeclared<HBRUSH>(29, color); }
// 30: FolderList::onRowMouse: the action button's rectangle
inline BOOL PtInRect(const RECT* rect, POINT point) { return rt::program::CallDeclared<BOOL>(30, rect, point); }
// 31: FolderList::onRowMouse
inline HWND SetCapture(HWND window) { return rt::program::CallDeclared<HWND>(31, window); }
// 32: FolderList::onRowMouse
inline BOOL ReleaseCapture() { return rt::program::CallDeclared<BOOL>(32); }
// 33: FolderList: subroutine references and the thunk's method
inline BOOL IsBadCodePtr(FARPROC code) { return rt::program::CallDeclared<BOOL>(33, code); }
// 34: FolderList mouse handlers and the thunk
inline LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return rt::program::CallDeclared<LRESULT>(34, window, message, wParam, lParam);
}
// 35: FolderList::onMouseMove
inline BOOL TrackMouseEvent(LPTRACKMOUSEEVENT request) { return rt::program::CallDeclared<BOOL>(35, request); }
// 36: FolderList::drawRow
inline HBRUSH CreateSolidBrush_36(COLORREF color) { return rt::program::CallDeclared<HBRUSH>(36, color); }
// 37: FolderList::drawRow
inline int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  return rt::program::CallDeclared<int>(37, dc, rect, brush);
}
// 38: FolderList::drawRow
inline BOOL DeleteObject(HGDIOBJ object) { return rt::program::CallDeclared<BOOL>(38, object); }
// 39: FolderList::drawRow
inline COLORREF SetTextColor(HDC dc, COLORREF color) { return rt::program::CallDeclared<COLORREF>(39, dc, color); }
// 40: FolderList::drawRow
inline int DrawTextA(HDC dc, LPCSTR text, int length, LPRECT rect, UINT format) {
  return rt::program::CallDeclared<int>(40, dc, text, length, rect, format);
}
// 41: FolderList::drawRow
inline HPEN CreatePen(int style, int width, COLORREF color) {
  return rt::program::CallDeclared<HPEN>(41, style, width, color);
}
// 42: FolderList::drawRow
inline HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) { return rt::program::CallDeclared<HGDIOBJ>(42, dc, object); }
// 43: FolderList::drawRow
inline BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
  return rt::program::CallDeclared<BOOL>(43, dc, x, y, previous);
}
// 44: FolderList::drawRow
inline BOOL LineTo(HDC dc, int x, int y) { return rt::program::CallDeclared<BOOL>(44, dc, x, y); }
// 45: FolderList::drawRow: the pressed button's caption
inline BOOL OffsetRect(LPRECT rect, int dx, int dy) { return rt::program::CallDeclared<BOOL>(45, rect, dx, dy); }
// 46: FolderList::setFont while drawing, FolderList::paintItem
inline HGDIOBJ SelectObject_46(HDC dc, HGDIOBJ object) { return rt::program::CallDeclared<HGDIOBJ>(46, dc, object); }
// 47: FolderList::setFont while drawing, FolderList::paintItem, the background brush
inline BOOL DeleteObject_47(HGDIOBJ object) { return rt::program::CallDeclared<BOOL>(47, object); }
// 48: FolderList font creation
inline HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                         DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                         DWORD quality, DWORD pitchAndFamily, LPCSTR face) {
  return rt::program::CallDeclared<HFONT>(48, height, width, escapement, orientation, weight, italic, underline,
                                          strikeOut, charSet, outPrecision, clipPrecision, quality, pitchAndFamily,
                                          face);
}
// 49: FolderList list-box wrappers (titles)
inline LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return rt::program::CallDeclared<LRESULT>(49, window, message, wParam, lParam);
}
// 50: FolderList list-box wrappers (item height, count, redraw hold)
inline LRESULT SendMessageA_50(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return rt::program::CallDeclared<LRESULT>(50, window, message, wParam, lParam);
}
// 51: FolderList themed check box
inline HTHEME OpenThemeData(HWND window, LPCWSTR classList) {
  return rt::program::CallDeclared<HTHEME>(51, window, classList);
}
// 52: FolderList themed check box
inline HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip) {
  return rt::program::CallDeclared<HRESULT>(52, theme, dc, part, state, rect, clip);
}
// 53: FolderList themed check box
inline HRESULT CloseThemeData(HTHEME theme) { return rt::program::CallDeclared<HRESULT>(53, theme); }
// 54: FolderList themed push button
inline HTHEME OpenThemeData_54(HWND window, LPCWSTR classList) {
  return rt::program::CallDeclared<HTHEME>(54, window, classList);
}
// 55: FolderList themed push button
inline HRESULT DrawThemeBackground_55(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip) {
  return rt::program::CallDeclared<HRESULT>(55, theme, dc, part, state, rect, clip);
}
// 56: FolderList themed push button
inline HRESULT CloseThemeData_56(HTHEME theme) { return rt::program::CallDeclared<HRESULT>(56, theme); }
// 57: FolderList::paintItem
inline HDC CreateCompatibleDC(HDC dc) { return rt::program::CallDeclared<HDC>(57, dc); }
// 58: FolderList::paintItem
inline HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  return rt::program::CallDeclared<HBITMAP>(58, dc, width, height);
}
// 59: FolderList::paintItem
inline int SetBkMode(HDC dc, int mode) { return rt::program::CallDeclared<int>(59, dc, mode); }
// 60: FolderList::paintItem
inline int FillRect_60(HDC dc, const RECT* rect, HBRUSH brush) {
  return rt::program::CallDeclared<int>(60, dc, rect, brush);
}
// 61: FolderList::paintItem
inline BOOL BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
  return rt::program::CallDeclared<BOOL>(61, dc, x, y, width, height, source, sx, sy, rop);
}
// 62: FolderList::paintItem
inline BOOL DeleteDC(HDC dc) { return rt::program::CallDeclared<BOOL>(62, dc); }
// 63: FolderList::create
inline BOOL IsWindow(HWND window) { return rt::program::CallDeclared<BOOL>(63, window); }
// 64: FolderList::create
inline HMODULE GetModuleHandleA_64(LPCSTR name) { return rt::program::CallDeclared<HMODULE>(64, name); }
// 65: FolderList::create
inline HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter) {
  return rt::program::CallDeclared<HWND>(65, exStyle, className, windowName, style, x, y, width, height, parent, menu,
                                         instance, parameter);
}
// 66: FolderList thunk installation
inline LONG_PTR SetWindowLongA_66(HWND window, int index, LONG_PTR value) {
  return rt::program::CallDeclared<LONG_PTR>(66, window, index, value);
}
// 67: FolderList thunk installation
inline BOOL SetPropA(HWND window, LPCSTR name, HANDLE data) {
  return rt::program::CallDeclared<BOOL>(67, window, name, data);
}
// 68: FolderList thunk procedure
inline HANDLE GetPropA(HWND window, LPCSTR name) { return rt::program::CallDeclared<HANDLE>(68, window, name); }
// 69: FolderList thunk procedure
inline LRESULT CallWindowProcA_69(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return rt::program::CallDeclared<LRESULT>(69, previous, window, message, wParam, lParam);
}
// 70: FolderList list-box wrappers (item rectangle)
inline LRESULT SendMessageA_70(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return rt::program::CallDeclared<LRESULT>(70, window, message, wParam, lParam);
}
// 71: FolderList::rowFromPoint
inline BOOL PtInRect_71(const RECT* rect, POINT point) { return rt::program::CallDeclared<BOOL>(71, rect, point); }
// 72: FolderList::invalidate
inline BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
  return rt::program::CallDeclared<BOOL>(72, window, rect, erase);
}
// 73: FolderList list-box wrappers (item from point)
inline LRESULT SendMessageA_73(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return rt::program::CallDeclared<LRESULT>(73, window, message, wParam, lParam);
}

// 74: the rule set: whether rules.json is there and how large
inline HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA found) {
  return rt::program::CallDeclared<HANDLE>(74, pattern, found);
}
// 75: no caller since the move's engine lists by wide names
inline BOOL FindNextFileA(HANDLE search, LPWIN32_FIND_DATAA found) {
  return rt::program::CallDeclared<BOOL>(75, search, found);
}
// 76: the rule set's look at rules.json
inline BOOL FindClose(HANDLE search) { return rt::program::CallDeclared<BOOL>(76, search); }
// 77: the command line's log file and console; the move journal
inline HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                          DWORD flags, HANDLE templateFile) {
  return rt::program::CallDeclared<HANDLE>(77, name, access, share, security, disposition, flags, templateFile);
}
// 78: no caller since the move's engine lists by wide names
inline BOOL GetFileSizeEx(HANDLE file, PLARGE_INTEGER size) {
  return rt::program::CallDeclared<BOOL>(78, file, size);
}
// 79: whatever index 77 opened
inline BOOL CloseHandle(HANDLE handle) { return rt::program::CallDeclared<BOOL>(79, handle); }
// 80: the same-place test of ApplyNewDirectory
inline DWORD GetFullPathNameA(LPCSTR name, DWORD capacity, LPSTR buffer, LPSTR* filePart) {
  return rt::program::CallDeclared<DWORD>(80, name, capacity, buffer, filePart);
}
// 81: the same-place test of ApplyNewDirectory
inline DWORD GetLongPathNameA(LPCSTR name, LPSTR buffer, DWORD capacity) {
  return rt::program::CallDeclared<DWORD>(81, name, buffer, capacity);
}
// 82: BrowseForNewFolder: the Computer folder as an item list
inline HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, PIDLIST_ABSOLUTE* list) {
  return rt::program::CallDeclared<HRESULT>(82, owner, folder, list);
}
// 83: BrowseForNewFolder: frees the root and the chosen item lists
inline void CoTaskMemFree(LPVOID block) { rt::program::CallDeclared<void>(83, block); }
// 84: MainWindowHook: the normal rectangle of a minimised or maximised window
inline BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement) {
  return rt::program::CallDeclared<BOOL>(84, window, placement);
}
// 85: RestoreWindowPlacement, MainWindowHook: the monitor under a rectangle
inline HMONITOR MonitorFromRect(LPCRECT rect, DWORD flags) {
  return rt::program::CallDeclared<HMONITOR>(85, rect, flags);
}
// 86: MainWindowHook: the work area that the normal rectangle is measured from
inline BOOL GetMonitorInfoA(HMONITOR monitor, LPMONITORINFO info) {
  return rt::program::CallDeclared<BOOL>(86, monitor, info);
}
// 87: the copy check: a listing must end because no entries are left
inline DWORD GetLastError() { return rt::program::CallDeclared<DWORD>(87); }
// 88: the command line: the console of the program it was started from
inline BOOL AttachConsole(DWORD processId) { return rt::program::CallDeclared<BOOL>(88, processId); }
// 89: the command line: output its parent redirected
inline HANDLE GetStdHandle(DWORD which) { return rt::program::CallDeclared<HANDLE>(89, which); }
// 90: the command line: whether its output is a console
inline BOOL GetConsoleMode(HANDLE console, LPDWORD mode) {
  return rt::program::CallDeclared<BOOL>(90, console, mode);
}
// 91: the command line: text on a console
inline BOOL WriteConsoleW(HANDLE console, const void* text, DWORD units, LPDWORD written, LPVOID reserved) {
  return rt::program::CallDeclared<BOOL>(91, console, text, units, written, reserved);
}
// 92: the command line: UTF-8 text to a file or pipe; the tree copy's
// blocks; the move journal
inline BOOL WriteFile(HANDLE file, LPCVOID bytes, DWORD count, LPDWORD written, LPOVERLAPPED overlapped) {
  return rt::program::CallDeclared<BOOL>(92, file, bytes, count, written, overlapped);
}
// 93: the command line: UTF-8 for files and pipes
inline int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH wide, int units, LPSTR text, int capacity,
                               LPCCH defaultChar, LPBOOL usedDefault) {
  return rt::program::CallDeclared<int>(93, codePage, flags, wide, units, text, capacity, defaultChar, usedDefault);
}
// 94: the rule set: the rule document is evaluated on a thread of its own;
// the window's copy runs on one too
inline HANDLE CreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stack, LPTHREAD_START_ROUTINE start, LPVOID argument,
                           DWORD flags, LPDWORD threadId) {
  return rt::program::CallDeclared<HANDLE>(94, security, stack, start, argument, flags, threadId);
}
// 95: the rule set: the command line's wait for the evaluation thread
inline DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  return rt::program::CallDeclared<DWORD>(95, handle, milliseconds);
}
// 96: the rule set: an evaluation given up on runs on at idle priority
inline BOOL SetThreadPriority(HANDLE thread, int priority) {
  return rt::program::CallDeclared<BOOL>(96, thread, priority);
}
// 97: LoadRuleSet and the copy's progress window: the window answers while
// another thread works
inline DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL all, DWORD milliseconds, DWORD wake) {
  return rt::program::CallDeclared<DWORD>(97, count, handles, all, milliseconds, wake);
}
// 98: the window's waits (LoadRuleSet, the copy)
inline BOOL PeekMessageA(LPMSG message, HWND window, UINT first, UINT last, UINT remove) {
  return rt::program::CallDeclared<BOOL>(98, message, window, first, last, remove);
}
// 99: the window's waits (LoadRuleSet, the copy)
inline BOOL TranslateMessage(const MSG* message) { return rt::program::CallDeclared<BOOL>(99, message); }
// 100: the window's waits (LoadRuleSet, the copy)
inline LRESULT DispatchMessageA(const MSG* message) { return rt::program::CallDeclared<LRESULT>(100, message); }
// 101: the window's waits (LoadRuleSet, the copy): a quit it saw goes back for the message loop
inline void PostQuitMessage(int exitCode) { rt::program::CallDeclared<void>(101, exitCode); }
// 102: the window's waits (LoadRuleSet, the copy): the time left
inline DWORD GetTickCount() { return rt::program::CallDeclared<DWORD>(102); }
// 103: no caller since the move's engine makes directories by wide names
inline BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security) {
  return rt::program::CallDeclared<BOOL>(103, path, security);
}
// 104: the move's engine: a file's contents, in large blocks
inline BOOL ReadFile(HANDLE file, LPVOID bytes, DWORD count, LPDWORD read, LPOVERLAPPED overlapped) {
  return rt::program::CallDeclared<BOOL>(104, file, bytes, count, read, overlapped);
}
// 105: no caller since the move's engine sets attributes by wide names
inline BOOL SetFileAttributesA(LPCSTR path, DWORD attributes) {
  return rt::program::CallDeclared<BOOL>(105, path, attributes);
}
// 106: the move journal
inline BOOL DeleteFileA(LPCSTR path) { return rt::program::CallDeclared<BOOL>(106, path); }
// 107: no caller since the clear deletes through the handles it checked
inline BOOL RemoveDirectoryA(LPCSTR path) { return rt::program::CallDeclared<BOOL>(107, path); }
// 108: no caller since the room check asks by the wide name
inline BOOL GetDiskFreeSpaceExA(LPCSTR path, PULARGE_INTEGER callerFree, PULARGE_INTEGER total,
                                PULARGE_INTEGER totalFree) {
  return rt::program::CallDeclared<BOOL>(108, path, callerFree, total, totalFree);
}
// 109: the same-place check: a directory's volume and file index
inline BOOL GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION information) {
  return rt::program::CallDeclared<BOOL>(109, file, information);
}
// 110: the warning question, Cancel its default button
inline HRESULT TaskDialogIndirect(const TASKDIALOGCONFIG* config, int* button, int* radio, BOOL* verification) {
  return rt::program::CallDeclared<HRESULT>(110, config, button, radio, verification);
}
// 111: the copy's progress window
inline HWND CreateDialogIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialog, HWND owner, DLGPROC procedure,
                                       LPARAM parameter) {
  return rt::program::CallDeclared<HWND>(111, instance, dialog, owner, procedure, parameter);
}
// 112: the copy's progress window
inline BOOL DestroyWindow(HWND window) { return rt::program::CallDeclared<BOOL>(112, window); }
// 113: the copy's progress window: its keys
inline BOOL IsDialogMessageA(HWND dialog, LPMSG message) {
  return rt::program::CallDeclared<BOOL>(113, dialog, message);
}
// 114: the copy's progress window: its texts
inline BOOL SetDlgItemTextA(HWND dialog, int item, LPCSTR text) {
  return rt::program::CallDeclared<BOOL>(114, dialog, item, text);
}
// 115: the copy's progress window: its bar
inline LRESULT SendDlgItemMessageA(HWND dialog, int item, UINT message, WPARAM wParam, LPARAM lParam) {
  return rt::program::CallDeclared<LRESULT>(115, dialog, item, message, wParam, lParam);
}
// 116: the copy's progress window: the main window takes no input meanwhile
inline BOOL EnableWindow(HWND window, BOOL enable) { return rt::program::CallDeclared<BOOL>(116, window, enable); }
// 117: the move journal reaches the disk before the move goes on
inline BOOL FlushFileBuffers(HANDLE file) { return rt::program::CallDeclared<BOOL>(117, file); }
// 118: the move journal replaces its previous stage whole
inline BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
  return rt::program::CallDeclared<BOOL>(118, from, to, flags);
}
// 119: the move journal: whether it is still there
inline DWORD GetFileAttributesA(LPCSTR path) { return rt::program::CallDeclared<DWORD>(119, path); }
// 120: no caller since a copy takes the times its listing showed
inline BOOL GetFileTime(HANDLE file, LPFILETIME created, LPFILETIME accessed, LPFILETIME written) {
  return rt::program::CallDeclared<BOOL>(120, file, created, accessed, written);
}
// 121: no caller since a copy takes the times its listing showed
inline BOOL SetFileTime(HANDLE file, const FILETIME* created, const FILETIME* accessed, const FILETIME* written) {
  return rt::program::CallDeclared<BOOL>(121, file, created, accessed, written);
}
// 122: the copy's progress window, shown once it is whole
inline BOOL ShowWindow(HWND window, int command) { return rt::program::CallDeclared<BOOL>(122, window, command); }

// 123: the move's engine: every file and directory by its wide long-path name
inline HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                          DWORD flags, HANDLE templateFile) {
  return rt::program::CallDeclared<HANDLE>(123, name, access, share, security, disposition, flags, templateFile);
}
// 124: the move's engine: directory listings with file ids and change
// times, a file's stamps before it is deleted, a file's streams
inline BOOL GetFileInformationByHandleEx(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID information,
                                         DWORD bytes) {
  return rt::program::CallDeclared<BOOL>(124, file, kind, information, bytes);
}
// 125: the move's engine: a copy's attributes and times, a deletion by the
// handle that was checked
inline BOOL SetFileInformationByHandle(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID information, DWORD bytes) {
  return rt::program::CallDeclared<BOOL>(125, file, kind, information, bytes);
}
// 126: where a place really is, past links and substituted drives
inline DWORD GetFinalPathNameByHandleW(HANDLE file, LPWSTR path, DWORD capacity, DWORD flags) {
  return rt::program::CallDeclared<DWORD>(126, file, path, capacity, flags);
}
// 127: a folder's path made absolute before it takes the long-path prefix
inline DWORD GetFullPathNameW(LPCWSTR name, DWORD capacity, LPWSTR buffer, LPWSTR* filePart) {
  return rt::program::CallDeclared<DWORD>(127, name, capacity, buffer, filePart);
}
// 128: the move's engine: the destination's directories
inline BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES security) {
  return rt::program::CallDeclared<BOOL>(128, path, security);
}
// 129: the move's engine: a replaced file put in place, or back
inline BOOL MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags) {
  return rt::program::CallDeclared<BOOL>(129, from, to, flags);
}
// 130: the room check before a copy
inline BOOL GetDiskFreeSpaceExW(LPCWSTR path, PULARGE_INTEGER callerFree, PULARGE_INTEGER total,
                                PULARGE_INTEGER totalFree) {
  return rt::program::CallDeclared<BOOL>(130, path, callerFree, total, totalFree);
}
// 131: the move's engine: what stands at a path
inline DWORD GetFileAttributesW(LPCWSTR path) { return rt::program::CallDeclared<DWORD>(131, path); }
// 132: the switched value reaches the disk before the old place is emptied
inline LONG RegFlushKey(HKEY key) { return rt::program::CallDeclared<LONG>(132, key); }
// 133: one Korvalin at a time for each program directory
inline HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES security, BOOL owned, LPCSTR name) {
  return rt::program::CallDeclared<HANDLE>(133, security, owned, name);
}
// 134: the move's engine: copies waiting to replace a file, when the move
// stops, and the replaced files, once it is done
inline BOOL DeleteFileW(LPCWSTR path) { return rt::program::CallDeclared<BOOL>(134, path); }
// 135: the move's engine: names compared as the file system compares them
inline DWORD CharUpperBuffW(LPWSTR text, DWORD length) { return rt::program::CallDeclared<DWORD>(135, text, length); }
// 136: the move's engine: directory attributes, and a read-only copy or
// replaced file without the attribute for a moment
inline BOOL SetFileAttributesW(LPCWSTR path, DWORD attributes) {
  return rt::program::CallDeclared<BOOL>(136, path, attributes);
}

// 137: the move's engine: names of its own for copies waiting to replace a file
inline DWORD GetCurrentProcessId() { return rt::program::CallDeclared<DWORD>(137); }

// 138: the clear: where an entry really is, also past the length the
// path functions give back
inline LONG NtQueryObject(HANDLE handle, int kind, PVOID information, ULONG bytes, PULONG returned) {
  return rt::program::CallDeclared<LONG>(138, handle, kind, information, bytes, returned);
}

// 139: the account check: the shell's window, whose process's user owns the desktop
inline HWND GetShellWindow() { return rt::program::CallDeclared<HWND>(139); }
// 140: the account check: the shell's process
inline DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId) {
  return rt::program::CallDeclared<DWORD>(140, window, processId);
}
// 141: the account check: the shell's process, to read its user
inline HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD processId) {
  return rt::program::CallDeclared<HANDLE>(141, access, inherit, processId);
}
// 142: the account check: this process, to read its user
inline HANDLE GetCurrentProcess() { return rt::program::CallDeclared<HANDLE>(142); }
// 143: the account check: a process's token
inline BOOL OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) {
  return rt::program::CallDeclared<BOOL>(143, process, access, token);
}
// 144: the account check: a token's user
inline BOOL GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind, LPVOID information, DWORD bytes,
                                PDWORD returned) {
  return rt::program::CallDeclared<BOOL>(144, token, kind, information, bytes, returned);
}
// 145: the account check: the two users compared
inline BOOL EqualSid(PSID first, PSID second) { return rt::program::CallDeclared<BOOL>(145, first, second); }
// 146: the account check: the system's own accounts, whose profile is no user's
inline BOOL IsWellKnownSid(PSID sid, WELL_KNOWN_SID_TYPE type) {
  return rt::program::CallDeclared<BOOL>(146, sid, type);
}
// 147: the account check: the users' names in its message
inline BOOL LookupAccountSidA(LPCSTR system, PSID sid, LPSTR name, LPDWORD nameLength, LPSTR domain,
                              LPDWORD domainLength, PSID_NAME_USE use) {
  return rt::program::CallDeclared<BOOL>(147, system, sid, name, nameLength, domain, domainLength, use);
}
// 148: a layout file's directories: %USERNAME%, %OneDrive% and any other variable
inline DWORD ExpandEnvironmentStringsA(LPCSTR text, LPSTR expanded, DWORD capacity) {
  return rt::program::CallDeclared<DWORD>(148, text, expanded, capacity);
}

// 149: the account check where no shell window is registered: the session's
// explorer.exe
inline HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD processId) {
  return rt::program::CallDeclared<HANDLE>(149, flags, processId);
}
// 150: the account check: the processes of the snapshot
inline BOOL Process32FirstW(HANDLE snapshot, LPPROCESSENTRY32W entry) {
  return rt::program::CallDeclared<BOOL>(150, snapshot, entry);
}
// 151: the account check
inline BOOL Process32NextW(HANDLE snapshot, LPPROCESSENTRY32W entry) {
  return rt::program::CallDeclared<BOOL>(151, snapshot, entry);
}
// 152: the account check: only a shell of this session counts
inline BOOL ProcessIdToSessionId(DWORD processId, DWORD* sessionId) {
  return rt::program::CallDeclared<BOOL>(152, processId, sessionId);
}

}  // namespace dll

// The program's declared platform functions: bound by name at first call,
// each index separately. A function declared under several indexes carries
// its index in the wrapper's name from the second declaration on.
#pragma once

#include <windows.h>
// windows.h first: the others build on it.
#include <commctrl.h>
#include <shlobj.h>
#include <uxtheme.h>

#include "runtime/program_calls.h"

namespace dll {

constexpr int kDeclaredFunctionCount = 74;
extern const char* const kLibraryNames[kDeclaredFunctionCount];
extern const char* const kFunctionNames[kDeclaredFunctionCount];

inline LONG_PTR SetWindowLongA(HWND window, int index, LONG_PTR value) {
  return rt::program::CallDeclared<LONG_PTR>(0, window, index, value);
}
inline LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
  return rt::program::CallDeclared<LPVOID>(1, heap, flags, bytes);
}
inline BOOL IsBadReadPtr(const void* address, UINT_PTR bytes) {
  return rt::program::CallDeclared<BOOL>(2, address, bytes);
}
inline BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID block) {
  return rt::program::CallDeclared<BOOL>(3, heap, flags, block);
}
inline BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
  return rt::program::CallDeclared<BOOL>(4, window, x, y, width, height, repaint);
}
inline LRESULT CallWindowProcA(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return rt::program::CallDeclared<LRESULT>(5, previous, window, message, wParam, lParam);
}
inline BOOL IsBadWritePtr(void* address, UINT_PTR bytes) { return rt::program::CallDeclared<BOOL>(6, address, bytes); }
inline int lstrlenA(LPCSTR text) { return rt::program::CallDeclared<int>(7, text); }
inline int MultiByteToWideChar(UINT codePage, DWORD flags, LPCCH text, int length, LPWSTR wide, int wideLength) {
  return rt::program::CallDeclared<int>(8, codePage, flags, text, length, wide, wideLength);
}
inline HMODULE GetModuleHandleA(LPCSTR name) { return rt::program::CallDeclared<HMODULE>(9, name); }
inline HRESULT TaskDialog(HWND owner, HINSTANCE instance, PCWSTR title, PCWSTR instruction, PCWSTR content, int buttons,
                          PCWSTR icon, int* pressed) {
  return rt::program::CallDeclared<HRESULT>(10, owner, instance, title, instruction, content, buttons, icon, pressed);
}
inline LONG RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY key) {
  return rt::program::CallDeclared<LONG>(11, root, subKey, options, access, key);
}
inline LONG RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
  return rt::program::CallDeclared<LONG>(12, key, name, reserved, type, data, size);
}
inline LONG RegCloseKey(HKEY key) { return rt::program::CallDeclared<LONG>(13, key); }
inline void GetNativeSystemInfo(LPSYSTEM_INFO info) { rt::program::CallDeclared<void>(14, info); }
inline HMODULE GetModuleHandleA_15(LPCSTR name) { return rt::program::CallDeclared<HMODULE>(15, name); }
inline FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  return rt::program::CallDeclared<FARPROC>(16, module, name);
}
inline DWORD DoEnvironmentSubstA(LPSTR text, UINT capacity) {
  return rt::program::CallDeclared<DWORD>(17, text, capacity);
}
inline LONG RegCreateKeyExA(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
                            const SECURITY_ATTRIBUTES* security, PHKEY key, LPDWORD disposition) {
  return rt::program::CallDeclared<LONG>(18, root, subKey, reserved, keyClass, options, access, security, key,
                                         disposition);
}
inline LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  return rt::program::CallDeclared<LONG>(19, key, name, reserved, type, data, size);
}
inline HRESULT CoInitialize(LPVOID reserved) { return rt::program::CallDeclared<HRESULT>(20, reserved); }
inline void CoUninitialize() { rt::program::CallDeclared<void>(21); }
inline HRESULT SHGetFolderPathA(HWND owner, int folder, HANDLE token, DWORD flags, LPSTR path) {
  return rt::program::CallDeclared<HRESULT>(22, owner, folder, token, flags, path);
}
inline HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT show) {
  return rt::program::CallDeclared<HINSTANCE>(23, owner, verb, file, parameters, directory, show);
}
inline PIDLIST_ABSOLUTE SHBrowseForFolderA(LPBROWSEINFOA info) {
  return rt::program::CallDeclared<PIDLIST_ABSOLUTE>(24, info);
}
inline BOOL SHGetPathFromIDListA(PCIDLIST_ABSOLUTE list, LPSTR path) {
  return rt::program::CallDeclared<BOOL>(25, list, path);
}
inline HANDLE GetProcessHeap() { return rt::program::CallDeclared<HANDLE>(26); }
inline BSTR SysAllocStringByteLen(LPCSTR bytes, UINT length) {
  return rt::program::CallDeclared<BSTR>(27, bytes, length);
}
inline void MoveMemoryBlock(void* destination, const void* source, SIZE_T bytes) {
  rt::program::CallDeclared<void>(28, destination, source, bytes);
}
inline HBRUSH CreateSolidBrush(COLORREF color) { return rt::program::CallDeclared<HBRUSH>(29, color); }
inline BOOL PtInRect(const RECT* rect, POINT point) { return rt::program::CallDeclared<BOOL>(30, rect, point); }
inline HWND SetCapture(HWND window) { return rt::program::CallDeclared<HWND>(31, window); }
inline BOOL ReleaseCapture() { return rt::program::CallDeclared<BOOL>(32); }
inline BOOL IsBadCodePtr(FARPROC code) { return rt::program::CallDeclared<BOOL>(33, code); }
inline LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return rt::program::CallDeclared<LRESULT>(34, window, message, wParam, lParam);
}
inline BOOL TrackMouseEvent(LPTRACKMOUSEEVENT request) { return rt::program::CallDeclared<BOOL>(35, request); }
inline HBRUSH CreateSolidBrush_36(COLORREF color) { return rt::program::CallDeclared<HBRUSH>(36, color); }
inline int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  return rt::program::CallDeclared<int>(37, dc, rect, brush);
}
inline BOOL DeleteObject(HGDIOBJ object) { return rt::program::CallDeclared<BOOL>(38, object); }
inline COLORREF SetTextColor(HDC dc, COLORREF color) { return rt::program::CallDeclared<COLORREF>(39, dc, color); }
inline int DrawTextA(HDC dc, LPCSTR text, int length, LPRECT rect, UINT format) {
  return rt::program::CallDeclared<int>(40, dc, text, length, rect, format);
}
inline HPEN CreatePen(int style, int width, COLORREF color) {
  return rt::program::CallDeclared<HPEN>(41, style, width, color);
}
inline HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) { return rt::program::CallDeclared<HGDIOBJ>(42, dc, object); }
inline BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
  return rt::program::CallDeclared<BOOL>(43, dc, x, y, previous);
}
inline BOOL LineTo(HDC dc, int x, int y) { return rt::program::CallDeclared<BOOL>(44, dc, x, y); }
inline BOOL OffsetRect(LPRECT rect, int dx, int dy) { return rt::program::CallDeclared<BOOL>(45, rect, dx, dy); }
inline HGDIOBJ SelectObject_46(HDC dc, HGDIOBJ object) { return rt::program::CallDeclared<HGDIOBJ>(46, dc, object); }
inline BOOL DeleteObject_47(HGDIOBJ object) { return rt::program::CallDeclared<BOOL>(47, object); }
inline HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                         DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                         DWORD quality, DWORD pitchAndFamily, LPCSTR face) {
  return rt::program::CallDeclared<HFONT>(48, height, width, escapement, orientation, weight, italic, underline,
                                          strikeOut, charSet, outPrecision, clipPrecision, quality, pitchAndFamily,
                                          face);
}
inline LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return rt::program::CallDeclared<LRESULT>(49, window, message, wParam, lParam);
}
inline LRESULT SendMessageA_50(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return rt::program::CallDeclared<LRESULT>(50, window, message, wParam, lParam);
}
inline HTHEME OpenThemeData(HWND window, LPCWSTR classList) {
  return rt::program::CallDeclared<HTHEME>(51, window, classList);
}
inline HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip) {
  return rt::program::CallDeclared<HRESULT>(52, theme, dc, part, state, rect, clip);
}
inline HRESULT CloseThemeData(HTHEME theme) { return rt::program::CallDeclared<HRESULT>(53, theme); }
inline HTHEME OpenThemeData_54(HWND window, LPCWSTR classList) {
  return rt::program::CallDeclared<HTHEME>(54, window, classList);
}
inline HRESULT DrawThemeBackground_55(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip) {
  return rt::program::CallDeclared<HRESULT>(55, theme, dc, part, state, rect, clip);
}
inline HRESULT CloseThemeData_56(HTHEME theme) { return rt::program::CallDeclared<HRESULT>(56, theme); }
inline HDC CreateCompatibleDC(HDC dc) { return rt::program::CallDeclared<HDC>(57, dc); }
inline HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  return rt::program::CallDeclared<HBITMAP>(58, dc, width, height);
}
inline int SetBkMode(HDC dc, int mode) { return rt::program::CallDeclared<int>(59, dc, mode); }
inline int FillRect_60(HDC dc, const RECT* rect, HBRUSH brush) {
  return rt::program::CallDeclared<int>(60, dc, rect, brush);
}
inline BOOL BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
  return rt::program::CallDeclared<BOOL>(61, dc, x, y, width, height, source, sx, sy, rop);
}
inline BOOL DeleteDC(HDC dc) { return rt::program::CallDeclared<BOOL>(62, dc); }
inline BOOL IsWindow(HWND window) { return rt::program::CallDeclared<BOOL>(63, window); }
inline HMODULE GetModuleHandleA_64(LPCSTR name) { return rt::program::CallDeclared<HMODULE>(64, name); }
inline HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter) {
  return rt::program::CallDeclared<HWND>(65, exStyle, className, windowName, style, x, y, width, height, parent, menu,
                                         instance, parameter);
}
inline LONG_PTR SetWindowLongA_66(HWND window, int index, LONG_PTR value) {
  return rt::program::CallDeclared<LONG_PTR>(66, window, index, value);
}
inline BOOL SetPropA(HWND window, LPCSTR name, HANDLE data) {
  return rt::program::CallDeclared<BOOL>(67, window, name, data);
}
inline HANDLE GetPropA(HWND window, LPCSTR name) { return rt::program::CallDeclared<HANDLE>(68, window, name); }
inline LRESULT CallWindowProcA_69(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return rt::program::CallDeclared<LRESULT>(69, previous, window, message, wParam, lParam);
}
inline LRESULT SendMessageA_70(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return rt::program::CallDeclared<LRESULT>(70, window, message, wParam, lParam);
}
inline BOOL PtInRect_71(const RECT* rect, POINT point) { return rt::program::CallDeclared<BOOL>(71, rect, point); }
inline BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
  return rt::program::CallDeclared<BOOL>(72, window, rect, erase);
}
inline LRESULT SendMessageA_73(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return rt::program::CallDeclared<LRESULT>(73, window, message, wParam, lParam);
}

}  // namespace dll

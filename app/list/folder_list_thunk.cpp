// The list window and the window-procedure thunk that hands the messages of
// the list and of its parent to operations of the object, found by slot.
#include "app/list/folder_list.h"
#include "app/list/folder_list_parts.h"
#include "image/declared_functions.h"

namespace korvalin {
namespace {

constexpr char kProcProperty[] = "_Proc";
constexpr char kThisProperty[] = "_This";
constexpr char kMethodProperty[] = "_Method";

// Slots in the table of operations, in declaration order.
constexpr int kSlotOnParentMessage = 3;
constexpr int kSlotOnListMessage = 4;

// Member functions take the object in ECX on i686.
#if defined(__i386__)
using Method = LRESULT(__attribute__((thiscall)) *)(FolderList*, HWND, UINT, WPARAM, LPARAM);
#else
using Method = LRESULT (*)(FolderList*, HWND, UINT, WPARAM, LPARAM);
#endif

// Reference, then object: each checked before it is read.
FolderList* ObjectOf(FolderList** reference) {
  if (dll::IsBadReadPtr(reference, sizeof(void*))) return nullptr;
  FolderList* object = *reference;
  return dll::IsBadReadPtr(object, sizeof(void*)) ? nullptr : object;
}

// Reference, object, table.
void* MethodAddress(FolderList** reference, int slot) {
  FolderList* object = ObjectOf(reference);
  if (!object) return nullptr;
  void* const* table = *reinterpret_cast<void* const* const*>(object);
  if (dll::IsBadReadPtr(table + slot, sizeof(void*))) return nullptr;
  return table[slot];
}

// Gives the window procedure the thunk stands in front of.
WNDPROC InstallThunk(HWND window, FolderList** reference, int slot) {
  LONG_PTR old = dll::SetWindowLongThunk(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FolderListThunk));
  dll::SetPropA(window, kProcProperty, reinterpret_cast<HANDLE>(old));
  dll::SetPropA(window, kThisProperty, reinterpret_cast<HANDLE>(reference));
  dll::SetPropA(window, kMethodProperty, MethodAddress(reference, slot));
  return reinterpret_cast<WNDPROC>(old);
}

}  // namespace

namespace folder_list {

WNDPROC PreviousProcedure(HWND window) { return reinterpret_cast<WNDPROC>(dll::GetPropA(window, kProcProperty)); }

void RemoveThunk(HWND window) {
  const auto previous = reinterpret_cast<LONG_PTR>(PreviousProcedure(window));
  if (!previous) return;
  const LONG_PTR current = dll::SetWindowLongThunk(window, GWLP_WNDPROC, previous);
  // Subclassed again after the thunk: that procedure stays in front.
  if (current != reinterpret_cast<LONG_PTR>(&FolderListThunk)) dll::SetWindowLongThunk(window, GWLP_WNDPROC, current);
}

}  // namespace folder_list

LRESULT CALLBACK FolderListThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto old = reinterpret_cast<WNDPROC>(dll::GetPropA(window, kProcProperty));
  if (!old) return dll::DefWindowProcA(window, message, wParam, lParam);
  void* method = dll::GetPropA(window, kMethodProperty);
  auto* reference = static_cast<FolderList**>(dll::GetPropA(window, kThisProperty));
  // Once the program has let go of the object its windows fall through.
  if (folder_list::IsCallable(method)) {
    if (FolderList* object = ObjectOf(reference)) {
      LRESULT result = reinterpret_cast<Method>(method)(object, window, message, wParam, lParam);
      if (result) return result;
    }
  }
  return dll::CallWindowProcPastThunk(old, window, message, wParam, lParam);
}

int32_t FolderList::create(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height, int32_t borderStyle,
                           int32_t, int32_t extraStyle, bool useExtraStyle) {
  if (dll::IsWindow(handle)) return 1;
  if (!dll::IsWindow(parent)) return 0;
  DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
  DWORD exStyle = 0;
  if (borderStyle == 1) exStyle = WS_EX_CLIENTEDGE;
  if (borderStyle == 2) style |= WS_BORDER;
  if (useExtraStyle) style |= static_cast<DWORD>(extraStyle);
  handle = dll::CreateWindowExA(exStyle, "ListBox", nullptr, style, x, y, width, height, parent, nullptr,
                                dll::GetModuleHandleListWindow(nullptr), nullptr);
  if (!handle) return 0;
  listBoxProcedure_ = InstallThunk(handle, self(), kSlotOnListMessage);
  InstallThunk(parent, self(), kSlotOnParentMessage);
  return 1;
}

}  // namespace korvalin

#include "app/dialogs/task_dialog.h"

#include "image/declared_functions.h"
#include "encoding/wide_text.h"
#include "runtime/interface/command_calls.h"
#include "runtime/interface/program_calls.h"

namespace korvalin {
namespace {

PCWSTR WideChars(void* wide) { return reinterpret_cast<PCWSTR>(rt::ByteSetData(wide)); }

}  // namespace

int32_t IconOrdinal(int32_t n) { return rt::cmd::MakeInt(-n, 0); }

int32_t ShowTaskDialog(HWND owner, const char* title, const char* instruction, const char* content,
                       int32_t buttons, int32_t icon) {
  void* wideTitle = ToWideText(title, 0, false, 0);
  void* wideInstruction = ToWideText(instruction, 0, false, 0);
  void* wideContent = ToWideText(content, 0, false, 0);
  HMODULE module = dll::GetModuleHandleA(nullptr);
  int pressed = 0;
  HRESULT hr = dll::TaskDialog(owner, module, WideChars(wideTitle), WideChars(wideInstruction),
                               WideChars(wideContent), buttons, MAKEINTRESOURCEW(static_cast<WORD>(icon)), &pressed);
  rt::program::Free(wideTitle);
  rt::program::Free(wideInstruction);
  rt::program::Free(wideContent);
  return hr == S_OK ? pressed : static_cast<int32_t>(hr);
}

bool ShowWarningQuestion(HWND owner, const char* title, const char* instruction, const char* content) {
  void* wideTitle = ToWideText(title, 0, false, 0);
  void* wideInstruction = ToWideText(instruction, 0, false, 0);
  void* wideContent = ToWideText(content, 0, false, 0);
  TASKDIALOGCONFIG config = {};
  config.cbSize = sizeof config;
  config.hwndParent = owner;
  config.hInstance = dll::GetModuleHandleA(nullptr);
  config.dwCommonButtons = TDCBF_OK_BUTTON | TDCBF_CANCEL_BUTTON;
  config.pszWindowTitle = WideChars(wideTitle);
  config.pszMainIcon = TD_WARNING_ICON;
  config.pszMainInstruction = WideChars(wideInstruction);
  config.pszContent = WideChars(wideContent);
  config.nDefaultButton = IDCANCEL;
  int pressed = 0;
  HRESULT hr = dll::TaskDialogIndirect(&config, &pressed, nullptr, nullptr);
  rt::program::Free(wideTitle);
  rt::program::Free(wideInstruction);
  rt::program::Free(wideContent);
  return hr == S_OK && pressed == IDOK;
}

}  // namespace korvalin

#include "app/dialogs/message_pump.h"

#include "image/declared_functions.h"

namespace korvalin {

PumpResult PumpWhileWaiting(HANDLE thread, DWORD milliseconds, HWND dialog, int* quitCode) {
  const DWORD start = dll::GetTickCount();
  for (DWORD elapsed = 0; elapsed <= milliseconds; elapsed = dll::GetTickCount() - start) {
    const DWORD woke = dll::MsgWaitForMultipleObjects(1, &thread, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0) return PumpResult::kEnded;
    if (woke != WAIT_OBJECT_0 + 1) break;
    MSG message;
    while (dll::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        *quitCode = static_cast<int>(message.wParam);
        return PumpResult::kQuit;
      }
      if (dialog && dll::IsDialogMessageA(dialog, &message)) continue;
      dll::TranslateMessage(&message);
      dll::DispatchMessageA(&message);
    }
  }
  return PumpResult::kTimedOut;
}

}  // namespace korvalin

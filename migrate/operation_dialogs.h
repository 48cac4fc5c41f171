// The task dialogs of the change and restore operations: owned by the main
// window and titled with its current caption.
#pragma once

#include <cstdint>

namespace korvalin {

// Icon numbers handed to IconOrdinal.
constexpr int32_t kIconQuestion = 9;  // 0xFFF7
constexpr int32_t kIconError = 6;     // 0xFFFA
constexpr int32_t kIconFailure = 7;   // 0xFFF9

// A message with the Close button alone.
void ShowNotice(const char* instruction, const char* content, int32_t icon);

// OK and Cancel; true only when the user pressed OK.
bool AskToConfirm(const char* content);

}  // namespace korvalin

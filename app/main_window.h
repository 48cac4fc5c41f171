// The main window: its template and its creation and activation handlers.
#pragma once

#include "runtime/windows.h"

namespace korvalin {

const rt::TemplateCollection& MainWindowTemplates();

void OnMainWindowCreated();
void OnMainWindowFirstActivated();

// The main window's handle and current caption (a new text the caller frees).
HWND MainWindowHandle();
rt::Text MainWindowCaption();

}  // namespace korvalin

// The main window: its template and its creation and activation handlers.
#pragma once

#include <windows.h>

#include "runtime/value.h"
#include "runtime/window_templates.h"

namespace korvalin {

// The main window's template, its handlers as offsets from ProgramEntry.
rt::TemplateCollection MainWindowTemplates();

void OnMainWindowCreated();
void OnMainWindowFirstActivated();

// The main window's handle and current caption (a new text the caller frees).
HWND MainWindowHandle();
rt::Text MainWindowCaption();

}  // namespace korvalin

// The main window: its template and its creation and activation handlers.
#pragma once

#include <windows.h>

#include "runtime/values/value.h"
#include "runtime/windows/window_templates.h"

namespace korvalin {

// The main window's template, its handlers as offsets from codeBase (the
// program's first routine).
rt::TemplateCollection MainWindowTemplates(const void* codeBase);

void OnMainWindowCreated();
void OnMainWindowFirstActivated();

}  // namespace korvalin

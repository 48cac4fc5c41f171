// The Win32 class under which template windows are made, and its procedure.
#pragma once

namespace rt::kernel {

constexpr char kDefaultWindowClass[] = "WTWindow";

// Registers the class with the kernel's window procedure unless a class of
// that name is registered already.
void RegisterTemplateWindowClass(const char* name);

}  // namespace rt::kernel

// The program's declared functions, bound by name at their first call.
#pragma once

#include <cstdint>

namespace rt::kernel {

void PrepareDeclaredFunctions(uint32_t count, const char* const* libraries, const char* const* functions);
void ReleaseDeclaredFunctions();
void* BindDeclaredFunction(int index);

}  // namespace rt::kernel

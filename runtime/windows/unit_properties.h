// Properties of a window's units by index: 0 to 7 shared by all units, 8 on
// the unit class's own (for a window, 8 is its title).
#pragma once

#include <cstdint>

#include "runtime/interface/program_image.h"

namespace rt {

PropertyWords ReadUnitProperty(uint32_t window, uint32_t unit, int32_t property, int32_t element);
void WriteUnitProperty(uint32_t window, uint32_t unit, int32_t property, int32_t element, uint32_t low, uint32_t high);

}  // namespace rt

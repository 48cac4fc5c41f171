// Properties of a window's units by index: 0 to 7 shared by all units, 8 on
// the unit class's own (for a window, 8 is its title).
#pragma once

#include <cstdint>


namespace rt {

// A property's value as two 32-bit words.
struct PropertyWords {
  uint32_t low = 0;
  uint32_t high = 0;
};

PropertyWords ReadUnitProperty(uint32_t window, uint32_t unit, int32_t property, int32_t element);
void WriteUnitProperty(uint32_t window, uint32_t unit, int32_t property, int32_t element, uint32_t low, uint32_t high);

}  // namespace rt

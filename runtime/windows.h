// Loaded window templates, the windows made from them, their events and
// their unit properties.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/program_image.h"

namespace rt {

struct EventBinding {
  int32_t event;
  intptr_t handler;  // offset from the code base in a template block; an address once loaded; -1 none
};

// Class data of a window unit; the defaults are those of a missing field.
struct WindowClassBlock {
  int32_t version = 6;
  int32_t borderStyle = 2;
  int32_t property4 = 1;
  uint32_t backColor = 0xFF000000;  // the system's button-face colour
  int32_t maximizeBox = 0;
  int32_t minimizeBox = 1;
  int32_t controlBox = 1;
  int32_t startPosition = 1;  // 0 stored place, 1 centred, 2 minimised, 3 maximised
  int32_t movable = 1;
  int32_t property6 = 0;
  int32_t property13 = 0;
  int32_t property14 = 1;
  int32_t property15 = 0;
  int32_t property17 = 0;
  int32_t showInTaskbar = 1;
  int32_t property19 = 0;
  int32_t property20 = 0;
  int32_t alwaysOnTop = 0;
  int32_t property22 = 0;
  std::string className;
  std::string blob3, blob12, blob5;
  std::string title;
  std::string property16;
};

constexpr uint32_t kUnitTypeWindow = 0x00010001;
constexpr int32_t kUnitVisible = 1;
constexpr int32_t kUnitDisabled = 2;

struct UnitTemplate {
  uint32_t id = 0;
  uint32_t type = kUnitTypeWindow;
  std::string name;
  std::string secondName;
  int32_t left = 0, top = 0, width = 0, height = 0;
  std::string mousePointer;
  std::string tag;
  int32_t flags = kUnitVisible;
  std::vector<EventBinding> events;
  WindowClassBlock windowClass;
};

struct WindowTemplate {
  uint32_t id = 0;
  uint32_t word1 = 0, word2 = 0;
  std::string text1, text2;
  std::vector<UnitTemplate> units;  // the first is the window's own unit
};

struct TemplateCollection {
  std::vector<WindowTemplate> windows;
};

void LoadStartupWindow(uint32_t windowId);

// The live window of a loaded window, or null.
HWND WindowHandleOf(uint32_t windowId);
// The live window of a unit, or null when it does not resolve.
HWND ResolveUnit(uint32_t windowId, uint32_t unitId);

PropertyWords ReadUnitProperty(uint32_t window, uint32_t unit, int32_t property, int32_t element);
void WriteUnitProperty(uint32_t window, uint32_t unit, int32_t property, int32_t element, uint32_t low,
                       uint32_t high);

// Window events of a window unit.
enum WindowEvent : int32_t {
  kEventCreated = 0,
  kEventActivated = 5,
  kEventDeactivated = 6,
  kEventFirstActivated = 8,
};

}  // namespace rt

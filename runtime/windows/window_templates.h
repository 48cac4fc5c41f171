// Window templates: the in-memory model of a template block, and the block's
// reader and writer. Nothing here touches a live window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rt {

constexpr uint32_t kUnitTypeWindow = 0x00010001;

// Unit flags.
constexpr int32_t kUnitVisible = 1;
constexpr int32_t kUnitDisabled = 2;
constexpr int32_t kUnitTabStop = 4;

// A handler offset that binds no routine.
constexpr int32_t kNoHandler = -1;

// The highest window class block version the kernel understands.
constexpr int32_t kWindowClassVersion = 6;

struct EventBinding {
  int32_t event;
  int32_t handler;  // offset from the program's code base, or kNoHandler
};

// Class data of a window unit; each default is that of a field a lower
// version does not store.
struct WindowClassBlock {
  int32_t version = kWindowClassVersion;
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
  int32_t showInTaskbar = 1;  // version 2 on
  int32_t property19 = 0;     // version 3 on
  int32_t property20 = 0;     // version 3 on
  int32_t alwaysOnTop = 0;    // version 4 on
  int32_t property22 = 0;     // version 5 on
  std::string className;      // version 6
  std::string blob3, blob12, blob5;
  std::string title;
  std::string property16;
};

// Unit identifiers: flag nibble, kind, serial.
inline uint32_t UnitKind(uint32_t id) { return (id >> 24) & 0xF; }
inline uint32_t UnitFlagNibble(uint32_t id) { return id >> 28; }
inline bool IsMenuItemUnit(uint32_t id) { return UnitKind(id) == 6 && UnitFlagNibble(id) == 2; }

struct UnitTemplate {
  uint32_t id = 0;
  uint32_t type = kUnitTypeWindow;
  std::string name;
  std::string secondName;
  int32_t left = 0, top = 0, width = 0, height = 0;
  std::vector<int32_t> listEntries;
  std::string mousePointer;
  std::string tag;
  int32_t flags = kUnitVisible;
  std::vector<EventBinding> events;
  WindowClassBlock windowClass;  // a window unit's class block
  bool emptyClassBlock = false;  // stored without a class block: all defaults
  std::string classData;         // the class block of a unit of another type, as stored
  // Menu items store these instead of the fields after the second name;
  // their one handler is event 0.
  std::string menuBytes;  // twelve bytes
  std::string menuText;
};

struct WindowTemplate {
  uint32_t id = 0;
  uint32_t word1 = 0, word2 = 0;  // stored, not interpreted
  std::string text1, text2;
  std::vector<UnitTemplate> units;  // the first is the window's own unit
};

struct TemplateCollection {
  std::vector<WindowTemplate> windows;
};

// Reads a whole template block; false when any count or offset runs past
// the block's end or the block is otherwise malformed. Never reads outside
// [block, block + size).
bool ReadTemplateBlock(const void* block, size_t size, TemplateCollection& out);

// The block that ReadTemplateBlock reads back as `collection`.
std::vector<uint8_t> WriteTemplateBlock(const TemplateCollection& collection);

// The first window with the identifier, the first identifier compared first.
const WindowTemplate* FindWindowTemplate(const TemplateCollection& collection, uint32_t windowId);

}  // namespace rt

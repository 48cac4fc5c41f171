#include "runtime/windows/unit_properties.h"

#include <windows.h>

#include <string>

#include "runtime/windows/loaded_windows.h"
#include "runtime/kernel/runtime_error.h"
#include "runtime/values/value_helpers.h"

namespace rt {
namespace {

constexpr int32_t kFirstClassProperty = 8;
constexpr int32_t kClassTitle = 0;
constexpr int32_t kClassWindowState = 10;  // not stored: the live state

struct UnitAccess {
  LoadedUnit* unit;
  HWND live;  // the unit's own live window; only the window's own unit has one
};

UnitAccess AccessUnit(uint32_t windowId, uint32_t unitId) {
  LoadedWindow* w = FindLoadedWindow(windowId);
  LoadedUnit* u = w ? FindLoadedUnit(*w, unitId) : nullptr;
  if (!u) ReportRuntimeError("未载入欲访问窗口组件所在的窗口", 0);
  return {u, u == OwnUnit(*w) ? LiveWindow(*w) : nullptr};
}

PropertyWords Word(int32_t v) { return {static_cast<uint32_t>(v), 0}; }

PropertyWords PointerWords(const void* p) {
  uint64_t bits = reinterpret_cast<uintptr_t>(p);
  return {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32)};
}

const void* PointerFromWords(uint32_t low, uint32_t high) {
  uint64_t bits = low | (static_cast<uint64_t>(high) << 32);
  return reinterpret_cast<const void*>(static_cast<uintptr_t>(bits));
}

std::string TextFromWords(uint32_t low, uint32_t high) {
  const char* text = static_cast<const char*>(PointerFromWords(low, high));
  return text ? text : "";
}

std::string ByteSetFromWords(uint32_t low, uint32_t high) {
  const void* set = PointerFromWords(low, high);
  const int32_t length = ByteSetLength(set);
  return length > 0 ? std::string(reinterpret_cast<const char*>(ByteSetData(set)), static_cast<size_t>(length)) : "";
}

PropertyWords TextWords(const std::string& s) { return PointerWords(CopyText(s)); }
PropertyWords ByteSetWords(const std::string& s) {
  return PointerWords(NewByteSet(s.data(), static_cast<int32_t>(s.size())));
}

// Left, top, width, height of the outer rectangle, in the parent's client
// coordinates for a child window.
void LiveBounds(HWND hwnd, int32_t v[4]) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  if (HWND parent = GetParent(hwnd); parent && (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD))
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rc), 2);
  v[0] = rc.left;
  v[1] = rc.top;
  v[2] = rc.right - rc.left;
  v[3] = rc.bottom - rc.top;
}

std::string LiveTitle(HWND hwnd) {
  int length = GetWindowTextLengthA(hwnd);
  std::string title(static_cast<size_t>(length) + 1, '\0');
  GetWindowTextA(hwnd, title.data(), length + 1);
  title.resize(static_cast<size_t>(lstrlenA(title.c_str())));
  return title;
}

// The integer class properties of a window, by class-property index.
int32_t* ClassInt(WindowClassBlock& c, int32_t index) {
  switch (index) {
    case 1:
      return &c.borderStyle;
    case 2:
      return reinterpret_cast<int32_t*>(&c.backColor);
    case 4:
      return &c.property4;
    case 6:
      return &c.property6;
    case 7:
      return &c.controlBox;
    case 8:
      return &c.maximizeBox;
    case 9:
      return &c.minimizeBox;
    case 11:
      return &c.movable;
    case 13:
      return &c.property13;
    case 14:
      return &c.property14;
    case 15:
      return &c.property15;
    case 17:
      return &c.property17;
    case 18:
      return &c.showInTaskbar;
    case 19:
      return &c.property19;
    case 20:
      return &c.property20;
    case 21:
      return &c.alwaysOnTop;
    case 22:
      return &c.property22;
    default:
      return nullptr;
  }
}

// The text and byte-set class properties of a window.
std::string* ClassString(WindowClassBlock& c, int32_t index, bool& isText) {
  isText = index == 16 || index == 23;
  switch (index) {
    case 3:
      return &c.blob3;
    case 5:
      return &c.blob5;
    case 12:
      return &c.blob12;
    case 16:
      return &c.property16;
    case 23:
      return &c.className;
    default:
      return nullptr;
  }
}

PropertyWords ReadClassProperty(UnitAccess a, int32_t index) {
  if (!a.live) ReportRuntimeError("指定窗口尚未载入", 0);
  if (a.unit->data.type != kUnitTypeWindow) return Word(0);
  WindowClassBlock& c = a.unit->data.windowClass;
  if (index == kClassTitle) return TextWords(LiveTitle(a.live));
  if (index == kClassWindowState) return Word(IsIconic(a.live) ? 2 : IsZoomed(a.live) ? 3 : 0);
  if (int32_t* v = ClassInt(c, index)) return Word(*v);
  bool isText = false;
  if (std::string* s = ClassString(c, index, isText)) return isText ? TextWords(*s) : ByteSetWords(*s);
  return Word(0);
}

// Written class properties take effect at the next creation, except the
// title and the background colour, which the live window shows at once.
void WriteClassProperty(UnitAccess a, int32_t index, uint32_t low, uint32_t high) {
  if (a.unit->data.type != kUnitTypeWindow) return;
  WindowClassBlock& c = a.unit->data.windowClass;
  if (index == kClassTitle) {
    c.title = TextFromWords(low, high);
    if (a.live) SetWindowTextA(a.live, c.title.c_str());
    return;
  }
  if (int32_t* v = ClassInt(c, index)) {
    *v = static_cast<int32_t>(low);
    if (a.live && index == 2) InvalidateRect(a.live, nullptr, TRUE);
    return;
  }
  bool isText = false;
  if (std::string* s = ClassString(c, index, isText))
    *s = isText ? TextFromWords(low, high) : ByteSetFromWords(low, high);
}

int32_t* TemplateBound(UnitTemplate& u, int32_t property) {
  int32_t* fields[4] = {&u.left, &u.top, &u.width, &u.height};
  return fields[property];
}

void SetFlag(int32_t& flags, int32_t flag, bool on) { flags = on ? (flags | flag) : (flags & ~flag); }

}  // namespace

PropertyWords ReadUnitProperty(uint32_t window, uint32_t unit, int32_t property, int32_t /*element*/) {
  UnitAccess a = AccessUnit(window, unit);
  UnitTemplate& u = a.unit->data;
  switch (property) {
    case 0:
    case 1:
    case 2:
    case 3: {
      if (!a.live) return Word(*TemplateBound(u, property));
      int32_t v[4];
      LiveBounds(a.live, v);
      return Word(v[property]);
    }
    case 4:
      return TextWords(u.tag);
    case 5:
      return Word(a.live ? IsWindowVisible(a.live) != 0 : (u.flags & kUnitVisible) != 0);
    case 6:
      return Word(a.live ? IsWindowEnabled(a.live) == 0 : (u.flags & kUnitDisabled) != 0);
    case 7:
      return ByteSetWords(u.mousePointer);
    default:
      break;
  }
  if (property < kFirstClassProperty) return Word(0);
  return ReadClassProperty(a, property - kFirstClassProperty);
}

void WriteUnitProperty(uint32_t window, uint32_t unit, int32_t property, int32_t /*element*/, uint32_t low,
                       uint32_t high) {
  UnitAccess a = AccessUnit(window, unit);
  UnitTemplate& u = a.unit->data;
  const auto value = static_cast<int32_t>(low);
  switch (property) {
    case 0:
    case 1:
    case 2:
    case 3: {
      if (!a.live) {
        *TemplateBound(u, property) = value;
        return;
      }
      int32_t v[4];
      LiveBounds(a.live, v);
      v[property] = value;
      MoveWindow(a.live, v[0], v[1], v[2], v[3], TRUE);
      return;
    }
    case 4:
      u.tag = TextFromWords(low, high);
      return;
    case 5:
      SetFlag(u.flags, kUnitVisible, value != 0);
      if (a.live) ShowWindow(a.live, value ? SW_SHOW : SW_HIDE);
      return;
    case 6:
      SetFlag(u.flags, kUnitDisabled, value != 0);
      if (a.live) EnableWindow(a.live, value ? FALSE : TRUE);
      return;
    case 7:
      u.mousePointer = ByteSetFromWords(low, high);
      return;
    default:
      break;
  }
  if (property >= kFirstClassProperty) WriteClassProperty(a, property - kFirstClassProperty, low, high);
}

}  // namespace rt

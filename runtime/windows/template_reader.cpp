// Reads a template block into the model. Every count and offset is checked
// against the end of what holds it before anything is read or allocated, so
// a damaged block fails the read instead of reading past its end.
#include "runtime/windows/block_reader.h"
#include "runtime/windows/window_templates.h"

namespace rt {
namespace {

bool ReadClassFields(BlockReader& in, WindowClassBlock& c) {
  int32_t bits = 0;
  bool ok = in.Int32(c.borderStyle) && in.Int32(c.property4) && in.Int32(bits);
  c.backColor = static_cast<uint32_t>(bits);
  ok = ok && in.Int32(c.maximizeBox) && in.Int32(c.minimizeBox) && in.Int32(c.controlBox) &&
       in.Int32(c.startPosition) && in.Int32(c.movable) && in.Int32(c.property6) && in.Int32(c.property13) &&
       in.Int32(c.property14) && in.Int32(c.property15) && in.Int32(c.property17);
  if (ok && c.version > 1) ok = in.Int32(c.showInTaskbar);
  if (ok && c.version > 2) ok = in.Int32(c.property19) && in.Int32(c.property20);
  if (ok && c.version > 3) ok = in.Int32(c.alwaysOnTop);
  if (ok && c.version > 4) ok = in.Int32(c.property22);
  if (ok && c.version > 5) ok = in.Blob(c.className);
  return ok && in.Blob(c.blob3) && in.Blob(c.blob12) && in.Blob(c.blob5) && in.Blob(c.title) && in.Blob(c.property16);
}

// A block of a later version is kept by its version alone: its layout is
// unknown, and creating the window refuses it.
bool ReadWindowClass(BlockReader& in, WindowClassBlock& c, bool& empty) {
  c = WindowClassBlock();
  empty = in.Remaining() == 0;
  if (empty) return true;
  if (!in.Int32(c.version)) return false;
  if (c.version > kWindowClassVersion) return true;
  return ReadClassFields(in, c);
}

bool ReadMenuItem(BlockReader& in, UnitTemplate& u) {
  int32_t handler = kNoHandler;
  if (!in.Bytes(12, u.menuBytes) || !in.NulTerminated(u.menuText) || !in.Int32(handler)) return false;
  u.events = {{0, handler}};
  return true;
}

bool ReadEvents(BlockReader& in, UnitTemplate& u) {
  int32_t count = 0;
  if (!in.Count(count, 8)) return false;
  u.events.resize(static_cast<size_t>(count));
  for (EventBinding& b : u.events)
    if (!in.Int32(b.event) || !in.Int32(b.handler)) return false;
  return true;
}

bool ReadUnitFields(BlockReader& in, UnitTemplate& u) {
  int32_t count = 0;
  bool ok = in.Skip(4) && in.Int32(u.left) && in.Int32(u.top) && in.Int32(u.width) && in.Int32(u.height) &&
            in.Skip(8) && in.Count(count, 4);
  if (!ok) return false;
  u.listEntries.resize(static_cast<size_t>(count));
  for (int32_t& entry : u.listEntries)
    if (!in.Int32(entry)) return false;
  ok = in.Blob(u.mousePointer) && in.NulTerminated(u.tag) && in.Skip(4) && in.Int32(u.flags) && in.Skip(4) &&
       ReadEvents(in, u) && in.Skip(20);
  if (!ok) return false;
  if (u.type == kUnitTypeWindow) return ReadWindowClass(in, u.windowClass, u.emptyClassBlock);
  return in.Bytes(in.Remaining(), u.classData);
}

// The unit data of one unit record.
bool ReadUnit(const uint8_t* data, size_t size, UnitTemplate& u) {
  BlockReader in(data, size);
  if (!in.Uint32(u.type) || !in.Skip(20) || !in.NulTerminated(u.name) || !in.NulTerminated(u.secondName)) return false;
  if (IsMenuItemUnit(u.id)) return ReadMenuItem(in, u);
  return ReadUnitFields(in, u);
}

// A unit record: its byte count and data, at an offset into the records.
bool ReadUnitRecord(const std::string& records, int32_t offset, UnitTemplate& u) {
  if (offset < 0 || static_cast<size_t>(offset) > records.size()) return false;
  BlockReader in(records.data() + offset, records.size() - static_cast<size_t>(offset));
  std::string data;
  return in.Blob(data) && ReadUnit(reinterpret_cast<const uint8_t*>(data.data()), data.size(), u);
}

// The unit list: a count, then a blob of identifiers, record offsets counted
// from the end of the offsets, and the records themselves.
bool ReadUnitList(BlockReader& in, std::vector<UnitTemplate>& units) {
  int32_t count = 0;
  std::string blob;
  if (!in.Count(count, 0) || !in.Blob(blob)) return false;
  const size_t m = static_cast<size_t>(count);
  if (m > blob.size() / 8) return false;
  BlockReader table(blob.data(), 8 * m);
  std::vector<int32_t> offsets(m);
  units.resize(m);
  for (UnitTemplate& u : units)
    if (!table.Uint32(u.id)) return false;
  for (int32_t& offset : offsets)
    if (!table.Int32(offset)) return false;
  const std::string records = blob.substr(8 * m);
  for (size_t i = 0; i < m; ++i)
    if (!ReadUnitRecord(records, offsets[i], units[i])) return false;
  return true;
}

bool ReadWindow(BlockReader& in, WindowTemplate& w) {
  return in.Uint32(w.word1) && in.Uint32(w.word2) && in.Blob(w.text1) && in.Blob(w.text2) && ReadUnitList(in, w.units);
}

}  // namespace

bool ReadTemplateBlock(const void* block, size_t size, TemplateCollection& out) {
  out.windows.clear();
  BlockReader in(block, size);
  std::string table;
  if (!in.Blob(table) || table.size() % 8 != 0) return false;
  const size_t n = table.size() / 8;
  // Each window record takes at least its two words, two strings and unit list.
  if (n > in.Remaining() / 24) return false;
  BlockReader identifiers(table.data(), 4 * n);
  std::vector<WindowTemplate> windows(n);
  for (WindowTemplate& w : windows)
    if (!identifiers.Uint32(w.id)) return false;
  for (WindowTemplate& w : windows)
    if (!ReadWindow(in, w)) return false;
  out.windows = std::move(windows);
  return true;
}

const WindowTemplate* FindWindowTemplate(const TemplateCollection& collection, uint32_t windowId) {
  for (const WindowTemplate& w : collection.windows)
    if (w.id == windowId) return &w;
  return nullptr;
}

}  // namespace rt

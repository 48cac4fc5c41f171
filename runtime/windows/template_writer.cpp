// Writes the model as a template block, field by field in the order the
// reader takes them. Used to build the program's own block and test blocks.
#include "runtime/windows/window_templates.h"

namespace rt {
namespace {

class ByteWriter {
 public:
  void Int32(int32_t v) { Uint32(static_cast<uint32_t>(v)); }
  void Uint32(uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<uint8_t>(v >> shift));
  }
  void Zeros(size_t count) { bytes_.insert(bytes_.end(), count, 0); }
  void Bytes(const std::string& s) { bytes_.insert(bytes_.end(), s.begin(), s.end()); }
  void Blob(const std::string& s) {
    Int32(static_cast<int32_t>(s.size()));
    Bytes(s);
  }
  // Up to the first NUL of s, then a NUL.
  void NulTerminated(const std::string& s) {
    Bytes(s.substr(0, s.find('\0')));
    bytes_.push_back(0);
  }
  void Append(const std::vector<uint8_t>& more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); }
  std::vector<uint8_t>& bytes() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

void WriteWindowClass(ByteWriter& out, const WindowClassBlock& c) {
  out.Int32(c.version);
  for (int32_t v :
       {c.borderStyle, c.property4, static_cast<int32_t>(c.backColor), c.maximizeBox, c.minimizeBox, c.controlBox,
        c.startPosition, c.movable, c.property6, c.property13, c.property14, c.property15, c.property17})
    out.Int32(v);
  if (c.version > 1) out.Int32(c.showInTaskbar);
  if (c.version > 2) {
    out.Int32(c.property19);
    out.Int32(c.property20);
  }
  if (c.version > 3) out.Int32(c.alwaysOnTop);
  if (c.version > 4) out.Int32(c.property22);
  if (c.version > 5) out.Blob(c.className);
  for (const std::string* s : {&c.blob3, &c.blob12, &c.blob5, &c.title, &c.property16}) out.Blob(*s);
}

void WriteUnitFields(ByteWriter& out, const UnitTemplate& u) {
  out.Zeros(4);  // live object
  for (int32_t v : {u.left, u.top, u.width, u.height}) out.Int32(v);
  out.Zeros(8);  // cursor, reserved
  out.Int32(static_cast<int32_t>(u.listEntries.size()));
  for (int32_t entry : u.listEntries) out.Int32(entry);
  out.Blob(u.mousePointer);
  out.NulTerminated(u.tag);
  out.Zeros(4);
  out.Int32(u.flags);
  out.Zeros(4);
  out.Int32(static_cast<int32_t>(u.events.size()));
  for (const EventBinding& b : u.events) {
    out.Int32(b.event);
    out.Int32(b.handler);
  }
  out.Zeros(20);
  if (u.type != kUnitTypeWindow)
    out.Bytes(u.classData);
  else if (!u.emptyClassBlock)
    WriteWindowClass(out, u.windowClass);
}

std::vector<uint8_t> UnitData(const UnitTemplate& u) {
  ByteWriter out;
  out.Uint32(u.type);
  out.Zeros(20);
  out.NulTerminated(u.name);
  out.NulTerminated(u.secondName);
  if (IsMenuItemUnit(u.id)) {
    std::string twelve = u.menuBytes;
    twelve.resize(12, '\0');
    out.Bytes(twelve);
    out.NulTerminated(u.menuText);
    out.Int32(u.events.empty() ? kNoHandler : u.events.front().handler);
  } else {
    WriteUnitFields(out, u);
  }
  return std::move(out.bytes());
}

void WriteUnitList(ByteWriter& out, const std::vector<UnitTemplate>& units) {
  ByteWriter records;
  std::vector<int32_t> offsets;
  for (const UnitTemplate& u : units) {
    offsets.push_back(static_cast<int32_t>(records.bytes().size()));
    std::vector<uint8_t> data = UnitData(u);
    records.Int32(static_cast<int32_t>(data.size()));
    records.Append(data);
  }
  ByteWriter blob;
  for (const UnitTemplate& u : units) blob.Uint32(u.id);
  for (int32_t offset : offsets) blob.Int32(offset);
  blob.Append(records.bytes());
  out.Int32(static_cast<int32_t>(units.size()));
  out.Int32(static_cast<int32_t>(blob.bytes().size()));
  out.Append(blob.bytes());
}

}  // namespace

std::vector<uint8_t> WriteTemplateBlock(const TemplateCollection& collection) {
  ByteWriter out;
  const size_t n = collection.windows.size();
  out.Int32(static_cast<int32_t>(8 * n));
  for (const WindowTemplate& w : collection.windows) out.Uint32(w.id);
  out.Zeros(4 * n);  // slots the reader fills with its own records
  for (const WindowTemplate& w : collection.windows) {
    out.Uint32(w.word1);
    out.Uint32(w.word2);
    out.Blob(w.text1);
    out.Blob(w.text2);
    WriteUnitList(out, w.units);
  }
  return std::move(out.bytes());
}

}  // namespace rt

// Template blocks written and read back, and the blocks the reader refuses.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/windows/loaded_windows.h"
#include "runtime/windows/window_events.h"
#include "runtime/windows/window_templates.h"

namespace korvalin::test {
namespace {

rt::UnitTemplate FullWindowUnit() {
  rt::UnitTemplate u;
  u.id = 0x06010000;
  u.name = "主窗口";
  u.secondName = "second";
  u.left = -7;
  u.top = 11;
  u.width = 640;
  u.height = 480;
  u.listEntries = {3, -4, 5};
  u.mousePointer = std::string("\x01\x00\x02", 3);
  u.tag = "标记";
  u.flags = rt::kUnitVisible | rt::kUnitTabStop;
  u.events = {{0, 0x120}, {8, -1}, {5, 0x7FFFFFF0}};
  rt::WindowClassBlock& c = u.windowClass;
  c.borderStyle = 5;
  c.property4 = 9;
  c.backColor = 0x00123456;
  c.maximizeBox = 1;
  c.minimizeBox = 0;
  c.controlBox = 0;
  c.startPosition = 3;
  c.movable = 0;
  c.property6 = 6;
  c.property13 = 13;
  c.property14 = 14;
  c.property15 = 15;
  c.property17 = 17;
  c.showInTaskbar = 0;
  c.property19 = 19;
  c.property20 = 20;
  c.alwaysOnTop = 1;
  c.property22 = 22;
  c.className = "KorvalinRoundTrip";
  c.blob3 = std::string("\0\x03", 2);
  c.blob12 = "twelve";
  c.blob5 = "5";
  // Longer than the reader's buffer, so reading it crosses refills.
  c.title = std::string(9000, 'T') + "窗口";
  c.property16 = "sixteen";
  return u;
}

rt::TemplateCollection SampleCollection() {
  rt::WindowTemplate first;
  first.id = 0x52010001;
  first.word1 = 0x2524240;
  first.word2 = 0x19010030;
  first.text1 = "one";
  first.text2 = std::string(5000, 'x');
  first.units.push_back(FullWindowUnit());
  rt::UnitTemplate control;
  control.id = 0x01010002;
  control.type = 0x00010002;
  control.tag = std::string(4100, 'c');
  control.events = {{1, 4}};
  control.classData = std::string("\x07\x00\x00\x00rest", 8);
  first.units.push_back(control);
  rt::UnitTemplate menu;
  menu.id = 0x26010003;
  menu.type = 0x00010003;
  menu.menuBytes = "0123456789AB";
  menu.menuText = "打开";
  menu.events = {{0, 0x40}};
  first.units.push_back(menu);
  rt::WindowTemplate second;
  second.id = 0x52010002;
  rt::UnitTemplate plain;
  plain.id = 0x06010000;
  second.units.push_back(plain);
  return {.windows = {first, second}};
}

void ExpectSameClass(const rt::WindowClassBlock& a, const rt::WindowClassBlock& b) {
  const int32_t left[] = {a.version,     a.borderStyle, a.property4,     static_cast<int32_t>(a.backColor),
                          a.maximizeBox, a.minimizeBox, a.controlBox,    a.startPosition,
                          a.movable,     a.property6,   a.property13,    a.property14,
                          a.property15,  a.property17,  a.showInTaskbar, a.property19,
                          a.property20,  a.alwaysOnTop, a.property22};
  const int32_t right[] = {b.version,     b.borderStyle, b.property4,     static_cast<int32_t>(b.backColor),
                           b.maximizeBox, b.minimizeBox, b.controlBox,    b.startPosition,
                           b.movable,     b.property6,   b.property13,    b.property14,
                           b.property15,  b.property17,  b.showInTaskbar, b.property19,
                           b.property20,  b.alwaysOnTop, b.property22};
  for (size_t i = 0; i < std::size(left); ++i) EXPECT_EQ(left[i], right[i]) << "class field " << i;
  EXPECT_EQ(a.className, b.className);
  EXPECT_EQ(a.blob3, b.blob3);
  EXPECT_EQ(a.blob12, b.blob12);
  EXPECT_EQ(a.blob5, b.blob5);
  EXPECT_EQ(a.title, b.title);
  EXPECT_EQ(a.property16, b.property16);
}

void ExpectSameUnit(const rt::UnitTemplate& a, const rt::UnitTemplate& b) {
  EXPECT_EQ(a.id, b.id);
  EXPECT_EQ(a.type, b.type);
  EXPECT_EQ(a.name, b.name);
  EXPECT_EQ(a.secondName, b.secondName);
  EXPECT_EQ(a.menuText, b.menuText);
  ASSERT_EQ(a.events.size(), b.events.size());
  for (size_t i = 0; i < a.events.size(); ++i) {
    EXPECT_EQ(a.events[i].event, b.events[i].event);
    EXPECT_EQ(a.events[i].handler, b.events[i].handler);
  }
  if (rt::IsMenuItemUnit(a.id)) {
    EXPECT_EQ(a.menuBytes, b.menuBytes);
    return;
  }
  EXPECT_EQ(a.left, b.left);
  EXPECT_EQ(a.top, b.top);
  EXPECT_EQ(a.width, b.width);
  EXPECT_EQ(a.height, b.height);
  EXPECT_EQ(a.listEntries, b.listEntries);
  EXPECT_EQ(a.mousePointer, b.mousePointer);
  EXPECT_EQ(a.tag, b.tag);
  EXPECT_EQ(a.flags, b.flags);
  EXPECT_EQ(a.classData, b.classData);
  if (a.type == rt::kUnitTypeWindow) ExpectSameClass(a.windowClass, b.windowClass);
}

bool Read(const std::vector<uint8_t>& block, rt::TemplateCollection& out) {
  return rt::ReadTemplateBlock(block.data(), block.size(), out);
}

TEST(TemplateBlock, WrittenCollectionReadsBackFieldByField) {
  const rt::TemplateCollection written = SampleCollection();
  rt::TemplateCollection read;
  ASSERT_TRUE(Read(rt::WriteTemplateBlock(written), read));
  ASSERT_EQ(read.windows.size(), 2u);
  for (size_t w = 0; w < 2; ++w) {
    const rt::WindowTemplate& a = written.windows[w];
    const rt::WindowTemplate& b = read.windows[w];
    EXPECT_EQ(a.id, b.id);
    EXPECT_EQ(a.word1, b.word1);
    EXPECT_EQ(a.word2, b.word2);
    EXPECT_EQ(a.text1, b.text1);
    EXPECT_EQ(a.text2, b.text2);
    ASSERT_EQ(a.units.size(), b.units.size());
    for (size_t u = 0; u < a.units.size(); ++u) ExpectSameUnit(a.units[u], b.units[u]);
  }
}

TEST(TemplateBlock, OlderClassBlocksLeaveLaterFieldsAtTheirDefaults) {
  rt::TemplateCollection c = SampleCollection();
  rt::WindowClassBlock& written = c.windows[0].units[0].windowClass;
  written.version = 3;
  rt::TemplateCollection read;
  ASSERT_TRUE(Read(rt::WriteTemplateBlock(c), read));
  const rt::WindowClassBlock& r = read.windows[0].units[0].windowClass;
  EXPECT_EQ(r.version, 3);
  EXPECT_EQ(r.borderStyle, 5);
  EXPECT_EQ(r.showInTaskbar, 0);  // stored from version 2
  EXPECT_EQ(r.property20, 20);    // stored from version 3
  EXPECT_EQ(r.alwaysOnTop, 0);    // not stored before version 4
  EXPECT_EQ(r.property22, 0);
  EXPECT_EQ(r.className, "");
  EXPECT_EQ(r.title, written.title);

  c.windows[0].units[0].emptyClassBlock = true;
  ASSERT_TRUE(Read(rt::WriteTemplateBlock(c), read));
  const rt::WindowClassBlock& d = read.windows[0].units[0].windowClass;
  EXPECT_TRUE(read.windows[0].units[0].emptyClassBlock);
  EXPECT_EQ(d.version, 6);
  EXPECT_EQ(d.borderStyle, 2);
  EXPECT_EQ(d.startPosition, 1);
  EXPECT_EQ(d.title, "");
}

TEST(TemplateBlock, ALaterClassVersionIsKeptForCreationToRefuse) {
  rt::TemplateCollection c = SampleCollection();
  c.windows[0].units[0].windowClass.version = 7;
  rt::TemplateCollection read;
  ASSERT_TRUE(Read(rt::WriteTemplateBlock(c), read));
  EXPECT_EQ(read.windows[0].units[0].windowClass.version, 7);
}

TEST(TemplateBlock, LookupFindsTheFirstWindowWithTheIdentifier) {
  rt::TemplateCollection c = SampleCollection();
  c.windows[1].id = c.windows[0].id;
  c.windows[1].text1 = "later";
  rt::TemplateCollection read;
  ASSERT_TRUE(Read(rt::WriteTemplateBlock(c), read));
  const rt::WindowTemplate* found = rt::FindWindowTemplate(read, 0x52010001);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->text1, "one");
  EXPECT_EQ(rt::FindWindowTemplate(read, 0x52010009), nullptr);
}

void PutWord(std::vector<uint8_t>& block, size_t at, int32_t value) { std::memcpy(&block[at], &value, 4); }

// Positions in a block of one window with one plain unit.
struct OneUnitLayout {
  std::vector<uint8_t> block;
  size_t unitCount = 12 + 16;
  size_t blobSize = unitCount + 4;
  size_t unitOffset = blobSize + 4 + 4;
  size_t recordLength = unitOffset + 4;
};

OneUnitLayout OneUnit() {
  rt::WindowTemplate w;
  w.id = 0x52010005;
  w.units.emplace_back();
  w.units[0].id = 0x06010000;
  OneUnitLayout l;
  l.block = rt::WriteTemplateBlock({.windows = {w}});
  return l;
}

TEST(TemplateBlock, CountsAndOffsetsBeyondTheirEndFailTheRead) {
  rt::TemplateCollection out;
  OneUnitLayout base = OneUnit();
  ASSERT_TRUE(Read(base.block, out));

  struct Damage {
    const char* what;
    size_t at;
    int32_t value;
  };
  const Damage damages[] = {
      {"window table not whole entries", 0, 12},
      {"window table past the end", 0, 0x7FFFFFF8},
      {"negative window table", 0, -8},
      {"unit count beyond its blob", base.unitCount, 0x10000000},
      {"negative unit count", base.unitCount, -1},
      {"unit blob past the end", base.blobSize, static_cast<int32_t>(base.block.size())},
      {"unit offset past the records", base.unitOffset, 4096},
      {"negative unit offset", base.unitOffset, -4},
      {"record longer than its blob", base.recordLength, static_cast<int32_t>(base.block.size())},
  };
  for (const Damage& d : damages) {
    std::vector<uint8_t> block = base.block;
    PutWord(block, d.at, d.value);
    EXPECT_FALSE(Read(block, out)) << d.what;
  }
  // Every strict prefix of a block is incomplete.
  for (size_t size = 0; size < base.block.size(); ++size)
    EXPECT_FALSE(rt::ReadTemplateBlock(base.block.data(), size, out)) << size;
}

int32_t CodeBase() { return 0; }

TEST(TemplateBlock, HandlerOffsetsBecomeRoutinesOfTheCodeBaseAndMinusOneNone) {
  rt::WindowTemplate w;
  w.id = 0x52010E01;
  rt::UnitTemplate u;
  u.id = 0x06010000;
  u.events = {{0, 0x30}, {8, -1}};
  w.units.push_back(u);
  rt::TemplateCollection read;
  ASSERT_TRUE(Read(rt::WriteTemplateBlock({.windows = {w}}), read));
  rt::InstallWindowTemplates(read, reinterpret_cast<const void*>(&CodeBase));
  rt::LoadedWindow* loaded = rt::FindLoadedWindow(0x52010E01);
  ASSERT_NE(loaded, nullptr);
  const std::vector<rt::BoundEvent>& events = rt::OwnUnit(*loaded)->events;
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].routine, reinterpret_cast<uintptr_t>(&CodeBase) + 0x30);
  EXPECT_EQ(events[1].routine, 0u);
  // The unbound event delivers nothing.
  EXPECT_FALSE(rt::RaiseEvent(0x52010E01, 0, rt::kEventFirstActivated));
}

}  // namespace
}  // namespace korvalin::test

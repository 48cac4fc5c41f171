// Owners for GDI objects, selections and memory DCs. The functions that
// delete and select are parameters: the runtime calls GDI directly, program
// code through its declared functions, and both use the same owners.
#pragma once

#include <windows.h>

namespace rt {

// An object deleted when its owner goes.
template <typename Handle, auto Delete>
class GdiObject {
 public:
  explicit GdiObject(Handle handle = nullptr) : handle_(handle) {}
  ~GdiObject() { reset(); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void reset(Handle handle = nullptr) {
    if (handle_) Delete(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_;
};

// An object selected into a DC for a scope; the one it replaced goes back.
// With `deleteLast`, whatever is selected at the end (the object itself, or
// one that replaced it meanwhile) is deleted once it is out of the DC.
template <auto Select, auto Delete>
class GdiSelection {
 public:
  GdiSelection(HDC dc, HGDIOBJ object, bool deleteLast = false)
      : dc_(dc), previous_(object ? Select(dc, object) : nullptr), deleteLast_(deleteLast) {}
  ~GdiSelection() {
    if (!previous_) return;
    HGDIOBJ last = Select(dc_, previous_);
    if (deleteLast_ && last) Delete(last);
  }
  GdiSelection(const GdiSelection&) = delete;
  GdiSelection& operator=(const GdiSelection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
  bool deleteLast_;
};

// A memory DC compatible with another, deleted when its owner goes.
template <auto Create, auto Delete>
class MemoryDC {
 public:
  explicit MemoryDC(HDC compatibleWith) : dc_(Create(compatibleWith)) {}
  ~MemoryDC() {
    if (dc_) Delete(dc_);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

}  // namespace rt

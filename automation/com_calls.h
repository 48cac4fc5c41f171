// ComObject and Variant as program code uses them: each operation builds its
// argument records and calls the automation command through the dispatcher.
//
//   rt::automation::ComObject script;
//   if (script.create("MSScriptControl.ScriptControl")) {
//     script.writeProperty("Language", rt::program::TextArg("JavaScript"));
//     rt::automation::Variant v = script.callMethodVariant("Eval", rt::program::TextArg("1+2"));
//   }
#pragma once

#include <concepts>

#include "automation/bridge.h"
#include "automation/commands.h"
#include "runtime/interface/program_calls.h"

namespace rt::automation {

// A by-reference Text argument: the member may write back into `variable`
// (an out parameter), which then holds a new text.
inline ValueRecord TextRef(Text& variable) { return rt::program::ByRefArg(&variable, kTagText); }

class Variant {
 public:
  // A declared Variant starts as the integer 0.
  Variant();
  ~Variant();
  Variant(Variant&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
  Variant& operator=(Variant&& other) noexcept;
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  // Takes over a Variant value that a command returned.
  static Variant adopt(VARIANT* block);

  // Replaces the content by a copy of source's.
  void assign(const Variant& source);
  void clear();
  // index counts array members from 1, first dimension fastest; 0 = none.
  Text toText(int32_t index = 0) const;  // the caller frees the text
  double toNumber(int32_t index = 0) const;
  bool toBool(int32_t index = 0) const;

  ValueRecord arg() const;
  ValueRecord ref();
  VARIANT* get() const { return block_; }

 private:
  struct Adopt {};
  Variant(Adopt, VARIANT* block) : block_(block) {}
  VARIANT* block_;
};

class ComObject {
 public:
  ComObject();
  // Releases what it still holds.
  ~ComObject();
  ComObject(ComObject&& other) noexcept : record_(other.record_) { other.record_ = nullptr; }
  ComObject& operator=(ComObject&& other) noexcept;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  // className: a ProgID or "{CLSID}". False leaves the object as it was.
  bool create(const char* className, const char* typeLibraryFile = nullptr);
  void clear();
  bool empty() const { return !record_ || !record_->unknown; }

  // Member calls; each argument is a typed record (rt::program::TextArg,
  // IntArg, ByRefArg, Omitted, a Variant's arg() or ref(), ...).
  template <std::convertible_to<ValueRecord>... A>
  void callMethod(const char* name, const A&... args) {
    rt::program::DispatchCommand(commands::CallMethod, {arg(), rt::program::TextArg(name), args...});
  }
  // A failed call yields an empty Variant.
  template <std::convertible_to<ValueRecord>... A>
  Variant callMethodVariant(const char* name, const A&... args) {
    ValueRecord r = rt::program::DispatchCommand(commands::CallMethodVariant,
                                                 {arg(), rt::program::TextArg(name), args...});
    return Variant::adopt(static_cast<VARIANT*>(r.pointer()));
  }
  // A failed call yields 0.0.
  template <std::convertible_to<ValueRecord>... A>
  double callMethodNumber(const char* name, const A&... args) {
    return rt::program::DispatchCommand(commands::CallMethodNumber, {arg(), rt::program::TextArg(name), args...})
        .asDouble();
  }
  // True when the call succeeded.
  template <std::convertible_to<ValueRecord>... A>
  bool writeProperty(const char* name, const A&... args) {
    return rt::program::DispatchCommand(commands::WriteProperty, {arg(), rt::program::TextArg(name), args...})
               .low != 0;
  }

  // The text of this thread's last member-call code; empty (null) after a
  // successful call. The caller frees it.
  static Text lastErrorText();

  ValueRecord arg() const;
  ValueRecord ref();
  ObjectRecord* record() const { return record_; }

 private:
  ObjectRecord* record_;
};

}  // namespace rt::automation

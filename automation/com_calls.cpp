#include "automation/com_calls.h"

namespace rt::automation {

using rt::program::DispatchCommand;

Variant::Variant() : block_(static_cast<VARIANT*>(rt::program::Allocate(kVariantSize))) {
  std::memset(block_, 0, kVariantSize);
  V_VT(block_) = VT_I4;
  V_I4(block_) = 0;
}

Variant::~Variant() {
  if (!block_) return;
  DispatchCommand(commands::ClearVariant, {arg()});
  rt::program::Free(block_);
}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    Variant old(Adopt{}, block_);
    block_ = other.block_;
    other.block_ = nullptr;
  }
  return *this;
}

Variant Variant::adopt(VARIANT* block) {
  if (!block) {
    // Commands always return a block; an all-zero one is VT_EMPTY.
    block = static_cast<VARIANT*>(rt::program::Allocate(kVariantSize));
    std::memset(block, 0, kVariantSize);
  }
  return Variant(Adopt{}, block);
}

void Variant::assign(const Variant& source) {
  if (&source == this) return;
  // The command overwrites without clearing, so the old content goes first.
  clear();
  DispatchCommand(commands::AssignVariant, {ref(), source.arg()});
}

void Variant::clear() { DispatchCommand(commands::ClearVariant, {arg()}); }

Text Variant::toText(int32_t index) const {
  ValueRecord r = DispatchCommand(commands::VariantToText,
                                  {arg(), index ? rt::program::IntArg(index) : rt::program::Omitted()});
  return static_cast<Text>(r.pointer());
}

double Variant::toNumber(int32_t index) const {
  return DispatchCommand(commands::VariantToNumber,
                         {arg(), index ? rt::program::IntArg(index) : rt::program::Omitted()})
      .asDouble();
}

bool Variant::toBool(int32_t index) const {
  return DispatchCommand(commands::VariantToBool,
                         {arg(), index ? rt::program::IntArg(index) : rt::program::Omitted()})
             .low != 0;
}

ValueRecord Variant::arg() const {
  ValueRecord r;
  r.setPointer(block_, kTagVariant);
  return r;
}

ValueRecord Variant::ref() { return rt::program::ByRefArg(&block_, kTagVariant); }

ComObject::ComObject() : record_(static_cast<ObjectRecord*>(rt::program::Allocate(sizeof(ObjectRecord)))) {
  record_->unknown = nullptr;
  record_->record = nullptr;
}

ComObject::~ComObject() {
  if (!record_) return;
  clear();
  rt::program::Free(record_);
}

ComObject& ComObject::operator=(ComObject&& other) noexcept {
  if (this != &other) {
    if (record_) {
      clear();
      rt::program::Free(record_);
    }
    record_ = other.record_;
    other.record_ = nullptr;
  }
  return *this;
}

bool ComObject::create(const char* className, const char* typeLibraryFile) {
  // By reference, so that a moved-from object gets a record of its own.
  return DispatchCommand(commands::CreateObject,
                         {ref(), rt::program::TextArg(className),
                          typeLibraryFile ? rt::program::TextArg(typeLibraryFile) : rt::program::Omitted()})
             .low != 0;
}

void ComObject::clear() { DispatchCommand(commands::ReleaseObject, {arg()}); }

Text ComObject::lastErrorText() {
  return static_cast<Text>(DispatchCommand(commands::LastErrorText, {}).pointer());
}

ValueRecord ComObject::arg() const {
  ValueRecord r;
  r.setPointer(record_, kTagComObject);
  return r;
}

ValueRecord ComObject::ref() { return rt::program::ByRefArg(&record_, kTagComObject); }

}  // namespace rt::automation

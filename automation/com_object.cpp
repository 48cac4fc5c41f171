#include <cstring>

#include "automation/bridge.h"
#include "runtime/values/code_page_characters.h"
#include "runtime/values/heap.h"

namespace rt::automation {
namespace {

thread_local int32_t lastErrorCode = 0;

// A real backslash, not the trail byte 0x5C of a double-byte character.
bool HasBackslash(const char* text) { return rt::LastSeparator(text) != std::string_view::npos; }

// Instantiates `className` from the type library file; null when the route
// yields nothing.
IUnknown* CreateThroughTypeLibrary(const char* className, const char* file) {
  WideText wideFile = WideFromText(file);
  ITypeLib* library = nullptr;
  if (FAILED(LoadTypeLib(wideFile.c_str(), &library)) || !library) return nullptr;

  IUnknown* instance = nullptr;
  // FindName may rewrite the name's case in place, so it gets a buffer.
  WideText name = WideFromText(className);
  name.push_back(L'\0');
  ULONG hash = LHashValOfNameSys(SYS_WIN32, GetUserDefaultLCID(), name.c_str());
  ITypeInfo* typeInfo = nullptr;
  MEMBERID member = MEMBERID_NIL;
  USHORT found = 1;
  if (SUCCEEDED(library->FindName(name.data(), hash, &typeInfo, &member, &found)) && found == 1 && typeInfo) {
    void* made = nullptr;
    if (SUCCEEDED(typeInfo->CreateInstance(nullptr, IID_IUnknown, &made)) && made) {
      instance = static_cast<IUnknown*>(made);
      if (HasBackslash(file)) RegisterTypeLib(library, wideFile.data(), nullptr);
    }
  }
  if (typeInfo) typeInfo->Release();
  library->Release();
  return instance;
}

IUnknown* CreateThroughClass(const char* className) {
  WideText wide = WideFromText(className);
  CLSID clsid;
  HRESULT hr = className[0] == '{' ? CLSIDFromString(wide.c_str(), &clsid) : CLSIDFromProgID(wide.c_str(), &clsid);
  if (FAILED(hr)) return nullptr;
  void* made = nullptr;
  hr = CoCreateInstance(clsid, nullptr, 0x17, IID_IUnknown, &made);
  // Some systems refuse CLSCTX_REMOTE_SERVER outright.
  if (hr == E_INVALIDARG) hr = CoCreateInstance(clsid, nullptr, 0x7, IID_IUnknown, &made);
  if (FAILED(hr) || !made) return nullptr;
  return static_cast<IUnknown*>(made);
}

}  // namespace

ObjectRecord* NewObjectRecord() {
  auto* object = static_cast<ObjectRecord*>(Allocate(sizeof(ObjectRecord)));
  object->unknown = nullptr;
  object->record = nullptr;
  return object;
}

VARIANT* NewVariant() {
  auto* value = static_cast<VARIANT*>(Allocate(kVariantSize));
  std::memset(value, 0, kVariantSize);
  return value;
}

bool CreateObject(ObjectRecord* object, const char* className, const char* typeLibraryFile) {
  if (!object) return false;
  if (!className) className = "";
  IUnknown* instance = nullptr;
  if (className[0] != '{' && typeLibraryFile) instance = CreateThroughTypeLibrary(className, typeLibraryFile);
  if (!instance) instance = CreateThroughClass(className);
  if (!instance) return false;
  if (FAILED(OleRun(instance))) {
    instance->Release();
    return false;
  }
  // The old object goes only now that the new one exists.
  ClearObject(object);
  object->unknown = instance;
  return true;
}

void ClearObject(ObjectRecord* object) {
  if (!object) return;
  if (object->unknown) {
    if (object->record) {
      IRecordInfo* info = static_cast<IRecordInfo*>(object->unknown);
      info->RecordDestroy(object->record);
      object->record = nullptr;
    }
    object->unknown->Release();
    object->unknown = nullptr;
  } else if (object->record) {
    Free(object->record);
    object->record = nullptr;
  }
}

int32_t LastErrorCode() { return lastErrorCode; }
void SetLastErrorCode(int32_t code) { lastErrorCode = code; }

const char* ErrorText(int32_t code) {
  switch (code) {
    case kObjectEmpty: return "对象为空";
    case kNoDispatch: return "指定对象没有调用接口";
    case kMemberNotFound: return "未找到指定属性或方法";
    case kNoTypeInfo: return "指定对象没有类型信息";
    case kTooManyArguments: return "提供了过多的参数";
    case kBadArgumentType: return "参数数据类型错误";
    case kResultMismatch: return "执行成功，但返回值类型不匹配";
    case kBadParamCount: return "参数数目错误";
    case kBadVarType: return "参数类型值无效";
    case kException: return "发现异常";
    case kDispMemberNotFound: return "未找到指定成员";
    case kNoNamedArgs: return "不支持命名参数";
    case kOverflow: return "溢出";
    case kParamNotFound: return "未找到指定参数";
    case kTypeMismatch: return "类型不匹配";
    case kParamNotOptional: return "必需的参数数据被省略";
    case kOtherFailure: return "其他原因调用失败";
    default: return "";
  }
}

}  // namespace rt::automation

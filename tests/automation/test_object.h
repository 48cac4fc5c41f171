// An automation object of the tests' own: type information built at run time
// (optional parameters, a variable list, out parameters, put/putref
// properties, variables), IDispatch::Invoke by hand so that every test can
// see exactly what arrived, and a reference count that tests can read.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

namespace korvalin::test {

enum TestMember : DISPID {
  kOptional = 1,      // Optional(VARIANT a, [optional] VARIANT b, [optional] VARIANT c) -> long: cArgs
  kJoin = 2,          // Join(BSTR separator, [vararg] SAFEARRAY(VARIANT) items) -> BSTR
  kFixed = 3,         // Fixed(BSTR a) -> BSTR a
  kGetText = 4,       // GetText([out] BSTR* text): *text = "写回"
  kPeek = 5,          // Peek([in] BSTR* text): also changes *text, but it is no out parameter
  kBump = 6,          // Bump([in, out] long* n): ++*n
  kSwap = 7,          // Swap([in, out] VARIANT* v): *v = "123"
  kEcho = 8,          // Echo(VARIANT v) -> v
  kFail = 9,          // Fail(long hr): Invoke returns hr
  kTakeDispatch = 10, // TakeDispatch(IDispatch* object)
  kTakeUnknown = 11,  // TakeUnknown(IUnknown* object)
  kValue = 12,        // property Value: propget, propput, propputref (VARIANT)
  kRefOnly = 13,      // property RefOnly: propget, propputref (IDispatch*)
  kTarget = 14,       // variable Target: IDispatch*
  kCount = 15,        // variable Count: long
  kGrow = 16,         // Grow([in, out] SAFEARRAY(long)* a): a[first] += 100
  kNothing = 17,      // Nothing() -> VARIANT: VT_EMPTY
  kSelf = 18,         // Self() -> VARIANT: VT_DISPATCH of the object itself
};

// What one argument slot held when Invoke was entered.
struct Received {
  VARTYPE vt = VT_EMPTY;
  SCODE scode = 0;        // VT_ERROR
  std::wstring text;      // the slot (dereferenced) as text, when it converts
  void* pointer = nullptr;  // V_BYREF for by-reference slots, else the interface pointer
};

struct InvokeRecord {
  DISPID member = DISPID_UNKNOWN;
  WORD flags = 0;
  UINT namedCount = 0;
  DISPID firstNamed = 0;
  bool excepInfoGiven = false;
  UINT argErrorOnEntry = 0;
  std::vector<Received> args;  // in rgvarg order: args[0] is the last argument
  int calls = 0;
};

struct TestTypes {
  ITypeInfo* dispatch = nullptr;  // the dispinterface IKorvalinTest
  HREFTYPE enumRef = 0, aliasRef = 0, selfRef = 0, classRef = 0;
  IRecordInfo* point = nullptr;   // record KorvalinPoint {long x; BSTR name;}
  ULONG pointNameOffset = 0;
  std::string libraryFile;  // the same library saved to disk (with a coclass)
};

extern const GUID kTestClassId;
extern const GUID kTestLibraryId;
const wchar_t* TestClassName();

// Built once per process.
const TestTypes& Types();

class TestObject : public IDispatch, public IRunnableObject {
 public:
  struct Options {
    bool noDispatch = false;   // QueryInterface refuses IDispatch
    bool noTypeInfo = false;   // GetTypeInfo fails
    bool runnable = false;     // exposes IRunnableObject
    bool runFails = false;     // ... whose Run fails
  };
  explicit TestObject(Options options);
  TestObject() : TestObject(Options()) {}

  static int Live();  // objects not yet destroyed

  ULONG refs() const { return refs_; }
  const InvokeRecord& last() const { return last_; }
  void* lastTaken() const { return taken_; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* excepInfo, UINT* argError) override;
  // IRunnableObject
  HRESULT STDMETHODCALLTYPE GetRunningClass(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE Run(LPBINDCTX) override;
  BOOL STDMETHODCALLTYPE IsRunning() override;
  HRESULT STDMETHODCALLTYPE LockRunning(BOOL, BOOL) override;
  HRESULT STDMETHODCALLTYPE SetContainedObject(BOOL) override;

 private:
  virtual ~TestObject();
  HRESULT Perform(DISPID member, WORD flags, DISPPARAMS* params, VARIANT* result);

  Options options_;
  ULONG refs_ = 1;
  InvokeRecord last_;
  void* taken_ = nullptr;
  LONG count_ = 0;
};

// A class factory registered with CoRegisterClassObject for kTestClassId.
class TestFactory : public IClassFactory {
 public:
  HRESULT failFirstWith = S_OK;  // returned by the first CreateInstance only
  HRESULT failAlwaysWith = S_OK;
  TestObject::Options options;
  int createCalls = 0;
  TestObject* lastMade = nullptr;  // not referenced by the factory

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

// Registers the factory for the life of the guard.
class FactoryRegistration {
 public:
  explicit FactoryRegistration(TestFactory* factory);
  ~FactoryRegistration();
  bool ok() const { return ok_; }

 private:
  DWORD cookie_ = 0;
  bool ok_ = false;
};

// "{...}" of a GUID in the ANSI code page.
std::string GuidText(const GUID& guid);

}  // namespace korvalin::test

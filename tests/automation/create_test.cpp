#include <memory>

#include "tests/automation/automation_test_support.h"

namespace korvalin::test {
namespace {

class Creation : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Types().dispatch, nullptr);
    registration = std::make_unique<FactoryRegistration>(&factory);
    ASSERT_TRUE(registration->ok());
    clsid = GuidText(kTestClassId);
    liveAtStart = TestObject::Live();
  }
  void TearDown() override {
    com.clear();
    registration.reset();
    EXPECT_EQ(TestObject::Live(), liveAtStart) << "an instance was leaked";
  }

  TestFactory factory;
  std::unique_ptr<FactoryRegistration> registration;
  std::string clsid;
  int liveAtStart = 0;
  ComObject com;
};

TEST_F(Creation, ClassIdInBracesCreatesAndHoldsOneReference) {
  ASSERT_TRUE(com.create(clsid.c_str()));
  ASSERT_NE(factory.lastMade, nullptr);
  EXPECT_EQ(com.record()->unknown, static_cast<IUnknown*>(static_cast<IDispatch*>(factory.lastMade)));
  EXPECT_EQ(factory.lastMade->refs(), 1u);
  EXPECT_EQ(com.callMethodNumber("Optional", IntArg(1)), 1.0);

  // A second create replaces the object; the first one goes.
  TestObject* first = factory.lastMade;
  ASSERT_TRUE(com.create(clsid.c_str()));
  EXPECT_NE(factory.lastMade, first);
  EXPECT_EQ(TestObject::Live(), liveAtStart + 1);
}

TEST_F(Creation, FailuresLeaveTheObjectAsItWas) {
  ASSERT_TRUE(com.create(clsid.c_str()));
  TestObject* held = factory.lastMade;
  IUnknown* before = com.record()->unknown;
  int32_t code = Code();

  EXPECT_FALSE(com.create("Korvalin.NoSuchProgId"));
  EXPECT_FALSE(com.create("{not a class id}"));
  factory.failAlwaysWith = E_OUTOFMEMORY;
  EXPECT_FALSE(com.create(clsid.c_str()));
  factory.failAlwaysWith = S_OK;

  EXPECT_EQ(com.record()->unknown, before);
  EXPECT_EQ(held->refs(), 1u);
  EXPECT_EQ(Code(), code) << "create leaves the member-call code alone";
  EXPECT_EQ(com.callMethodNumber("Optional", IntArg(1), IntArg(2)), 2.0);
}

TEST_F(Creation, InvalidArgumentIsRetriedOnce) {
  factory.failFirstWith = E_INVALIDARG;
  ASSERT_TRUE(com.create(clsid.c_str()));
  EXPECT_EQ(factory.createCalls, 2);

  factory.failFirstWith = S_OK;
  factory.createCalls = 0;
  factory.failAlwaysWith = E_FAIL;
  EXPECT_FALSE(com.create(clsid.c_str()));
  EXPECT_EQ(factory.createCalls, 1);
  factory.failAlwaysWith = S_OK;
}

TEST_F(Creation, ObjectThatDoesNotRunIsReleasedAndRefused) {
  ASSERT_TRUE(com.create(clsid.c_str()));
  IUnknown* before = com.record()->unknown;
  factory.options.runnable = true;
  factory.options.runFails = true;
  EXPECT_FALSE(com.create(clsid.c_str()));
  EXPECT_EQ(com.record()->unknown, before);
  EXPECT_EQ(TestObject::Live(), liveAtStart + 1);

  factory.options.runFails = false;
  EXPECT_TRUE(com.create(clsid.c_str()));
  EXPECT_NE(com.record()->unknown, before);
}

TEST_F(Creation, TypeLibraryRouteFindsTheClassByNameAndRegistersTheLibrary) {
  const std::string& file = Types().libraryFile;
  ASSERT_NE(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);
  UnRegisterTypeLib(kTestLibraryId, 1, 0, LOCALE_NEUTRAL, SYS_WIN32);

  ASSERT_TRUE(com.create("KorvalinTestClass", file.c_str()));
  EXPECT_EQ(factory.createCalls, 1);
  EXPECT_EQ(com.callMethodNumber("Optional", IntArg(1)), 1.0);
  // A path with a backslash gets the library registered.
  std::string key = "TypeLib\\" + GuidText(kTestLibraryId);
  HKEY opened = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &opened), ERROR_SUCCESS);
  if (opened) RegCloseKey(opened);
  UnRegisterTypeLib(kTestLibraryId, 1, 0, LOCALE_NEUTRAL, SYS_WIN32);

  // No library there, and the name is no ProgID either.
  EXPECT_FALSE(com.create("KorvalinTestClass", "C:\\no\\such.tlb"));
  // Braces skip the library.
  ASSERT_TRUE(com.create(clsid.c_str(), "C:\\no\\such.tlb"));
  EXPECT_EQ(factory.createCalls, 2);
}

// The library under a name whose second byte is 0x5C ("嘰" is 87 5C in code
// page 936), named relative to drive C's current directory: "C:嘰.tlb" holds
// no backslash, and LoadTypeLib registers nothing for a name with a drive.
TEST_F(Creation, ATrailByteInAChineseFileNameIsNoBackslash) {
  const std::string directory = MakeTempDirectory("typelib-dbcs");
  ASSERT_TRUE(CopyFileA(Types().libraryFile.c_str(), (directory + "\\嘰.tlb").c_str(), FALSE));
  char previous[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(directory.c_str()));
  const std::string key = "TypeLib\\" + GuidText(kTestLibraryId);
  auto registered = [&] {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
  };
  UnRegisterTypeLib(kTestLibraryId, 1, 0, LOCALE_NEUTRAL, SYS_WIN32);

  EXPECT_TRUE(com.create("KorvalinTestClass", "C:嘰.tlb"));
  EXPECT_FALSE(registered()) << "a name without a backslash registered the library";
  // A real backslash before it does.
  EXPECT_TRUE(com.create("KorvalinTestClass", "C:.\\嘰.tlb"));
  EXPECT_TRUE(registered());
  EXPECT_EQ(factory.createCalls, 2);

  UnRegisterTypeLib(kTestLibraryId, 1, 0, LOCALE_NEUTRAL, SYS_WIN32);
  SetCurrentDirectoryA(previous);
}

TEST_F(Creation, ReleaseEmptiesAndAMovedObjectKeepsItsReference) {
  ASSERT_TRUE(com.create(clsid.c_str()));
  TestObject* made = factory.lastMade;
  ComObject moved = std::move(com);
  EXPECT_TRUE(com.empty());
  EXPECT_FALSE(moved.empty());
  EXPECT_EQ(made->refs(), 1u);
  EXPECT_EQ(moved.callMethodNumber("Optional", IntArg(5)), 1.0);
  // The moved-from object still takes a create of its own.
  ASSERT_TRUE(com.create(clsid.c_str()));
  moved.clear();
  EXPECT_TRUE(moved.empty());
  moved.clear();
  EXPECT_EQ(TestObject::Live(), liveAtStart + 1);
}

}  // namespace
}  // namespace korvalin::test

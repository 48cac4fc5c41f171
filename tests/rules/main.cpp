#include "image/constants.h"
#include "image/declared_functions.h"
#include "tests/support/test_support.h"

namespace {

// The program's constants and declared functions, without its windows.
const rt::ProgramImageHeader& RulesTestImage() {
  static const rt::LibraryInfo* const libraries[] = {&rt::RuntimeLibraryInfo()};
  static const rt::ProgramImageHeader header = {
      3, 0, 0x109E0, nullptr, &korvalin::kConstants, sizeof korvalin::kConstants, nullptr, 0, 1, libraries,
      dll::kDeclaredFunctionCount, dll::kLibraryNames, dll::kFunctionNames,
  };
  return header;
}

}  // namespace

int main(int argc, char** argv) { return korvalin::test::TestMain(argc, argv, RulesTestImage()); }

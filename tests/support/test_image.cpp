#include "tests/support/test_image.h"

#include "image/constants.h"
#include "image/declared_functions.h"

namespace korvalin::test {

const rt::ProgramImageHeader& BuildTestImage(const ImageParts& parts) {
  auto* libraries = new const rt::LibraryInfo*[2]{&rt::RuntimeLibraryInfo(), parts.extraLibrary};
  return *new rt::ProgramImageHeader{
      3,                                    // run mode
      0,                                    // reserved
      0x109E0,                              // last unit serial
      parts.codeBase,                       //
      parts.constants,                      //
      parts.constantsSize,                  //
      parts.templates,                      //
      parts.templatesSize,                  //
      parts.extraLibrary ? 2u : 1u,         // libraries
      libraries,                            //
      parts.declaredCount,                  //
      parts.libraryNames,                   //
      parts.functionNames,                  //
  };
}

const rt::ProgramImageHeader& ProgramTestImage() {
  static const rt::ProgramImageHeader& header = BuildTestImage({
      .constants = &kConstants,
      .constantsSize = sizeof kConstants,
      .declaredCount = dll::kDeclaredFunctionCount,
      .libraryNames = dll::kLibraryNames,
      .functionNames = dll::kFunctionNames,
  });
  return header;
}

}  // namespace korvalin::test

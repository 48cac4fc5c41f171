// The one builder of program images for test programs: which constants,
// code base, window templates, libraries and declared functions a test
// program hands the runtime.
#pragma once

#include <cstdint>

#include "runtime/interface/program_image.h"

namespace korvalin::test {

struct ImageParts {
  const void* constants = nullptr;
  uint32_t constantsSize = 0;
  const void* codeBase = nullptr;
  const void* templates = nullptr;
  uint32_t templatesSize = 0;
  uint32_t declaredCount = 0;
  const char* const* libraryNames = nullptr;
  const char* const* functionNames = nullptr;
  // A library after the runtime's own, when a test needs one.
  const rt::LibraryInfo* extraLibrary = nullptr;
};

// A header that lives as long as the process.
const rt::ProgramImageHeader& BuildTestImage(const ImageParts& parts);

// The program's constants and declared functions, without its windows: the
// image of the test programs that run the program's own code in-process.
const rt::ProgramImageHeader& ProgramTestImage();

}  // namespace korvalin::test

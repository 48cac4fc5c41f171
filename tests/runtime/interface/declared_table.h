// The runtime tests' own image: the plain test image plus a table of
// declared functions, most of them in korvalin_testlib.dll beside the exe.
#pragma once

#include "runtime/interface/program_image.h"

namespace korvalin::test {

// Indexes of the table; main.cpp holds each one's library and function name.
enum DeclaredIndex : int {
  kCreateFontNoLibrary,  // empty library name
  kProcessId,
  kProcessIdAgain,  // the same function under a second index
  kMarker,
  kMarkerByOrdinal,
  kMarkerByWideOrdinal,  // an ordinal above 16 bits
  kMarkerByFullPath,
  kMarkerViaModuleDirectory,
  kMarkerElsewhere,  // a library found only by the system's search order
  kMarkerPreferred,
  kMix,
  kTwo,
  kMissingInKernel32,
  kMissingInTestlib,
  kMissingNoLibrary,
  kMissingLibrary,
  kZeroOrdinal,
  kStackFrames,
  kLastError,
  kDeclaredCount
};

// Markers the two builds of korvalin_testlib.dll return.
constexpr uint32_t kBesideMarker = 1001;
constexpr uint32_t kAltMarker = 2002;

const rt::ProgramImageHeader& RuntimeTestImage();

}  // namespace korvalin::test

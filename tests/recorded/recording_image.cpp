#include "tests/recorded/recording_image.h"

#include <cstring>

#include "app/main/entry.h"
#include "image/declared_functions.h"
#include "tests/support/test_support.h"

namespace korvalin::test {
namespace {

constexpr char kRecorder[] = "korvalin_recorder.dll";

constexpr int kRecordedIndices[] = {
    dll::index::TaskDialog,
    // the registry functions
    dll::index::RegOpenKeyExA,
    dll::index::RegQueryValueExA,
    dll::index::RegCloseKey,
    dll::index::RegCreateKeyExA,
    dll::index::RegSetValueExA,
    dll::index::RegFlushKey,
    // the WOW64 guards: the system's kind and the look-ups
    dll::index::GetNativeSystemInfo,
    dll::index::GetModuleHandleGuardLookUp,
    dll::index::GetProcAddress,
    // the free room before a copy
    dll::index::GetDiskFreeSpaceExA,
    dll::index::GetDiskFreeSpaceExW,
    // opening files, and the flushes and deletions of a clear
    dll::index::CreateFileA,
    dll::index::CreateFileW,
    dll::index::FlushFileBuffers,
    dll::index::SetFileInformationByHandle,
    // the account check's comparison
    dll::index::EqualSid,
};

const char* const* RecordingLibraryNames() {
  static const char* names[dll::kDeclaredFunctionCount];
  for (int i = 0; i < dll::kDeclaredFunctionCount; ++i) names[i] = dll::kLibraryNames[i];
  for (int i : kRecordedIndices) names[i] = kRecorder;
  return names;
}

}  // namespace

const rt::ProgramImageHeader& RecordingProgramImage() {
  static const rt::ProgramImageHeader header = [] {
    rt::ProgramImageHeader h = ProgramHeader();
    h.libraryNames = RecordingLibraryNames();
    return h;
  }();
  return header;
}

const std::string& IsolatedCopy() {
  static const std::string path = [] {
    const std::string directory = MakeTempDirectory("recorded");
    const std::string recorder = ThisProgramDirectory() + "\\korvalin_recorder.dll";
    CopyFileA(recorder.c_str(), (directory + "\\korvalin_recorder.dll").c_str(), FALSE);
    const std::string copy = directory + "\\recorded_tests.exe";
    CopyFileA(ThisProgramPath().c_str(), copy.c_str(), FALSE);
    return copy;
  }();
  return path;
}

std::string Describe(const KorvalinRecordedCall& call) {
  std::string name = call.function;
  if (name == "GetModuleHandleA" || name == "GetProcAddress") name += std::string("(") + call.text[0] + ")";
  return name;
}

RecorderLog::RecorderLog() : state_(KorvalinRecorder()) {}

RecorderLog::RecorderLog(DWORD processId) {
  const std::string name = "Local\\KorvalinRecorder-" + std::to_string(processId);
  mapping_ = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
  if (mapping_) state_ = static_cast<KorvalinRecorderState*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0));
}

RecorderLog::~RecorderLog() {
  if (!mapping_) return;
  if (state_) UnmapViewOfFile(state_);
  CloseHandle(mapping_);
}

std::vector<KorvalinRecordedCall> RecorderLog::calls() const {
  if (!state_) return {};
  const int32_t count = state_->count;
  return std::vector<KorvalinRecordedCall>(state_->calls, state_->calls + count);
}

std::vector<KorvalinRecordedCall> RecorderLog::calls(const char* function) const {
  std::vector<KorvalinRecordedCall> found;
  for (const KorvalinRecordedCall& call : calls())
    if (std::strcmp(call.function, function) == 0) found.push_back(call);
  return found;
}

std::vector<std::string> RecorderLog::trace() const {
  std::vector<std::string> lines;
  for (const KorvalinRecordedCall& call : calls()) lines.push_back(Describe(call));
  return lines;
}

}  // namespace korvalin::test

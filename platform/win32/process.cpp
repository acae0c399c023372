#include "platform/process.h"

#include "platform/win32/windows_headers.h"

namespace pelmo::platform {

std::string ProcessCommandLine() {
  const char* line = ::GetCommandLineA();
  return line == nullptr ? std::string() : std::string(line);
}

std::string ProgramPath() {
  char path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length < MAX_PATH ? length : 0);
}

// Windows has none of the signals that need it.
void PrepareProcess() {}

}  // namespace pelmo::platform

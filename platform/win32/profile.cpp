#include "platform/profile.h"

#include "platform/posix/profile_parser.h"

#include "platform/win32/windows_headers.h"

namespace pelmo::platform {
namespace {

// The system looks for a profile named without a folder in the Windows directory;
// a name relative to the current directory must reach it as a full path.
std::string FullPath(std::string_view path) {
  const std::string terminated(path);
  std::string full(MAX_PATH, '\0');
  DWORD length =
      ::GetFullPathNameA(terminated.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length == 0) return terminated;
  if (length >= full.size()) {
    full.assign(length + 1, '\0');
    length = ::GetFullPathNameA(terminated.c_str(), static_cast<DWORD>(full.size()), full.data(),
                                nullptr);
    if (length == 0 || length >= full.size()) return terminated;
  }
  full.resize(length);
  return full;
}

}  // namespace

std::string ReadProfileString(std::string_view path, std::string_view section, std::string_view key,
                              std::string_view defaultValue) {
  const std::string file = FullPath(path);
  const std::string sectionName(section);
  const std::string keyName(key);
  const std::string fallback(defaultValue);
  std::string value(1024, '\0');
  for (;;) {
    const DWORD length =
        ::GetPrivateProfileStringA(sectionName.c_str(), keyName.c_str(), fallback.c_str(),
                                   value.data(), static_cast<DWORD>(value.size()), file.c_str());
    // The value fills the buffer exactly when it was cut; a larger buffer tells.
    if (length + 1 < value.size() || value.size() >= 64 * 1024) {
      value.resize(length);
      return value;
    }
    value.assign(value.size() * 2, '\0');
  }
}

}  // namespace pelmo::platform

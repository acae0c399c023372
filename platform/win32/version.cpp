#include "platform/version.h"

#include "platform/win32/windows_headers.h"

namespace pelmo::platform {

std::optional<std::uint32_t> QueryPlatformId() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!::GetVersionExA(&version)) return std::nullopt;
  return version.dwPlatformId;
}

}  // namespace pelmo::platform

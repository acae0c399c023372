#include "platform/paths.h"

#include "platform/win32/windows_headers.h"

namespace pelmo::platform {

const PathStyle& NativePathStyle() {
  return kWindowsPathStyle;
}

std::size_t MaxPathSize() {
  return MAX_PATH;
}

}  // namespace pelmo::platform

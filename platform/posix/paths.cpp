#include "platform/paths.h"

#include <climits>

namespace pelmo::platform {

const PathStyle& NativePathStyle() {
  return kPosixPathStyle;
}

std::size_t MaxPathSize() {
  return PATH_MAX;
}

}  // namespace pelmo::platform

#include "platform/version.h"

namespace pelmo::platform {

// Every POSIX system runs the program the way the supported family did.
std::optional<std::uint32_t> QueryPlatformId() {
  return kWindows95Family;
}

}  // namespace pelmo::platform

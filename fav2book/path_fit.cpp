#include "fav2book/path_fit.h"

#include <limits>

#include "platform/paths.h"
#include "util/path.h"

namespace pelmo {

bool JoinWithinLimit(std::string& path, std::string_view component) {
  PathJoin(path, component, std::numeric_limits<std::size_t>::max());
  return path.size() + 1 <= platform::MaxPathSize();
}

}  // namespace pelmo

#include "util/path.h"

#include <algorithm>

namespace pelmo {

std::size_t PathTail(std::string_view path, const platform::PathStyle& style) {
  const std::size_t last = path.find_last_of(style.separators);
  return last == std::string_view::npos ? 0 : last + 1;
}

void PathJoin(std::string& path, std::optional<std::string_view> component, std::size_t size,
              const platform::PathStyle& style) {
  // size counts a terminator, so the path may hold size - 1 bytes.
  if (size == 0 || path.size() >= size - 1) return;
  const std::size_t limit = size - 1;
  if (!path.empty() && style.separators.find(path.back()) == std::string_view::npos) {
    path.push_back(style.separator);
  }
  if (!component) return;
  const std::size_t room = limit - path.size();
  path.append(component->substr(0, std::min(room, component->size())));
}

}  // namespace pelmo

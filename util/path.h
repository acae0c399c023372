#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/paths.h"

namespace pelmo {

// Index of the last component of a path: just behind its last separator, or 0.
std::size_t PathTail(std::string_view path,
                     const platform::PathStyle& style = platform::NativePathStyle());

// Appends a separator where one is needed, then the component, keeping the path
// below size bytes (terminator included); what does not fit is cut off.
void PathJoin(std::string& path, std::optional<std::string_view> component, std::size_t size,
              const platform::PathStyle& style = platform::NativePathStyle());

}  // namespace pelmo

#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelmo::platform {

// The value of a key in a section of profile (INI) text held whole; nothing when the
// section or the key is missing. A value ends at its first NUL byte.
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key);

}  // namespace pelmo::platform

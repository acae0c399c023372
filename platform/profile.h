#pragma once

#include <string>
#include <string_view>

namespace pelmo::platform {

// The value of a key in a section of a profile (INI) file, whole; defaultValue when
// the file, the section or the key is missing.
std::string ReadProfileString(std::string_view path, std::string_view section, std::string_view key,
                              std::string_view defaultValue);

}  // namespace pelmo::platform

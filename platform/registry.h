#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelmo::platform {

// A string value of a key under HKEY_USERS, such as subKey
// ".Default\Software\Netscape\Netscape Navigator\Bookmark List".
// Empty when the key cannot be opened, or the value is absent or not a string.
std::optional<std::string> ReadUserRegistryString(std::string_view subKey,
                                                  std::string_view valueName);

}  // namespace pelmo::platform

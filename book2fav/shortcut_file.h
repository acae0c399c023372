#pragma once

#include <string>
#include <string_view>

namespace pelmo {

// The whole content of an Internet shortcut file for a URL.
std::string ShortcutFileBytes(std::string_view url);

}  // namespace pelmo

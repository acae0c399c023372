#pragma once

#include <string>
#include <string_view>

namespace pelmo {

// The whole content of an Internet shortcut file for a URL.
std::string ShortcutFileBytes(std::string_view url);

// Creates or replaces the file in the current directory. False when it could not be
// written in full; a partly written file is removed.
bool WriteShortcutFile(std::string_view fileName, std::string_view url);

}  // namespace pelmo

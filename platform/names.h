#pragma once

#include <string>
#include <string_view>

namespace pelmo::platform {

// A file or folder name made from a bookmark title (already in the system's encoding,
// see charset.h), in a form that this system stores as that name: on Win32 without
// trailing dots and blanks, and never one of the reserved device names. Empty when
// nothing of the title is left.
std::string NativeName(std::string_view title);

// Two names with the same key name one file on this system's file systems.
std::string NameKey(std::string_view name);

}  // namespace pelmo::platform

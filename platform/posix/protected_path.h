#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/posix/unique_fd.h"

namespace pelmo::platform {

// The kernel's protected_symlinks rule, applied by PELMO itself to every component of
// a path, whatever the system is set to: in a sticky, world-writable directory such as
// /tmp, a link is followed only when it belongs to the user or to that directory's
// owner. Failures leave errno set (EACCES for a link that is not followed).

// The directory that path names, opened for listing; an empty path is the current
// directory.
UniqueFd OpenDirectoryProtected(std::string_view path);

// The directory that holds what path names, reached under the rule, and the name of
// that last component in it: links in the last component are followed too, so the name
// is what is there once they are, or missing. Nothing for a path that ends in "/",
// "." or "..".
struct PathEnd {
  UniqueFd directory;  // opened for reading, so it can be synced and listed
  std::string name;
};
std::optional<PathEnd> OpenParentProtected(std::string_view path);

}  // namespace pelmo::platform

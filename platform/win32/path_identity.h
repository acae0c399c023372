#pragma once

#include <string>

#include "platform/directory.h"

namespace pelmo::platform {

// The Windows 95 family has no links and no file ids for folders, so a folder's full
// path, letter case folded as the file system folds it, tells one from another.
FileIdentity IdentityOfPath(const std::string& path);

}  // namespace pelmo::platform

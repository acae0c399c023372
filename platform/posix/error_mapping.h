#pragma once

#include <string_view>

#include "platform/errors.h"

namespace pelmo::platform {

// Where a failed path operation stopped: whether everything before the last
// component named a directory. Only ENOENT and ENOTDIR depend on it.
enum class ParentState { Directory, NotDirectory };

// The Win32 code that the conversion logic expects for an errno.
ErrorCode ErrorCodeFromErrno(int error, ParentState parent);

// Maps the errno of a failed operation on path, looking at its parent when the
// errno alone cannot tell which component is missing.
ErrorCode ErrorCodeForPath(int error, std::string_view path);

}  // namespace pelmo::platform

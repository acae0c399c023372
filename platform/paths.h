#pragma once

#include <cstddef>
#include <string_view>

namespace pelmo::platform {

// How a system writes paths: which bytes separate components, and which one to
// insert when joining. Windows also counts the drive colon as a separator.
struct PathStyle {
  std::string_view separators;
  char separator;
  bool hasDrivePrefix;  // "C:" may lead a path
};

inline constexpr PathStyle kWindowsPathStyle{"\\:", '\\', true};
inline constexpr PathStyle kPosixPathStyle{"/", '/', false};

// The style of the system this build runs on.
const PathStyle& NativePathStyle();

// Longest path the system accepts, terminator included (260 on Win32, PATH_MAX on POSIX).
std::size_t MaxPathSize();

// Longest name component, in bytes, without terminator (both systems).
inline constexpr std::size_t kMaxNameLength = 255;

}  // namespace pelmo::platform

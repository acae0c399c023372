#pragma once

#include <cerrno>

namespace pelmo::platform {

// Repeats a system call that a signal interrupted before it did anything.
template <typename Call>
auto RetryOnInterrupt(Call call) {
  auto result = call();
  while (result == -1 && errno == EINTR) result = call();
  return result;
}

}  // namespace pelmo::platform

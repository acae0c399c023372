#include "platform/last_error.h"

#include <cerrno>
#include <cstring>

namespace pelmo::platform {

void ClearLastError() {
  errno = 0;
}

std::string LastErrorText() {
  const int error = errno;
  return error == 0 ? std::string() : std::string(std::strerror(error));
}

std::string PathTooLongText() {
  return std::strerror(ENAMETOOLONG);
}

}  // namespace pelmo::platform

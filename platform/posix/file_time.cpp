#include "platform/file_time.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <limits>
#include <string>

namespace pelmo::platform {

bool SetModificationTime(std::string_view name, std::int64_t secondsSince1970) {
  if (secondsSince1970 > std::numeric_limits<time_t>::max() ||
      secondsSince1970 < std::numeric_limits<time_t>::min()) {
    return false;
  }
  const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(secondsSince1970), 0}};
  return ::utimensat(AT_FDCWD, std::string(name).c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

}  // namespace pelmo::platform

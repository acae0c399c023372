#include "platform/profile.h"

#include "platform/file.h"
#include "platform/line_reading.h"
#include "platform/posix/profile_parser.h"

namespace pelmo::platform {

std::string ReadProfileString(std::string_view path, std::string_view section, std::string_view key,
                              std::string_view defaultValue) {
  std::optional<File> file = File::open(path, FileAccess::ReadExisting);
  if (!file) return std::string(defaultValue);
  ProfileKeySearch search(section, key);
  std::string line;
  while (ReadLine(*file, line) && search.addLine(line)) {
  }
  return search.value() ? *search.value() : std::string(defaultValue);
}

}  // namespace pelmo::platform

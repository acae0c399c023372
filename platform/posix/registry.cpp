#include "platform/registry.h"

#include "platform/file.h"
#include "platform/posix/registry_location.h"
#include "platform/posix/registry_parser.h"

namespace pelmo::platform {
namespace {

constexpr std::string_view kUsersRoot = "HKEY_USERS\\";

constexpr std::size_t kReadChunk = 64 * 1024;

}  // namespace

std::optional<std::string> ReadUserRegistryString(std::string_view subKey,
                                                  std::string_view valueName) {
  std::optional<std::string> path = RegistryFilePath(ProcessEnvironment);
  if (!path) return std::nullopt;
  std::optional<File> file = File::open(*path, FileAccess::ReadExisting);
  if (!file) return std::nullopt;
  std::string fullKey(kUsersRoot);
  fullKey += subKey;
  // Read piece by piece, so that no size of file can exhaust memory.
  RegistryFileSearch search(fullKey, valueName);
  std::string chunk(kReadChunk, '\0');
  for (std::size_t got; (got = file->read(chunk.data(), chunk.size())) > 0;) {
    if (!search.feed(std::string_view(chunk.data(), got))) break;
  }
  if (file->readFailed()) return std::nullopt;
  return search.finish();
}

}  // namespace pelmo::platform

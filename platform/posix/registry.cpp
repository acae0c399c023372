#include "platform/registry.h"

#include "platform/file.h"
#include "platform/posix/registry_location.h"
#include "platform/posix/registry_parser.h"

namespace pelmo::platform {
namespace {

constexpr std::string_view kUsersRoot = "HKEY_USERS\\";

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::optional<File> file = File::open(path, FileAccess::ReadExisting);
  if (!file) return std::nullopt;
  std::string bytes;
  std::string chunk(64 * 1024, '\0');
  while (std::size_t got = file->read(chunk.data(), chunk.size())) bytes.append(chunk, 0, got);
  if (file->readFailed()) return std::nullopt;
  return bytes;
}

}  // namespace

std::optional<std::string> ReadUserRegistryString(std::string_view subKey,
                                                  std::string_view valueName) {
  std::optional<std::string> path = RegistryFilePath(ProcessEnvironment);
  if (!path) return std::nullopt;
  std::optional<std::string> bytes = ReadWholeFile(*path);
  if (!bytes) return std::nullopt;
  std::string fullKey(kUsersRoot);
  fullKey += subKey;
  return FindRegistryString(DecodeRegistryText(*bytes), fullKey, valueName);
}

}  // namespace pelmo::platform

#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/directory.h"

namespace pelmo::platform {

// The value of a key in a section of a profile (INI) file, whole; defaultValue when
// the file, the section or the key is missing. A value ends at its first NUL byte.
std::string ReadProfileString(std::string_view path, std::string_view section, std::string_view key,
                              std::string_view defaultValue);

// The value of a key in a section of profile text held whole, by the same rules;
// nothing when the section or the key is missing.
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key);

// The value of a key in a section of a file of a listed directory, read whole up to
// limit bytes (through buffer, which the caller keeps for the next file). The value
// is there only when the file was read and holds the key.
struct ProfileLookup {
  FileReadStatus status = FileReadStatus::NotFile;
  std::optional<std::string> value;
};
ProfileLookup ReadProfileStringAt(const DirectoryListing& directory, std::string_view fileName,
                                  std::string_view section, std::string_view key, std::size_t limit,
                                  ReadBuffer& buffer);

}  // namespace pelmo::platform

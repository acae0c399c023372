#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelmo::platform {

// The text of a registry export file as UTF-8: UTF-16LE (with its byte-order mark)
// is converted, and a UTF-8 byte-order mark is dropped.
std::string DecodeRegistryText(std::string_view bytes);

// A string value of a key in registry export text; fullKey is the whole key path
// ("HKEY_USERS\.Default\..."), and an empty valueName is the key's default value
// ("@"). Nothing when the text is no registry export, the key or value is missing,
// or the value is not a string.
std::optional<std::string> FindRegistryString(std::string_view text, std::string_view fullKey,
                                              std::string_view valueName);

}  // namespace pelmo::platform

#pragma once

#include <cstdint>
#include <string_view>

namespace pelmo::platform {

// Sets the modification time of the file of that name in the current directory to
// the given second since 1970-01-01 UTC; a link of that name is not followed. False
// when the time could not be set.
bool SetModificationTime(std::string_view name, std::int64_t secondsSince1970);

}  // namespace pelmo::platform

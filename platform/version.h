#pragma once

#include <cstdint>
#include <optional>

namespace pelmo::platform {

// The only platform family the program accepts.
inline constexpr std::uint32_t kWindows95Family = 1;

// The running platform's family, or nothing when the query fails.
std::optional<std::uint32_t> QueryPlatformId();

}  // namespace pelmo::platform

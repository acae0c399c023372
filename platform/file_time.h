#pragma once

#include <cstdint>

namespace pelmo::platform {

// A Windows file time (100-nanosecond ticks since 1601) in seconds since 1970 UTC;
// 0, which stands for no time, for any time before 1970.
constexpr std::int64_t UnixTimeFromFileTime(std::uint64_t ticks) {
  constexpr std::uint64_t kTicksPerSecond = 10'000'000;
  constexpr std::uint64_t kSecondsFrom1601To1970 = 11'644'473'600;
  const std::uint64_t seconds = ticks / kTicksPerSecond;
  return seconds > kSecondsFrom1601To1970
             ? static_cast<std::int64_t>(seconds - kSecondsFrom1601To1970)
             : 0;
}

}  // namespace pelmo::platform

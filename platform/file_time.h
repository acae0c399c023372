#pragma once

#include <cstdint>
#include <string_view>

namespace pelmo::platform {

// Sets the modification time of the file of that name in the current directory to
// the given second since 1970-01-01 UTC; a link of that name is not followed. False
// when the time could not be set.
bool SetModificationTime(std::string_view name, std::int64_t secondsSince1970);

// Seconds from 1601-01-01, where Windows and Chromium count time from, to 1970-01-01.
inline constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
// A Windows file time counts 100-nanosecond ticks.
inline constexpr std::int64_t kFileTimeTicksPerSecond = 10'000'000;

// A Windows file time (ticks since 1601) in seconds since 1970 UTC; 0, which stands
// for no time, for any time before 1970.
constexpr std::int64_t UnixTimeFromFileTime(std::uint64_t ticks) {
  const std::uint64_t seconds = ticks / kFileTimeTicksPerSecond;
  return seconds > kSecondsFrom1601To1970
             ? static_cast<std::int64_t>(seconds) - kSecondsFrom1601To1970
             : 0;
}

}  // namespace pelmo::platform

#pragma once

#include <cstdint>

namespace pelmo::platform {

// Failures are reported with the Win32 codes that the conversion logic tells apart;
// every other failure is some other non-zero code.
using ErrorCode = std::uint32_t;

inline constexpr ErrorCode kErrorNone = 0;
// The last component is missing.
inline constexpr ErrorCode kErrorFileNotFound = 2;
// An earlier component is missing or is no directory.
inline constexpr ErrorCode kErrorPathNotFound = 3;
inline constexpr ErrorCode kErrorAlreadyExists = 183;

}  // namespace pelmo::platform

#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace pelmo::fuzz {

// Lets a small input stand for a large one, so that texts over 1 MiB are within a
// fuzzer's reach while its inputs stay small: the bytes 0xFF 0xFE N C stand for the
// byte C repeated N times 16 KiB (up to about 4 MiB each). The text stops growing at
// maxBytes.
inline std::string ExpandRuns(std::string_view data, std::size_t maxBytes = std::size_t{3} << 20) {
  constexpr std::size_t kRunUnit = 16 * 1024;
  std::string text;
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (i + 3 < data.size() && data[i] == '\xFF' && data[i + 1] == '\xFE') {
      const std::size_t count = static_cast<unsigned char>(data[i + 2]) * kRunUnit;
      text.append(std::min(count, maxBytes - std::min(maxBytes, text.size())), data[i + 3]);
      i += 3;
    } else if (text.size() < maxBytes) {
      text.push_back(data[i]);
    }
  }
  return text;
}

}  // namespace pelmo::fuzz

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pelmo::platform {

// The next value of a splitmix64 sequence: cheap, and spread well enough that two
// runs seeded apart do not try the same names.
inline std::uint64_t NextRandom(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

// A dot name for a temporary shortcut file that no title can give, since titles lose
// their dots.
inline std::string TemporaryShortcutName(std::uint64_t& state) {
  constexpr std::string_view kAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::uint64_t bits = NextRandom(state);
  std::string name = ".pelmo-";
  for (int i = 0; i < 10; ++i, bits /= kAlphabet.size()) {
    name.push_back(kAlphabet[bits % kAlphabet.size()]);
  }
  return name + ".tmp";
}

}  // namespace pelmo::platform

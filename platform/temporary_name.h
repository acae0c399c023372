#pragma once

#include <cstddef>
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

// Every file the program creates beside a target before it takes its place (or, for
// a backup, while it is out of the way) is named ".pelmo-", ten letters of a to z and
// digits, and ".tmp" or ".bak": a dot name that no title can give, since titles lose
// their dots, short enough to fit beside any target.
enum class TemporaryKind { Temporary, Backup };

inline constexpr std::string_view kTemporaryNamePrefix = ".pelmo-";
inline constexpr std::string_view kTemporaryNameAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
inline constexpr std::size_t kTemporaryNameLetters = 10;

inline std::string_view TemporaryNameSuffix(TemporaryKind kind) {
  return kind == TemporaryKind::Backup ? ".bak" : ".tmp";
}

// A fresh name of that shape, drawn from state.
inline std::string TemporaryName(std::uint64_t& state,
                                 TemporaryKind kind = TemporaryKind::Temporary) {
  std::uint64_t bits = NextRandom(state);
  std::string name(kTemporaryNamePrefix);
  for (std::size_t i = 0; i < kTemporaryNameLetters; ++i, bits /= kTemporaryNameAlphabet.size()) {
    name.push_back(kTemporaryNameAlphabet[bits % kTemporaryNameAlphabet.size()]);
  }
  name += TemporaryNameSuffix(kind);
  return name;
}

// Whether a file name has that shape: a file a killed run of the program left behind.
inline bool IsTemporaryName(std::string_view name) {
  constexpr std::size_t kLength = kTemporaryNamePrefix.size() + kTemporaryNameLetters + 4;
  if (name.size() != kLength || !name.starts_with(kTemporaryNamePrefix)) return false;
  const std::string_view letters = name.substr(kTemporaryNamePrefix.size(), kTemporaryNameLetters);
  if (letters.find_first_not_of(kTemporaryNameAlphabet) != std::string_view::npos) return false;
  const std::string_view suffix = name.substr(kLength - 4);
  return suffix == TemporaryNameSuffix(TemporaryKind::Temporary) ||
         suffix == TemporaryNameSuffix(TemporaryKind::Backup);
}

}  // namespace pelmo::platform

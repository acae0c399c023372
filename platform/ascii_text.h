#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

// Text helpers that know only ASCII: letter case folds for a to z alone, every other
// byte compares by its unsigned value, and no locale is consulted.
namespace pelmo::platform {

constexpr unsigned char FoldCase(unsigned char byte) {
  return (byte >= 'a' && byte <= 'z') ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

inline bool SameFolded(char a, char b) {
  return FoldCase(static_cast<unsigned char>(a)) == FoldCase(static_cast<unsigned char>(b));
}

inline bool EqualNoCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameFolded);
}

// Negative, zero or positive as a sorts before, with or after b.
inline int CompareNoCase(std::string_view a, std::string_view b) {
  const auto [left, right] = std::mismatch(a.begin(), a.end(), b.begin(), b.end(), SameFolded);
  if (left != a.end() && right != b.end()) {
    return FoldCase(static_cast<unsigned char>(*left)) -
           FoldCase(static_cast<unsigned char>(*right));
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

// Position of the first occurrence of pattern in text, or npos.
inline std::size_t FindNoCase(std::string_view text, std::string_view pattern) {
  const auto found =
      std::search(text.begin(), text.end(), pattern.begin(), pattern.end(), SameFolded);
  if (found == text.end() && !pattern.empty()) return std::string_view::npos;
  return static_cast<std::size_t>(found - text.begin());
}

inline std::string Folded(std::string_view text) {
  std::string folded(text);
  for (char& byte : folded) byte = static_cast<char>(FoldCase(static_cast<unsigned char>(byte)));
  return folded;
}

// Blanks are spaces and tabs, as in the text files the program reads.
inline std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace pelmo::platform

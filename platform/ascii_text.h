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

// A projection for the range algorithms.
struct FoldedByte {
  constexpr unsigned char operator()(char byte) const {
    return FoldCase(static_cast<unsigned char>(byte));
  }
};

inline bool EqualNoCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, {}, FoldedByte{}, FoldedByte{});
}

// Negative, zero or positive as a sorts before, with or after b.
inline int CompareNoCase(std::string_view a, std::string_view b) {
  const auto [left, right] = std::ranges::mismatch(a, b, {}, FoldedByte{}, FoldedByte{});
  if (left != a.end() && right != b.end()) return FoldedByte{}(*left) - FoldedByte{}(*right);
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

// Position of the first occurrence of pattern in text, or npos.
inline std::size_t FindNoCase(std::string_view text, std::string_view pattern) {
  const auto found = std::ranges::search(text, pattern, {}, FoldedByte{}, FoldedByte{});
  if (found.begin() == text.end() && !pattern.empty()) return std::string_view::npos;
  return static_cast<std::size_t>(found.begin() - text.begin());
}

inline std::string Folded(std::string_view text) {
  std::string folded(text.size(), '\0');
  std::ranges::transform(text, folded.begin(),
                         [](char byte) { return static_cast<char>(FoldedByte{}(byte)); });
  return folded;
}

// Blanks are spaces and tabs, as in the text files the program reads.
inline std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace pelmo::platform

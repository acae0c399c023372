#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

// Text helpers that know only ASCII: letter case folds for a to z alone, every other
// byte compares by its unsigned value, and no locale is consulted.
namespace pelmo::text {

constexpr bool IsAsciiLetter(unsigned char byte) {
  return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z');
}

constexpr bool IsAsciiDigit(unsigned char byte) {
  return byte >= '0' && byte <= '9';
}

// The white space of the C locale: space, tab, LF, vertical tab, form feed, CR.
constexpr bool IsAsciiSpace(unsigned char byte) {
  return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

constexpr unsigned char FoldCase(unsigned char byte) {
  return (byte >= 'a' && byte <= 'z') ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

inline bool SameFolded(char a, char b) {
  return FoldCase(static_cast<unsigned char>(a)) == FoldCase(static_cast<unsigned char>(b));
}

inline bool EqualNoCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameFolded);
}

inline bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
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

// The text without the bytes of blanks at either end.
constexpr std::string_view Trim(std::string_view text, std::string_view blanks) {
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Blanks are spaces and tabs, as in the text files the program reads.
constexpr std::string_view TrimBlanks(std::string_view text) {
  return Trim(text, " \t");
}

}  // namespace pelmo::text

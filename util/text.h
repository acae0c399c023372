#pragma once

#include <cstddef>
#include <string_view>

namespace pelmo {

// Only the ASCII letters fold; every other byte keeps its unsigned value.
inline unsigned char FoldCase(unsigned char byte) {
  return (byte >= 'a' && byte <= 'z') ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

// Negative, zero or positive as a sorts before, with or after b, ASCII letters folded.
int CompareNoCase(std::string_view a, std::string_view b);

// Position of the first occurrence of pattern in text, ASCII letters folded, or npos.
std::size_t FindNoCase(std::string_view text, std::string_view pattern);

// Whether a byte of a bookmark title may stay in a file or folder name.
bool IsFileNameChar(unsigned char byte);

}  // namespace pelmo

#pragma once

#include <cstdint>
#include <string>

namespace pelmo::platform {

// Names on POSIX systems and text decoded from references are UTF-8; these are the
// two facts about it that more than one layer needs.

inline bool IsUtf8Continuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// Appends the UTF-8 bytes of a Unicode scalar value.
inline void AppendUtf8(std::string& out, char32_t code) {
  auto add = [&out](std::uint32_t byte) { out.push_back(static_cast<char>(byte)); };
  if (code < 0x80) {
    add(code);
  } else if (code < 0x800) {
    add(0xC0 | (code >> 6));
    add(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    add(0xE0 | (code >> 12));
    add(0x80 | ((code >> 6) & 0x3F));
    add(0x80 | (code & 0x3F));
  } else {
    add(0xF0 | (code >> 18));
    add(0x80 | ((code >> 12) & 0x3F));
    add(0x80 | ((code >> 6) & 0x3F));
    add(0x80 | (code & 0x3F));
  }
}

}  // namespace pelmo::platform

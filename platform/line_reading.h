#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace pelmo::platform {

// Reads the next line from a source of bytes with getByte() and peekByte() (-1 at
// the end), without its line end. A line ends at CR LF, at a lone LF or at a lone CR;
// a last line without a line end counts too. False when no byte was left.
template <typename ByteSource>
bool ReadLine(ByteSource& source, std::string& line) {
  // clear() keeps the capacity, so a file of similar lines allocates only once.
  line.clear();
  int byte = source.getByte();
  if (byte < 0) return false;
  // Bytes gather in a small local block first: appending blocks costs far less than
  // growing the string one byte at a time.
  std::array<char, 256> block;
  std::size_t used = 0;
  while (byte >= 0 && byte != '\n') {
    if (byte == '\r') {
      if (source.peekByte() == '\n') source.getByte();
      break;
    }
    block[used++] = static_cast<char>(byte);
    if (used == block.size()) {
      line.append(block.data(), used);
      used = 0;
    }
    byte = source.getByte();
  }
  line.append(block.data(), used);
  return true;
}

}  // namespace pelmo::platform

#include "util/line_reader.h"

#include <array>
#include <cstddef>

namespace pelmo {

bool ReadTextLine(platform::File& file, std::string& line) {
  // clear() keeps the capacity, so a file of similar lines allocates only once.
  line.clear();
  int byte = file.getByte();
  if (byte < 0) return false;
  // Bytes gather in a small local block first: appending blocks costs far less
  // than growing the string one byte at a time.
  std::array<char, 256> block;
  std::size_t used = 0;
  while (byte >= 0 && byte != '\n') {
    if (byte == '\r') {
      if (file.peekByte() == '\n') file.getByte();
      break;
    }
    block[used++] = static_cast<char>(byte);
    if (used == block.size()) {
      line.append(block.data(), used);
      used = 0;
    }
    byte = file.getByte();
  }
  line.append(block.data(), used);
  return true;
}

}  // namespace pelmo

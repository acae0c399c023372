#include "util/line_reader.h"

namespace pelmo {

bool ReadTextLine(platform::File& file, std::string& line) {
  // clear() keeps the capacity, so a file of similar lines allocates only once.
  line.clear();
  int byte = file.getByte();
  if (byte < 0) return false;
  while (byte >= 0) {
    if (byte == '\n') break;
    if (byte == '\r') {
      if (file.peekByte() == '\n') file.getByte();
      break;
    }
    line.push_back(static_cast<char>(byte));
    byte = file.getByte();
  }
  return true;
}

}  // namespace pelmo

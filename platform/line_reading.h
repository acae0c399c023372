#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace pelmo::platform {

// Hands out the bytes of text held whole the way a File does.
class StringByteSource {
 public:
  explicit StringByteSource(std::string_view text) : text_(text) {}
  int getByte() { return position_ < text_.size() ? Byte(position_++) : -1; }
  int peekByte() const { return position_ < text_.size() ? Byte(position_) : -1; }

 private:
  int Byte(std::size_t at) const { return static_cast<unsigned char>(text_[at]); }

  std::string_view text_;
  std::size_t position_ = 0;
};

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

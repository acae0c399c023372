#include "text/utf16.h"

namespace pelmo::text {
namespace {

int Base64Value(char byte) {
  if (byte >= 'A' && byte <= 'Z') return byte - 'A';
  if (byte >= 'a' && byte <= 'z') return byte - 'a' + 26;
  if (byte >= '0' && byte <= '9') return byte - '0' + 52;
  if (byte == '+') return 62;
  if (byte == '/') return 63;
  return -1;
}

// A unit below U+0020 cannot stand in a UTF-7 text: a URL never holds one.
bool AddUtf7Unit(Utf16Joiner& units, std::uint32_t unit, std::string& out) {
  return unit >= 0x20 && units.add(unit, out);
}

}  // namespace

std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size() / 2);
  Utf16Joiner units;
  for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    units.add(bigEndian ? (first << 8 | second) : (second << 8 | first), out);
  }
  units.finish(out);
  if (bytes.size() % 2 != 0) AppendUtf8(out, kReplacementCharacter);
  return out;
}

std::optional<std::string> DecodeUtf7(std::string_view text) {
  std::string out;
  Utf16Joiner units;
  for (std::size_t at = 0; at < text.size();) {
    const char byte = text[at];
    if (static_cast<unsigned char>(byte) >= 0x80) return std::nullopt;
    if (byte != '+') {
      if (!AddUtf7Unit(units, static_cast<unsigned char>(byte), out)) return std::nullopt;
      ++at;
      continue;
    }
    ++at;
    if (at < text.size() && text[at] == '-') {  // "+-" is a plus sign
      out += '+';
      ++at;
      continue;
    }
    // A shifted run: base64 of UTF-16 units, ended by any other byte; a '-' ending it
    // is absorbed.
    std::uint32_t bits = 0;
    int bitCount = 0;
    for (; at < text.size() && Base64Value(text[at]) >= 0; ++at) {
      bits = (bits << 6) | static_cast<std::uint32_t>(Base64Value(text[at]));
      bitCount += 6;
      if (bitCount >= 16) {
        bitCount -= 16;
        if (!AddUtf7Unit(units, (bits >> bitCount) & 0xFFFF, out)) return std::nullopt;
      }
    }
    if (bitCount >= 6 || (bits & ((1u << bitCount) - 1)) != 0) return std::nullopt;
    if (at < text.size() && text[at] == '-') ++at;
  }
  if (!units.finish(out)) return std::nullopt;
  return out;
}

}  // namespace pelmo::text

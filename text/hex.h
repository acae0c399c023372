#pragma once

#include <string>
#include <string_view>

namespace pelmo::text {

inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// The value of a hex digit of either case, or -1.
constexpr int HexDigitValue(char byte) {
  if (byte >= '0' && byte <= '9') return byte - '0';
  if (byte >= 'a' && byte <= 'f') return byte - 'a' + 10;
  if (byte >= 'A' && byte <= 'F') return byte - 'A' + 10;
  return -1;
}

// Appends the byte as "%XX", with upper-case digits as URLs are normally written.
inline void AppendPercentEncoded(std::string& out, unsigned char byte) {
  out += '%';
  out += kHexDigits[byte >> 4];
  out += kHexDigits[byte & 0x0F];
}

// The text with every "%XX" (two hex digits of either case) as its byte; a '%' not
// followed by two hex digits stays as it is.
std::string PercentDecode(std::string_view text);

}  // namespace pelmo::text

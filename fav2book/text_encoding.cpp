#include "fav2book/text_encoding.h"

#include <cstdint>

#include "text/utf16.h"
#include "text/utf8.h"

namespace pelmo {
namespace {

void AppendUnit(std::string& out, std::uint32_t unit, bool bigEndian) {
  const char high = static_cast<char>(unit >> 8);
  const char low = static_cast<char>(unit & 0xFF);
  out += bigEndian ? high : low;
  out += bigEndian ? low : high;
}

}  // namespace

std::string EncodeText(std::string_view utf8, TextEncoding encoding) {
  if (encoding == TextEncoding::Bytes) return std::string(utf8);
  const bool bigEndian = encoding == TextEncoding::Utf16Be;
  std::string out;
  out.reserve(2 * utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    text::EncodeUtf16(text::DecodeUtf8At(utf8, at),
                      [&out, bigEndian](char16_t unit) { AppendUnit(out, unit, bigEndian); });
  }
  return out;
}

}  // namespace pelmo

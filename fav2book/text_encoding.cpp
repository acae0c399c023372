#include "fav2book/text_encoding.h"

#include <cstdint>

#include "text/utf8.h"

namespace pelmo {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The character that starts at text[at], and at moved behind it.
char32_t DecodeUtf8(std::string_view text, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80) return lead;
  std::size_t length = 0;
  char32_t code = 0;
  char32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 1, code = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 2, code = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 3, code = lead & 0x07, least = 0x10000;
  } else {
    return kReplacement;
  }
  std::size_t next = at;
  for (; length > 0; --length, ++next) {
    if (next >= text.size() || !text::IsUtf8Continuation(static_cast<unsigned char>(text[next]))) {
      return kReplacement;  // the lead byte alone is replaced; what follows is read anew
    }
    code = code << 6 | (static_cast<unsigned char>(text[next]) & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kReplacement;
  at = next;
  return code;
}

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
    const char32_t code = DecodeUtf8(utf8, at);
    if (code < 0x10000) {
      AppendUnit(out, code, bigEndian);
    } else {
      AppendUnit(out, 0xD800 + ((code - 0x10000) >> 10), bigEndian);
      AppendUnit(out, 0xDC00 + ((code - 0x10000) & 0x3FF), bigEndian);
    }
  }
  return out;
}

}  // namespace pelmo

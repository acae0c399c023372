#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelmo::text {

// Names on POSIX systems and text decoded from references are UTF-8. One
// classification of lead bytes (Utf8LeadOf) serves every routine here: a byte that
// starts no well-formed sequence counts as a character of its own wherever text is
// checked, repaired, cut or decoded.

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// What some writers put before UTF-8 text to say that it is UTF-8.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

constexpr bool IsUtf8Continuation(unsigned char byte) {
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

// What a lead byte starts: the length of its sequence (0 for a byte that starts
// none) and the bounds of the byte after it, which rule out overlong forms,
// surrogates and values above U+10FFFF.
struct Utf8Lead {
  std::size_t length;
  unsigned char low;
  unsigned char high;
};

constexpr Utf8Lead Utf8LeadOf(unsigned char lead) {
  if (lead < 0x80) return {1, 0x80, 0xBF};
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
  if (lead >= 0xE0 && lead <= 0xEF) {
    return {3, static_cast<unsigned char>(lead == 0xE0 ? 0xA0 : 0x80),
            static_cast<unsigned char>(lead == 0xED ? 0x9F : 0xBF)};
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    return {4, static_cast<unsigned char>(lead == 0xF0 ? 0x90 : 0x80),
            static_cast<unsigned char>(lead == 0xF4 ? 0x8F : 0xBF)};
  }
  return {0, 0x80, 0xBF};
}

// The length of the well-formed UTF-8 sequence at text[at]; 0 when none starts there
// (a stray continuation, an overlong form, a surrogate, a value above U+10FFFF, or a
// sequence cut short).
constexpr std::size_t Utf8SequenceAt(std::string_view text, std::size_t at) {
  const Utf8Lead lead = Utf8LeadOf(static_cast<unsigned char>(text[at]));
  const std::size_t length = lead.length;
  if (length <= 1) return length;
  unsigned char low = lead.low;
  unsigned char high = lead.high;
  if (at + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const auto byte = static_cast<unsigned char>(text[at + k]);
    if (byte < low || byte > high) return 0;
    low = 0x80;
    high = 0xBF;
  }
  return length;
}

constexpr bool IsValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8SequenceAt(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

// The character at text[at], with at moved behind it; a byte that starts no
// well-formed sequence is U+FFFD and moves at by one, so what follows is read anew.
constexpr char32_t DecodeUtf8At(std::string_view text, std::size_t& at) {
  const std::size_t length = Utf8SequenceAt(text, at);
  if (length == 0) {
    ++at;
    return kReplacementCharacter;
  }
  const auto lead = static_cast<unsigned char>(text[at]);
  char32_t code = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    code = code << 6 | (static_cast<unsigned char>(text[at + k]) & 0x3F);
  }
  at += length;
  return code;
}

// The longest start of text of at most limit bytes that does not end inside a
// well-formed sequence. Bytes that start none are cut anywhere, so text in a
// single-byte code page is cut at the limit.
constexpr std::string_view CutUtf8(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text;
  // A sequence is at most four bytes long: one that the cut splits starts at most
  // three bytes before it.
  for (std::size_t back = 1; back <= 3 && back <= limit; ++back) {
    if (Utf8SequenceAt(text, limit - back) > back) return text.substr(0, limit - back);
  }
  return text.substr(0, limit);
}

// The text with every byte that starts no well-formed sequence replaced by what
// replace appends for it.
template <typename Replace>
std::string RepairUtf8(std::string_view text, Replace replace) {
  std::string repaired;
  repaired.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8SequenceAt(text, at);
    if (length == 0) {
      replace(repaired, static_cast<unsigned char>(text[at]));
      ++at;
    } else {
      repaired.append(text.substr(at, length));
      at += length;
    }
  }
  return repaired;
}

}  // namespace pelmo::text

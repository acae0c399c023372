#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "text/utf8.h"

namespace pelmo::text {

constexpr bool IsHighSurrogate(std::uint32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

constexpr bool IsLowSurrogate(std::uint32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

constexpr char32_t JoinSurrogates(std::uint32_t high, std::uint32_t low) {
  return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// The UTF-16 units of a Unicode scalar value, one or a surrogate pair, handed to add
// in order.
template <typename Add>
constexpr void EncodeUtf16(char32_t code, Add add) {
  if (code < 0x10000) {
    add(static_cast<char16_t>(code));
    return;
  }
  add(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
  add(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
}

// Joins UTF-16 units, given one at a time, into UTF-8: a surrogate pair becomes its
// character, a lone surrogate U+FFFD. The one decoder of UTF-16, for whole texts and
// for texts that arrive in pieces.
class Utf16Joiner {
 public:
  // False when the unit, or a high surrogate before it, stands alone; U+FFFD is
  // appended for it.
  bool add(std::uint32_t unit, std::string& out) {
    bool paired = true;
    if (high_ != 0) {
      const std::uint32_t high = std::exchange(high_, 0);
      if (IsLowSurrogate(unit)) {
        AppendUtf8(out, JoinSurrogates(high, unit));
        return true;
      }
      AppendUtf8(out, kReplacementCharacter);
      paired = false;
    }
    if (IsHighSurrogate(unit)) {
      high_ = unit;
    } else if (IsLowSurrogate(unit)) {
      AppendUtf8(out, kReplacementCharacter);
      paired = false;
    } else {
      AppendUtf8(out, unit);
    }
    return paired;
  }

  // False when the text ended inside a pair; U+FFFD is appended for its first half.
  bool finish(std::string& out) {
    if (high_ == 0) return true;
    high_ = 0;
    AppendUtf8(out, kReplacementCharacter);
    return false;
  }

 private:
  std::uint32_t high_ = 0;
};

// Text in UTF-16 (without its byte-order mark) as UTF-8; a lone surrogate or an odd
// byte at the end becomes U+FFFD.
std::string DecodeUtf16(std::string_view bytes, bool bigEndian);

// Text in UTF-7 (RFC 2152, as Windows writes the Unicode sections of shortcut files)
// as UTF-8. Nothing when it is not well-formed UTF-7: a byte above 0x7F, a lone
// surrogate, a control character (a URL never holds one), or left-over bits that are
// not zero.
std::optional<std::string> DecodeUtf7(std::string_view text);

}  // namespace pelmo::text

#include "util/unicode_text.h"

#include <cstdint>

#include "platform/utf8.h"

namespace pelmo {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

int Base64Value(char byte) {
  if (byte >= 'A' && byte <= 'Z') return byte - 'A';
  if (byte >= 'a' && byte <= 'z') return byte - 'a' + 26;
  if (byte >= '0' && byte <= '9') return byte - '0' + 52;
  if (byte == '+') return 62;
  if (byte == '/') return 63;
  return -1;
}

bool IsHighSurrogate(std::uint32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(std::uint32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Joins UTF-16 units into UTF-8, pairing surrogates.
class Utf16Joiner {
 public:
  // refuseControls: a unit below U+0020 cannot stand anywhere.
  Utf16Joiner(std::string& out, bool refuseControls) : out_(out), refuseControls_(refuseControls) {}

  // False for a unit that cannot stand where it stands.
  bool add(std::uint32_t unit) {
    if (high_ != 0) {
      const std::uint32_t high = high_;
      high_ = 0;
      if (IsLowSurrogate(unit)) {
        platform::AppendUtf8(out_, 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
        return true;
      }
      platform::AppendUtf8(out_, kReplacement);
      ok_ = false;
    }
    if (IsHighSurrogate(unit)) {
      high_ = unit;
    } else if (IsLowSurrogate(unit) || (refuseControls_ && unit < 0x20)) {
      platform::AppendUtf8(out_, kReplacement);
      ok_ = false;
    } else {
      platform::AppendUtf8(out_, unit);
    }
    return ok_;
  }

  // False when the text ended inside a pair.
  bool finish() {
    if (high_ != 0) {
      platform::AppendUtf8(out_, kReplacement);
      high_ = 0;
      ok_ = false;
    }
    return ok_;
  }

 private:
  std::string& out_;
  bool refuseControls_;
  std::uint32_t high_ = 0;
  bool ok_ = true;
};

}  // namespace

std::optional<std::string> DecodeUtf7(std::string_view text) {
  std::string out;
  Utf16Joiner units(out, true);
  for (std::size_t at = 0; at < text.size();) {
    const char byte = text[at];
    if (static_cast<unsigned char>(byte) >= 0x80) return std::nullopt;
    if (byte != '+') {
      if (!units.add(static_cast<unsigned char>(byte))) return std::nullopt;
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
        if (!units.add((bits >> bitCount) & 0xFFFF)) return std::nullopt;
      }
    }
    if (bitCount >= 6 || (bits & ((1u << bitCount) - 1)) != 0) return std::nullopt;
    if (at < text.size() && text[at] == '-') ++at;
  }
  if (!units.finish()) return std::nullopt;
  return out;
}

std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size() / 2);
  Utf16Joiner units(out, false);
  for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    units.add(bigEndian ? (first << 8 | second) : (second << 8 | first));
  }
  units.finish();
  if (bytes.size() % 2 != 0) platform::AppendUtf8(out, kReplacement);
  return out;
}

}  // namespace pelmo

#include "book2fav/character_references.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "book2fav/named_characters.h"
#include "text/hex.h"
#include "text/utf8.h"

namespace pelmo {
namespace {

constexpr std::size_t kLongestName = 8;  // "thetasym"

static_assert(std::ranges::is_sorted(kNamedCharacters, {}, &NamedCharacter::name));

// body starts behind '&'.
std::optional<CharacterReference> ReadNamedReference(std::string_view body) {
  const std::size_t semicolon = body.substr(0, kLongestName + 1).find(';');
  if (semicolon == std::string_view::npos) return std::nullopt;
  const std::string_view name = body.substr(0, semicolon);
  const auto found = std::ranges::lower_bound(kNamedCharacters, name, {}, &NamedCharacter::name);
  if (found == kNamedCharacters.end() || found->name != name) return std::nullopt;
  std::string bytes;
  text::AppendUtf8(bytes, found->code);
  return CharacterReference{std::move(bytes), name.size() + 2};  // '&' and ';'
}

constexpr std::uint32_t kMaxCodePoint = 0x10FFFF;

bool IsValidScalar(std::uint32_t codePoint) {
  return codePoint != 0 && codePoint <= kMaxCodePoint && (codePoint < 0xD800 || codePoint > 0xDFFF);
}

int DigitValue(char byte, int base) {
  const int value = text::HexDigitValue(byte);
  return value < base ? value : -1;
}

// body starts behind "&#"; the value stops growing once it is out of range, so long
// digit strings cannot overflow it.
std::optional<CharacterReference> ReadNumericReference(std::string_view body) {
  int base = 10;
  std::size_t index = 0;
  if (!body.empty() && (body[0] == 'x' || body[0] == 'X')) {
    base = 16;
    index = 1;
  }
  std::size_t firstDigit = index;
  std::uint32_t value = 0;
  for (; index < body.size(); ++index) {
    int digit = DigitValue(body[index], base);
    if (digit < 0) break;
    if (value <= kMaxCodePoint) value = value * static_cast<std::uint32_t>(base) + digit;
  }
  if (index == firstDigit || index >= body.size() || body[index] != ';') return std::nullopt;
  if (!IsValidScalar(value)) return std::nullopt;
  std::string bytes;
  text::AppendUtf8(bytes, value);
  return CharacterReference{std::move(bytes), index + 3};  // "&#" and ';'
}

}  // namespace

std::optional<CharacterReference> ReadCharacterReference(std::string_view text,
                                                         std::size_t position) {
  if (position >= text.size() || text[position] != '&') return std::nullopt;
  std::string_view body = text.substr(position + 1);
  if (!body.empty() && body[0] == '#') return ReadNumericReference(body.substr(1));
  return ReadNamedReference(body);
}

std::string DecodeCharacterReferences(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  std::size_t position = 0;
  while (position < text.size()) {
    std::size_t ampersand = text.find('&', position);
    if (ampersand == std::string_view::npos) ampersand = text.size();
    decoded.append(text.substr(position, ampersand - position));
    position = ampersand;
    if (position == text.size()) break;
    if (auto reference = ReadCharacterReference(text, position)) {
      decoded += reference->bytes;
      position += reference->length;
    } else {
      decoded.push_back('&');
      ++position;
    }
  }
  return decoded;
}

}  // namespace pelmo

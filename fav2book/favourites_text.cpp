#include "fav2book/favourites_text.h"

#include "platform/file_time.h"
#include "platform/profile.h"
#include "platform/utf8.h"
#include "util/text.h"
#include "util/unicode_text.h"

namespace pelmo {
namespace {

constexpr std::string_view kSection = "InternetShortcut";
constexpr std::string_view kUnicodeSection = "InternetShortcut.W";
constexpr std::string_view kKey = "URL";

bool IsAscii(std::string_view text) {
  for (char byte : text) {
    if (static_cast<unsigned char>(byte) >= 0x80) return false;
  }
  return true;
}

// The file's text, and whether it is Unicode (read from UTF-16) rather than ANSI.
struct ShortcutText {
  std::string text;
  bool unicode = false;
};

ShortcutText TextOf(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE")) return {DecodeUtf16(bytes.substr(2), false), true};
  if (bytes.starts_with("\xFE\xFF")) return {DecodeUtf16(bytes.substr(2), true), true};
  return {std::string(bytes), false};
}

int HexValue(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  return -1;
}

// The first eight bytes are the file time; Windows writes a ninth, which says nothing
// of it.
std::int64_t FileTimeOfHex(std::string_view hex) {
  constexpr std::size_t kDigits = 16;
  if (hex.size() < kDigits) return 0;
  std::uint64_t ticks = 0;
  for (std::size_t at = kDigits; at > 0; at -= 2) {
    const int high = HexValue(hex[at - 2]);
    const int low = HexValue(hex[at - 1]);
    if (high < 0 || low < 0) return 0;
    ticks = ticks << 8 | static_cast<std::uint64_t>(high << 4 | low);
  }
  return platform::UnixTimeFromFileTime(ticks);
}

bool IsWebAddress(std::string_view text) {
  auto startsWith = [text](std::string_view scheme) {
    return text.size() > scheme.size() && CompareNoCase(text.substr(0, scheme.size()), scheme) == 0;
  };
  return startsWith("http://") || startsWith("https://");
}

}  // namespace

FavouritesText::FavouritesText(unsigned codePage)
    : ansi_(codePage),
      fromUtf8_(platform::TextConverter::open("UTF-8")),
      western_(platform::TextConverter::openToUtf8("windows-1252")),
      cyrillic_(platform::TextConverter::openToUtf8("windows-1251")) {}

bool FavouritesText::readsAs(std::string_view ansi, std::string_view unicode) {
  return (western_ && western_->convert(ansi) == unicode) ||
         (cyrillic_ && cyrillic_->convert(ansi) == unicode);
}

std::string FavouritesText::url(std::string_view fileBytes) {
  const ShortcutText file = TextOf(fileBytes);
  const std::optional<std::string> ansi = platform::FindProfileValue(file.text, kSection, kKey);
  std::optional<std::string> exact;
  if (auto encoded = platform::FindProfileValue(file.text, kUnicodeSection, kKey)) {
    exact = DecodeUtf7(*encoded);
  }
  auto fromUtf8 = [this](std::string_view url) {
    return fromUtf8_ ? fromUtf8_->convertUrl(url) : std::string(url);
  };
  if (exact && !exact->empty()) {
    const bool ansiIsUtf8 =
        ansi && !file.unicode && !IsAscii(*ansi) && platform::IsValidUtf8(*ansi);
    if (ansiIsUtf8 && readsAs(*ansi, *exact)) return fromUtf8(*ansi);
    return fromUtf8(*exact);
  }
  if (!ansi) return {};
  return file.unicode ? fromUtf8(*ansi) : ansi_.url(*ansi);
}

FavouritesText::Extras FavouritesText::extras(std::string_view fileBytes) {
  const ShortcutText file = TextOf(fileBytes);
  Extras found;
  if (auto modified = platform::FindProfileValue(file.text, kSection, "Modified")) {
    found.modified = FileTimeOfHex(*modified);
  }
  std::optional<std::string> icon = platform::FindProfileValue(file.text, kSection, "IconFile");
  if (icon && IsWebAddress(*icon)) {
    found.icon = file.unicode ? *icon : ansi_.url(*icon);
  }
  return found;
}

}  // namespace pelmo

#include "fav2book/favourites_text.h"

#include "platform/profile.h"
#include "text/utf16.h"
#include "text/utf8.h"

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
  if (bytes.starts_with("\xFF\xFE")) return {text::DecodeUtf16(bytes.substr(2), false), true};
  if (bytes.starts_with("\xFE\xFF")) return {text::DecodeUtf16(bytes.substr(2), true), true};
  return {std::string(bytes), false};
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
    exact = text::DecodeUtf7(*encoded);
  }
  auto fromUtf8 = [this](std::string_view url) {
    return fromUtf8_ ? fromUtf8_->convertUrl(url) : std::string(url);
  };
  if (exact && !exact->empty()) {
    const bool ansiIsUtf8 = ansi && !file.unicode && !IsAscii(*ansi) && text::IsValidUtf8(*ansi);
    if (ansiIsUtf8 && readsAs(*ansi, *exact)) return fromUtf8(*ansi);
    return fromUtf8(*exact);
  }
  if (!ansi) return {};
  return file.unicode ? fromUtf8(*ansi) : ansi_.url(*ansi);
}

}  // namespace pelmo

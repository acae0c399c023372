#include "util/shortcut_format.h"

#include "platform/file_time.h"
#include "platform/profile.h"
#include "text/ascii.h"
#include "text/hex.h"
#include "text/utf16.h"
#include "text/utf8.h"

namespace pelmo {
namespace {

constexpr std::string_view kSection = "InternetShortcut";
constexpr std::string_view kUnicodeSection = "InternetShortcut.W";
constexpr std::string_view kUrlKey = "URL";

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

// The first eight bytes are the file time; Windows writes a ninth, which says nothing
// of it.
std::int64_t FileTimeOfHex(std::string_view hex) {
  constexpr std::size_t kDigits = 16;
  if (hex.size() < kDigits) return 0;
  std::uint64_t ticks = 0;
  for (std::size_t at = kDigits; at > 0; at -= 2) {
    const int high = text::HexDigitValue(hex[at - 2]);
    const int low = text::HexDigitValue(hex[at - 1]);
    if (high < 0 || low < 0) return 0;
    ticks = ticks << 8 | static_cast<std::uint64_t>(high << 4 | low);
  }
  return platform::UnixTimeFromFileTime(ticks);
}

// A scheme alone is no address.
bool IsWebAddress(std::string_view address) {
  auto startsWith = [address](std::string_view scheme) {
    return address.size() > scheme.size() && text::StartsWithNoCase(address, scheme);
  };
  return startsWith("http://") || startsWith("https://");
}

}  // namespace

bool HasShortcutExtension(std::string_view fileName) {
  return fileName.size() >= kShortcutExtension.size() &&
         text::CompareNoCase(fileName.substr(fileName.size() - kShortcutExtension.size()),
                             kShortcutExtension) == 0;
}

std::string_view ShortcutName(std::string_view fileName) {
  if (fileName.size() >= 4 && fileName[fileName.size() - 4] == '.') {
    return fileName.substr(0, fileName.size() - 4);
  }
  return fileName;
}

std::string ShortcutFileBytes(std::string_view url) {
  std::string bytes;
  bytes.reserve(kSection.size() + kUrlKey.size() + url.size() + 7);
  bytes.append("[").append(kSection).append("]\r\n");
  bytes.append(kUrlKey).append("=").append(url).append("\r\n");
  return bytes;
}

bool BeginsAsShortcut(std::string_view bytes) {
  if (bytes.starts_with(text::kUtf8ByteOrderMark))
    bytes.remove_prefix(text::kUtf8ByteOrderMark.size());
  return bytes.size() >= kSection.size() + 2 && bytes.front() == '[' &&
         text::CompareNoCase(bytes.substr(1, kSection.size()), kSection) == 0 &&
         bytes[kSection.size() + 1] == ']';
}

ShortcutReader::ShortcutReader(unsigned codePage, ShortcutKeys keys)
    : ansi_(codePage),
      keys_(keys),
      fromUtf8_(platform::TextConverter::open("UTF-8")),
      western_(platform::TextConverter::openToUtf8("windows-1252")),
      cyrillic_(platform::TextConverter::openToUtf8("windows-1251")) {}

Shortcut ShortcutReader::read(std::string_view fileBytes) {
  const ShortcutText file = TextOf(fileBytes);
  Shortcut shortcut;
  shortcut.url = url(file.text, file.unicode);
  if (keys_ == ShortcutKeys::UrlOnly) return shortcut;
  if (auto modified = platform::FindProfileValue(file.text, kSection, "Modified")) {
    shortcut.modified = FileTimeOfHex(*modified);
  }
  std::optional<std::string> icon = platform::FindProfileValue(file.text, kSection, "IconFile");
  if (icon && IsWebAddress(*icon)) {
    shortcut.icon = file.unicode ? *icon : ansi_.url(*icon);
  }
  return shortcut;
}

bool ShortcutReader::readsAs(std::string_view ansi, std::string_view unicode) {
  return (western_ && western_->convert(ansi) == unicode) ||
         (cyrillic_ && cyrillic_->convert(ansi) == unicode);
}

std::string ShortcutReader::url(std::string_view text, bool unicode) {
  const std::optional<std::string> ansi = platform::FindProfileValue(text, kSection, kUrlKey);
  std::optional<std::string> exact;
  if (auto encoded = platform::FindProfileValue(text, kUnicodeSection, kUrlKey)) {
    exact = text::DecodeUtf7(*encoded);
  }
  auto fromUtf8 = [this](std::string_view url) {
    return fromUtf8_ ? fromUtf8_->convertUrl(url) : std::string(url);
  };
  if (exact && !exact->empty()) {
    const bool ansiIsUtf8 = ansi && !unicode && !IsAscii(*ansi) && text::IsValidUtf8(*ansi);
    if (ansiIsUtf8 && readsAs(*ansi, *exact)) return fromUtf8(*ansi);
    return fromUtf8(*exact);
  }
  if (!ansi) return {};
  return unicode ? fromUtf8(*ansi) : ansi_.url(*ansi);
}

}  // namespace pelmo

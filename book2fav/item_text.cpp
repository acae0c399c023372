#include "book2fav/item_text.h"

#include <charconv>

#include "book2fav/character_references.h"
#include "text/hex.h"
#include "util/text.h"

namespace pelmo {
namespace {

void AppendNameChar(std::string& name, char byte) {
  if (IsFileNameChar(static_cast<unsigned char>(byte))) name.push_back(byte);
}

bool IsControl(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F;
}

bool StartsTag(char byte) {
  return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || byte == '/' || byte == '!';
}

// Markup inside a title (an image, bold text) is not part of its text; a '<' that
// starts no tag is.
std::string WithoutTags(std::string_view title) {
  constexpr std::size_t npos = std::string_view::npos;
  std::string text;
  std::size_t from = 0;
  std::size_t close = 0;
  for (std::size_t open = title.find('<'); open != npos; open = title.find('<', open + 1)) {
    if (open + 1 >= title.size() || !StartsTag(title[open + 1])) continue;
    if (close <= open) close = title.find('>', open);
    if (close == npos) break;
    text.append(title.substr(from, open - from));
    from = close + 1;
    open = close;
  }
  text.append(title.substr(from));
  return text;
}

}  // namespace

std::string NameFromTitle(std::string_view title) {
  std::string spaced = WithoutTags(title);
  for (char& byte : spaced) {
    if (byte == '\n') byte = ' ';
  }
  std::string name = FilterTitle(spaced);
  std::size_t first = name.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  name.erase(name.find_last_not_of(' ') + 1);
  name.erase(0, first);
  return name;
}

std::string FilterTitle(std::string_view title) {
  std::string name;
  name.reserve(title.size());
  bool afterDecodedAmpersand = false;
  for (std::size_t i = 0; i < title.size(); ++i) {
    const bool followsDecodedAmpersand = afterDecodedAmpersand;
    afterDecodedAmpersand = false;
    if (title[i] != '&') {
      AppendNameChar(name, title[i]);
      continue;
    }
    if (auto reference = ReadCharacterReference(title, i)) {
      i += reference->length - 1;
      // "&amp;&amp;" is how a browser writes the doubled '&' back: one '&', as "&&".
      if (reference->bytes == "&") {
        afterDecodedAmpersand = !followsDecodedAmpersand;
        if (followsDecodedAmpersand) continue;
      }
      for (char byte : reference->bytes) AppendNameChar(name, byte);
      continue;
    }
    // A lone '&' is dropped and the byte behind it taken literally, so "&&" gives '&'.
    if (++i < title.size()) AppendNameChar(name, title[i]);
  }
  return name;
}

// The host of a URL with an authority ("scheme://user@host:port/..."); empty for none.
std::string_view UrlHost(std::string_view url) {
  const std::size_t colon = url.find(':');
  if (colon == 0 || colon == std::string_view::npos || url.substr(colon + 1, 2) != "//") return {};
  for (char byte : url.substr(0, colon)) {
    if (!((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
          (byte >= '0' && byte <= '9') || byte == '+' || byte == '-' || byte == '.')) {
      return {};
    }
  }
  std::string_view authority = url.substr(colon + 3);
  authority = authority.substr(0, authority.find_first_of("/?#\\"));
  if (std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
    authority.remove_prefix(at + 1);
  }
  if (authority.starts_with('[')) return authority.substr(1, authority.find(']') - 1);
  return authority.substr(0, authority.find(':'));
}

std::string NameFromUrl(std::string_view url) {
  std::string name = NameFromTitle(UrlHost(url));
  return name.empty() ? std::string(kUntitledName) : name;
}

std::string NameFromText(std::string_view text) {
  std::string name;
  name.reserve(text.size());
  for (char byte : text) {
    if (byte == '\n' || byte == '\r' || byte == '\t') byte = ' ';
    AppendNameChar(name, byte);
  }
  std::size_t first = name.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  name.erase(name.find_last_not_of(' ') + 1);
  name.erase(0, first);
  return name;
}

std::string UrlFromHref(std::string_view href) {
  return UrlFromText(DecodeCharacterReferences(href));
}

std::string UrlFromText(std::string_view decoded) {
  std::string url;
  url.reserve(decoded.size());
  for (char signedByte : decoded) {
    auto byte = static_cast<unsigned char>(signedByte);
    if (!IsControl(byte)) {
      url.push_back(signedByte);
    } else if (byte != '\t' && byte != '\r' && byte != '\n') {
      text::AppendPercentEncoded(url, byte);
    }
  }
  return url;
}

std::optional<std::int64_t> DateFromAttribute(std::string_view value) {
  constexpr std::int64_t kLastSecondOf9999 = 253402300799;
  std::int64_t count = 0;
  auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), count);
  if (error != std::errc() || end != value.data() + value.size() || count <= 0) {
    return std::nullopt;
  }
  for (int coarser = 0; coarser < 2 && count > kLastSecondOf9999; ++coarser) count /= 1000;
  if (count > kLastSecondOf9999) return std::nullopt;
  return count;
}

}  // namespace pelmo

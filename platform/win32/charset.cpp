#include "platform/charset.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>

#include "platform/utf8.h"
#include "platform/win32/windows_headers.h"

namespace pelmo::platform {
namespace {

constexpr UINT kUtf8 = 65001;
constexpr wchar_t kReplacement = 0xFFFD;

struct Alias {
  std::string_view name;
  UINT codePage;
};

// Names that files use for code pages the system knows by number. Latin-1 and ASCII
// are read as windows-1252, their superset, as browsers read them.
constexpr std::array<Alias, 14> kAliases{{
    {"utf-8", kUtf8},
    {"utf8", kUtf8},
    {"iso-8859-1", 1252},
    {"iso8859-1", 1252},
    {"latin1", 1252},
    {"us-ascii", 1252},
    {"ascii", 1252},
    {"x-mac-roman", 10000},
    {"x-mac-system", 10000},
    {"mac", 10000},
    {"macintosh", 10000},
    {"shift_jis", 932},
    {"gb2312", 936},
    {"big5", 950},
}};

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

// "windows-1250", "cp1250" and "x-cp1250" name a code page by its number.
UINT NumberedCodePage(std::string_view charset) {
  for (std::string_view prefix : {"windows-", "cp", "x-cp"}) {
    if (charset.size() <= prefix.size() || !EqualNoCase(charset.substr(0, prefix.size()), prefix)) {
      continue;
    }
    const std::string digits(charset.substr(prefix.size()));
    char* end = nullptr;
    const unsigned long number = std::strtoul(digits.c_str(), &end, 10);
    if (*end == '\0' && number > 0 && number < 65536) return static_cast<UINT>(number);
  }
  return 0;
}

UINT CodePageOf(std::string_view charset) {
  for (const Alias& alias : kAliases) {
    if (EqualNoCase(charset, alias.name)) return alias.codePage;
  }
  return NumberedCodePage(charset);
}

// The Windows 95 family cannot convert from UTF-8 itself, so it is decoded here; each
// byte that starts no well-formed sequence becomes one replacement character.
std::wstring DecodeUtf8(std::string_view text) {
  std::wstring wide;
  wide.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80                    ? 1
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    bool wellFormed = length > 0 && i + length <= text.size();
    for (std::size_t k = 1; wellFormed && k < length; ++k) {
      const auto byte = static_cast<unsigned char>(text[i + k]);
      wellFormed = IsUtf8Continuation(byte);
      code = (code << 6) | (byte & 0x3F);
    }
    constexpr std::array<char32_t, 5> kSmallest = {0, 0, 0x80, 0x800, 0x10000};
    wellFormed = wellFormed && code >= kSmallest[length] && code <= 0x10FFFF &&
                 !(code >= 0xD800 && code <= 0xDFFF);
    if (!wellFormed) {
      wide.push_back(kReplacement);
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      wide.push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
      wide.push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
    } else {
      wide.push_back(static_cast<wchar_t>(code));
    }
    i += length;
  }
  return wide;
}

std::wstring Decode(UINT codePage, std::string_view text) {
  if (codePage == kUtf8) return DecodeUtf8(text);
  const int size = static_cast<int>(text.size());
  const int needed = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (needed <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  ::MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), needed);
  return wide;
}

bool IsHighSurrogate(wchar_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// How many UTF-16 units the character at i has.
int UnitsAt(const std::wstring& wide, std::size_t i) {
  return IsHighSurrogate(wide[i]) && i + 1 < wide.size() && IsLowSurrogate(wide[i + 1]) ? 2 : 1;
}

// The character's bytes in the ANSI code page, or nothing when the code page lacks it.
// A best-fit mapping ('a' for alpha) is no conversion: it is told by converting back,
// which works on every system (the flag that forbids best fit is not known to the
// Windows 95 family).
std::optional<std::string> ExactAnsi(const wchar_t* units, int count) {
  char bytes[8];
  BOOL usedDefault = FALSE;
  const int written =
      ::WideCharToMultiByte(CP_ACP, 0, units, count, bytes, sizeof bytes, nullptr, &usedDefault);
  if (written <= 0 || usedDefault) return std::nullopt;
  wchar_t back[4];
  const int restored = ::MultiByteToWideChar(CP_ACP, 0, bytes, written, back, 4);
  if (restored != count || !std::equal(units, units + count, back)) return std::nullopt;
  return std::string(bytes, static_cast<std::size_t>(written));
}

// Characters that the ANSI code page lacks become '_', which every name may hold.
std::string ToAnsi(const std::wstring& wide) {
  std::string ansi;
  ansi.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size();) {
    if (wide[i] < 0x80) {
      ansi += static_cast<char>(wide[i++]);
      continue;
    }
    const int units = UnitsAt(wide, i);
    const std::optional<std::string> bytes = ExactAnsi(wide.data() + i, units);
    if (bytes) {
      ansi += *bytes;
    } else {
      // One '_' for each unit, as for a character outside the BMP.
      ansi.append(static_cast<std::size_t>(units), '_');
    }
    i += static_cast<std::size_t>(units);
  }
  return ansi;
}

void AppendPercentEncoded(std::string& out, char32_t code) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string utf8;
  AppendUtf8(utf8, code);
  for (const char byte : utf8) {
    const auto value = static_cast<unsigned char>(byte);
    out += '%';
    out += kHex[value >> 4];
    out += kHex[value & 0xF];
  }
}

// ASCII passes as it is; every other character is asked of the code page on its own,
// without best-fit mappings (which would change the URL as much as '_' does). Where
// the code page lacks it, the character is percent-encoded, which is always a sound
// URL.
std::string UrlToAnsi(const std::wstring& wide) {
  std::string out;
  out.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size();) {
    if (wide[i] < 0x80) {
      out += static_cast<char>(wide[i++]);
      continue;
    }
    const int units = UnitsAt(wide, i);
    const bool pair = units == 2;
    if (const std::optional<std::string> bytes = ExactAnsi(wide.data() + i, units)) {
      out += *bytes;
    } else {
      const char32_t code =
          pair ? 0x10000 + ((char32_t(wide[i]) - 0xD800) << 10) + (char32_t(wide[i + 1]) - 0xDC00)
               : char32_t(wide[i]);
      AppendPercentEncoded(out, code);
    }
    i += static_cast<std::size_t>(units);
  }
  return out;
}

// UTF-16 as UTF-8, a lone surrogate as the replacement character.
std::string ToUtf8(const std::wstring& wide) {
  std::string out;
  out.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    char32_t code = wide[i];
    if (IsHighSurrogate(wide[i]) && i + 1 < wide.size() && IsLowSurrogate(wide[i + 1])) {
      code = 0x10000 + ((code - 0xD800) << 10) + (char32_t(wide[i + 1]) - 0xDC00);
      ++i;
    } else if (IsHighSurrogate(wide[i]) || IsLowSurrogate(wide[i])) {
      code = kReplacement;
    }
    AppendUtf8(out, code);
  }
  return out;
}

}  // namespace

struct TextConverter::State {
  UINT codePage;
  bool toUtf8 = false;
};

TextConverter::TextConverter(std::unique_ptr<State> state) : state_(std::move(state)) {}
TextConverter::TextConverter(TextConverter&& other) noexcept = default;
TextConverter& TextConverter::operator=(TextConverter&& other) noexcept = default;
TextConverter::~TextConverter() = default;

std::optional<TextConverter> TextConverter::open(std::string_view charset) {
  const UINT codePage = CodePageOf(charset);
  if (codePage == 0 || (codePage != kUtf8 && !::IsValidCodePage(codePage))) return std::nullopt;
  if (codePage == ::GetACP()) return TextConverter(nullptr);
  return TextConverter(std::make_unique<State>(State{codePage}));
}

std::optional<TextConverter> TextConverter::openToUtf8(std::string_view charset) {
  const UINT codePage = CodePageOf(charset);
  if (codePage == 0 || (codePage != kUtf8 && !::IsValidCodePage(codePage))) return std::nullopt;
  return TextConverter(std::make_unique<State>(State{codePage, true}));
}

TextConverter TextConverter::systemToUtf8() {
  return TextConverter(std::make_unique<State>(State{CP_ACP, true}));
}

std::string TextConverter::convert(std::string_view text) {
  if (!state_ || text.empty()) return std::string(text);
  if (state_->toUtf8) return ToUtf8(Decode(state_->codePage, text));
  return ToAnsi(Decode(state_->codePage, text));
}

std::string TextConverter::convertUrl(std::string_view url) {
  if (!state_ || url.empty()) return std::string(url);
  if (state_->toUtf8) return ToUtf8(Decode(state_->codePage, url));
  return UrlToAnsi(Decode(state_->codePage, url));
}

// Windows programs wrote the text in this very code page.
AnsiText::AnsiText(unsigned) {}

std::string AnsiText::text(std::string_view bytes) {
  return std::string(bytes);
}

std::string AnsiText::url(std::string_view bytes) {
  return std::string(bytes);
}

std::string_view CutAtCharacter(std::string_view text, std::size_t limit) {
  const std::size_t end = std::min(text.size(), limit);
  std::size_t at = 0;
  while (at < end) {
    const std::size_t length = ::IsDBCSLeadByte(static_cast<BYTE>(text[at])) ? 2 : 1;
    if (at + length > end) break;
    at += length;
  }
  return text.substr(0, at);
}

}  // namespace pelmo::platform

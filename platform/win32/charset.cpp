#include "platform/charset.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "platform/win32/windows_headers.h"
#include "text/ascii.h"
#include "text/hex.h"
#include "text/utf16.h"
#include "text/utf8.h"

namespace pelmo::platform {
namespace {

constexpr UINT kUtf8 = 65001;

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

// "windows-1250", "cp1250" and "x-cp1250" name a code page by its number.
UINT NumberedCodePage(std::string_view charset) {
  for (std::string_view prefix : {"windows-", "cp", "x-cp"}) {
    if (charset.size() <= prefix.size() ||
        !text::EqualNoCase(charset.substr(0, prefix.size()), prefix)) {
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
    if (text::EqualNoCase(charset, alias.name)) return alias.codePage;
  }
  return NumberedCodePage(charset);
}

// The Windows 95 family cannot convert from UTF-8 itself, so it is decoded here; each
// byte that starts no well-formed sequence becomes one replacement character.
std::wstring DecodeUtf8(std::string_view text) {
  std::wstring wide;
  wide.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    text::EncodeUtf16(text::DecodeUtf8At(text, at),
                      [&wide](char16_t unit) { wide.push_back(static_cast<wchar_t>(unit)); });
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

// How many UTF-16 units the character at i has.
int UnitsAt(const std::wstring& wide, std::size_t i) {
  return text::IsHighSurrogate(wide[i]) && i + 1 < wide.size() && text::IsLowSurrogate(wide[i + 1])
             ? 2
             : 1;
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
  std::string utf8;
  text::AppendUtf8(utf8, code);
  for (const char byte : utf8) text::AppendPercentEncoded(out, static_cast<unsigned char>(byte));
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
      const char32_t code = pair ? text::JoinSurrogates(wide[i], wide[i + 1]) : char32_t(wide[i]);
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
  text::Utf16Joiner units;
  for (const wchar_t unit : wide) units.add(static_cast<std::uint16_t>(unit), out);
  units.finish(out);
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

#include "platform/charset.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <string>
#include <utility>

#include "platform/posix/text_compare.h"
#include "platform/utf8.h"

namespace pelmo::platform {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

struct Alias {
  std::string_view name;
  const char* iconvName;
};

// Names that files use and iconv does not know. Old Macintosh programs name their
// system's character set, which was Mac OS Roman for western languages. Latin-1 and
// ASCII are read as windows-1252, their superset, as browsers read them: files that
// say Latin-1 hold its punctuation in 0x80-0x9F.
constexpr std::array<Alias, 8> kAliases{{
    {"x-mac-roman", "MACINTOSH"},
    {"x-mac-system", "MACINTOSH"},
    {"mac", "MACINTOSH"},
    {"iso-8859-1", "WINDOWS-1252"},
    {"iso8859-1", "WINDOWS-1252"},
    {"latin1", "WINDOWS-1252"},
    {"us-ascii", "WINDOWS-1252"},
    {"ascii", "WINDOWS-1252"},
}};

void AppendReplacement(std::string& out, unsigned char) {
  out += kReplacement;
}

void AppendPercentEncoded(std::string& out, unsigned char byte) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[byte >> 4];
  out += kHex[byte & 0x0F];
}

bool IsUtf8Name(std::string_view charset) {
  return EqualNoCase(charset, "UTF-8") || EqualNoCase(charset, "UTF8");
}

std::string IconvName(std::string_view charset) {
  for (const Alias& alias : kAliases) {
    if (EqualNoCase(charset, alias.name)) return alias.iconvName;
  }
  return std::string(charset);
}

using Replace = void (*)(std::string& out, unsigned char byte);

// Every byte that starts no character of the set gives way to what replace appends.
std::string Convert(iconv_t handle, std::string_view text, Replace replace) {
  // A shift state left by an earlier text must not change this one.
  iconv(handle, nullptr, nullptr, nullptr, nullptr);
  std::string converted;
  std::array<char, 1024> block;
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  while (inLeft > 0) {
    char* out = block.data();
    std::size_t outLeft = block.size();
    std::size_t result = iconv(handle, &in, &inLeft, &out, &outLeft);
    int error = errno;
    converted.append(block.data(), block.size() - outLeft);
    if (result != static_cast<std::size_t>(-1) || error == E2BIG) continue;
    replace(converted, static_cast<unsigned char>(*in));
    ++in;
    --inLeft;
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
  }
  return converted;
}

}  // namespace

struct TextConverter::State {
  explicit State(iconv_t opened) : handle(opened) {}
  State(const State&) = delete;
  State& operator=(const State&) = delete;
  ~State() {
    if (handle != reinterpret_cast<iconv_t>(-1)) iconv_close(handle);
  }
  iconv_t handle;
};

TextConverter::TextConverter(std::unique_ptr<State> state) : state_(std::move(state)) {}
TextConverter::TextConverter(TextConverter&& other) noexcept = default;
TextConverter& TextConverter::operator=(TextConverter&& other) noexcept = default;
TextConverter::~TextConverter() = default;

std::optional<TextConverter> TextConverter::open(std::string_view charset) {
  if (IsUtf8Name(charset)) return TextConverter(nullptr);
  // Allocated before the handle is opened, so that running out of memory leaks no handle.
  auto state = std::make_unique<State>(reinterpret_cast<iconv_t>(-1));
  const std::string name = IconvName(charset);
  state->handle = iconv_open("UTF-8", name.c_str());
  if (state->handle == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  return TextConverter(std::move(state));
}

std::optional<TextConverter> TextConverter::openToUtf8(std::string_view charset) {
  return open(charset);
}

// Names here are UTF-8 already.
TextConverter TextConverter::systemToUtf8() {
  return TextConverter(nullptr);
}

std::string TextConverter::convert(std::string_view text) {
  if (!state_) return RepairUtf8(text, AppendReplacement);
  return Convert(state_->handle, text, AppendReplacement);
}

// UTF-8 holds every character; a byte that is none is kept as %XX.
std::string TextConverter::convertUrl(std::string_view url) {
  if (!state_) return RepairUtf8(url, AppendPercentEncoded);
  return Convert(state_->handle, url, AppendPercentEncoded);
}

AnsiText::AnsiText(unsigned codePage)
    : fromCodePage_(TextConverter::open(CodePageCharset(codePage))) {
  if (!fromCodePage_) fromCodePage_ = TextConverter::open(CodePageCharset(0));
}

std::string AnsiText::text(std::string_view bytes) {
  if (IsValidUtf8(bytes) || !fromCodePage_) return std::string(bytes);
  return fromCodePage_->convert(bytes);
}

std::string AnsiText::url(std::string_view bytes) {
  if (IsValidUtf8(bytes) || !fromCodePage_) return std::string(bytes);
  return fromCodePage_->convertUrl(bytes);
}

std::string_view CutAtCharacter(std::string_view text, std::size_t limit) {
  std::size_t end = std::min(text.size(), limit);
  std::size_t start = end;
  while (start > 0 && IsUtf8Continuation(static_cast<unsigned char>(text[start - 1]))) --start;
  if (start == 0) return text.substr(0, end);
  const auto lead = static_cast<unsigned char>(text[start - 1]);
  const std::size_t expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (expected > 1 && end - (start - 1) < expected) end = start - 1;
  return text.substr(0, end);
}

}  // namespace pelmo::platform

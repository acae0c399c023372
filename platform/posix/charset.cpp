#include "platform/charset.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <string>
#include <utility>

#include "text/ascii.h"
#include "text/hex.h"
#include "text/utf8.h"

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

bool IsUtf8Name(std::string_view charset) {
  return text::EqualNoCase(charset, "UTF-8") || text::EqualNoCase(charset, "UTF8");
}

std::string IconvName(std::string_view charset) {
  for (const Alias& alias : kAliases) {
    if (text::EqualNoCase(charset, alias.name)) return alias.iconvName;
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
  if (!state_) return text::RepairUtf8(text, AppendReplacement);
  return Convert(state_->handle, text, AppendReplacement);
}

// UTF-8 holds every character; a byte that is none is kept as %XX.
std::string TextConverter::convertUrl(std::string_view url) {
  if (!state_) return text::RepairUtf8(url, text::AppendPercentEncoded);
  return Convert(state_->handle, url, text::AppendPercentEncoded);
}

AnsiText::AnsiText(unsigned codePage)
    : fromCodePage_(TextConverter::open(CodePageCharset(codePage))) {
  if (!fromCodePage_) fromCodePage_ = TextConverter::open(CodePageCharset(0));
}

std::string AnsiText::text(std::string_view bytes) {
  if (text::IsValidUtf8(bytes) || !fromCodePage_) return std::string(bytes);
  return fromCodePage_->convert(bytes);
}

std::string AnsiText::url(std::string_view bytes) {
  if (text::IsValidUtf8(bytes) || !fromCodePage_) return std::string(bytes);
  return fromCodePage_->convertUrl(bytes);
}

std::string_view CutAtCharacter(std::string_view text, std::size_t limit) {
  return text::CutUtf8(text, limit);
}

}  // namespace pelmo::platform

#include "platform/charset.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <string>
#include <utility>

#include "platform/posix/text_compare.h"

namespace pelmo::platform {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

struct Alias {
  std::string_view name;
  const char* iconvName;
};

// Names that files use and iconv does not know. Old Macintosh programs name their
// system's character set, which was Mac OS Roman for western languages.
constexpr std::array<Alias, 3> kAliases{{
    {"x-mac-roman", "MACINTOSH"},
    {"x-mac-system", "MACINTOSH"},
    {"mac", "MACINTOSH"},
}};

bool IsUtf8Name(std::string_view charset) {
  return EqualNoCase(charset, "UTF-8") || EqualNoCase(charset, "UTF8");
}

std::string IconvName(std::string_view charset) {
  for (const Alias& alias : kAliases) {
    if (EqualNoCase(charset, alias.name)) return alias.iconvName;
  }
  return std::string(charset);
}

}  // namespace

struct TextConverter::State {
  explicit State(iconv_t opened) : handle(opened) {}
  State(const State&) = delete;
  State& operator=(const State&) = delete;
  ~State() { iconv_close(handle); }
  iconv_t handle;
};

TextConverter::TextConverter(std::unique_ptr<State> state) : state_(std::move(state)) {}
TextConverter::TextConverter(TextConverter&& other) noexcept = default;
TextConverter& TextConverter::operator=(TextConverter&& other) noexcept = default;
TextConverter::~TextConverter() = default;

std::optional<TextConverter> TextConverter::open(std::string_view charset) {
  if (IsUtf8Name(charset)) return TextConverter(nullptr);
  iconv_t handle = iconv_open("UTF-8", IconvName(charset).c_str());
  if (handle == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  return TextConverter(std::make_unique<State>(handle));
}

std::string TextConverter::convert(std::string_view text) {
  if (!state_) return std::string(text);
  // A shift state left by an earlier text must not change this one.
  iconv(state_->handle, nullptr, nullptr, nullptr, nullptr);
  std::string converted;
  std::array<char, 1024> block;
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  while (inLeft > 0) {
    char* out = block.data();
    std::size_t outLeft = block.size();
    std::size_t result = iconv(state_->handle, &in, &inLeft, &out, &outLeft);
    int error = errno;
    converted.append(block.data(), block.size() - outLeft);
    if (result != static_cast<std::size_t>(-1) || error == E2BIG) continue;
    // An invalid or incomplete sequence: one byte gives way to the replacement.
    converted += kReplacement;
    ++in;
    --inLeft;
    iconv(state_->handle, nullptr, nullptr, nullptr, nullptr);
  }
  return converted;
}

// UTF-8 holds every character.
std::string TextConverter::convertUrl(std::string_view url) {
  return convert(url);
}

}  // namespace pelmo::platform

#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pelmo::platform {

// Converts text of a named character set ("windows-1252", "ISO-8859-1", "UTF-8" ...)
// into the encoding that names have on this system: UTF-8 on POSIX, the ANSI code
// page on Win32. Opened once and used for every text of a file.
class TextConverter {
 public:
  // Nothing when the system does not know the character set.
  static std::optional<TextConverter> open(std::string_view charset);

  TextConverter(TextConverter&& other) noexcept;
  TextConverter& operator=(TextConverter&& other) noexcept;
  TextConverter(const TextConverter&) = delete;
  TextConverter& operator=(const TextConverter&) = delete;
  ~TextConverter();

  // Every byte that cannot be converted becomes one replacement character, so no text
  // is lost around it. Text already in the system's encoding comes back unchanged,
  // whatever it holds.
  std::string convert(std::string_view text);
  // A URL, converted as text is, except that a character the system's encoding lacks
  // becomes the percent-encoded bytes of its UTF-8 form, which browsers read as that
  // character: a replacement character would change the URL.
  std::string convertUrl(std::string_view url);

 private:
  struct State;
  explicit TextConverter(std::unique_ptr<State> state);

  std::unique_ptr<State> state_;  // none: the text is already in the system's encoding
};

}  // namespace pelmo::platform

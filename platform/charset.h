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
  // The same, except that the text becomes UTF-8 on every system.
  static std::optional<TextConverter> openToUtf8(std::string_view charset);
  // From the encoding that names have on this system to UTF-8.
  static TextConverter systemToUtf8();

  TextConverter(TextConverter&& other) noexcept;
  TextConverter& operator=(TextConverter&& other) noexcept;
  TextConverter(const TextConverter&) = delete;
  TextConverter& operator=(const TextConverter&) = delete;
  ~TextConverter();

  // Every byte that cannot be converted becomes one replacement character, so no text
  // is lost around it; UTF-8 comes out valid, whatever the text held.
  std::string convert(std::string_view text);
  // A URL, converted as text is, except that a character the system's encoding lacks
  // becomes the percent-encoded bytes of its UTF-8 form, which browsers read as that
  // character, and a byte of a UTF-8 URL that is no character is percent-encoded as it
  // stands: a replacement character would change the URL.
  std::string convertUrl(std::string_view url);

 private:
  struct State;
  explicit TextConverter(std::unique_ptr<State> state);

  std::unique_ptr<State> state_;  // none: the text is already in the system's encoding
};

// The longest start of text, in this system's encoding, of at most limit bytes that
// does not split a character: UTF-8 on POSIX, the ANSI code page (one or two bytes a
// character) on Win32.
std::string_view CutAtCharacter(std::string_view text, std::size_t limit);

// The name under which open knows a Windows code page; 0 stands for windows-1252.
inline std::string CodePageCharset(unsigned codePage) {
  if (codePage == 0) return "windows-1252";
  if (codePage == 65001) return "UTF-8";
  return "cp" + std::to_string(codePage);
}

// Text that Windows programs keep in their ANSI code page (shortcut files, file and
// folder names) as text of this system's encoding. Win32 keeps it as it is. Elsewhere
// valid UTF-8 stays (programs here write it) and anything else is read as the code
// page named, or as windows-1252 when the system lacks that one, so that the text is
// always valid UTF-8.
class AnsiText {
 public:
  explicit AnsiText(unsigned codePage);
  std::string text(std::string_view bytes);
  std::string url(std::string_view bytes);

 private:
  std::optional<TextConverter> fromCodePage_;
};

}  // namespace pelmo::platform

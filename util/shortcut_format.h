#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/charset.h"

// The Internet shortcut file, as both directions see it: the name it is written
// under, the bytes written for a URL, and what is read back from any shortcut file,
// including those other programs wrote.
namespace pelmo {

// The extension of every shortcut file written.
inline constexpr std::string_view kShortcutExtension = ".URL";

// Whether a file name ends in the shortcut extension, in any letter case.
bool HasShortcutExtension(std::string_view fileName);

// A shortcut's name as read back: the file name less a dot and three characters at
// its end, whatever they are.
std::string_view ShortcutName(std::string_view fileName);

// The whole content of a shortcut file for a URL: its section, its key and the URL
// byte for byte, with CR LF line ends.
std::string ShortcutFileBytes(std::string_view url);

// Whether bytes begin as every shortcut file does (what one cut short by a crash
// still holds), after a UTF-8 byte-order mark if there is one.
bool BeginsAsShortcut(std::string_view bytes);

// What a shortcut file says, in this system's encoding: on Linux always valid UTF-8,
// whatever the file holds.
struct Shortcut {
  std::string url;  // empty when the file holds none
  // Key "Modified": a Windows file time as the hex digits of its bytes, the least
  // significant first; in seconds since 1970 UTC, 0 when there is none.
  std::int64_t modified = 0;
  std::string icon;  // key "IconFile" when it is a web address, else empty
};

// Which keys a ShortcutReader looks for: each costs a pass over the file's text.
enum class ShortcutKeys { UrlOnly, All };

// Reads shortcut files written in one ANSI code page.
class ShortcutReader {
 public:
  // codePage: the ANSI code page the files were written in (0 for windows-1252).
  explicit ShortcutReader(unsigned codePage, ShortcutKeys keys = ShortcutKeys::All);

  // The section "InternetShortcut.W" holds the exact URL in UTF-7 where Windows could
  // not write it in the ANSI code page, and wins, except over an ANSI value that is
  // valid non-ASCII UTF-8 and that the ".W" value merely reads in windows-1252 or
  // windows-1251 (tools that wrote UTF-8 there). A file that starts with a UTF-16
  // byte-order mark is read as UTF-16.
  Shortcut read(std::string_view fileBytes);

 private:
  std::string url(std::string_view text, bool unicode);
  bool readsAs(std::string_view ansi, std::string_view unicode);

  platform::AnsiText ansi_;
  ShortcutKeys keys_;
  std::optional<platform::TextConverter> fromUtf8_;
  std::optional<platform::TextConverter> western_;   // windows-1252 to UTF-8
  std::optional<platform::TextConverter> cyrillic_;  // windows-1251 to UTF-8
};

}  // namespace pelmo

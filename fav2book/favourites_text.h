#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/charset.h"

namespace pelmo {

// How the texts of a Favourites folder (the URL of a shortcut file, the names of files
// and folders) become texts of the bookmark file, in this system's encoding: on
// Linux always valid UTF-8, whatever the shortcut files and names hold.
class FavouritesText {
 public:
  // codePage: the ANSI code page the files were written in (0 for windows-1252).
  explicit FavouritesText(unsigned codePage);

  // The URL of a shortcut file's bytes; empty when it holds none. The section
  // "InternetShortcut.W" holds the exact URL in UTF-7 where Windows could not write it
  // in the ANSI code page, and wins, except over an ANSI value that is valid non-ASCII
  // UTF-8 and that the ".W" value merely reads in windows-1252 or windows-1251 (tools
  // that wrote UTF-8 there). A file that starts with a UTF-16 byte-order mark is read
  // as UTF-16.
  std::string url(std::string_view fileBytes);

  // What else a shortcut file tells of its link, as far as a bookmark file keeps it.
  struct Extras {
    // Key "Modified": a Windows file time as the hex digits of its bytes, the least
    // significant first; in seconds since 1970 UTC, 0 when there is none.
    std::int64_t modified = 0;
    std::string icon;  // key "IconFile" when it is a web address, else empty
  };
  Extras extras(std::string_view fileBytes);

  // A file or folder name.
  std::string name(std::string_view bytes) { return ansi_.text(bytes); }

 private:
  bool readsAs(std::string_view ansi, std::string_view unicode);

  platform::AnsiText ansi_;
  std::optional<platform::TextConverter> fromUtf8_;
  std::optional<platform::TextConverter> western_;   // windows-1252 to UTF-8
  std::optional<platform::TextConverter> cyrillic_;  // windows-1251 to UTF-8
};

}  // namespace pelmo

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pelmo {

// The direction of a run. The main dialog's logic maps it to and from its radio
// buttons.
enum class ConversionMode : std::int16_t {
  FavouritesToBookmarks,
  BookmarksToFavourites,
};

// The one settings record of a run. Paths are kept whole, so that one too long for
// the platform is refused rather than cut; the title holds at most kTitleCapacity - 1
// bytes.
struct ConversionSettings {
  ConversionMode mode = ConversionMode::FavouritesToBookmarks;
  bool quiet = false;
  bool automatic = false;
  bool merge = false;  // automatic mode merges into an existing bookmark file
  std::string favouritesFolder;
  std::string bookmarkFile;
  std::string bookmarkTitle;
  // The Windows code page of text that is not valid UTF-8 and names no character set
  // (/codepage); 0 when none was named, which reads such text as windows-1252.
  unsigned codePage = 0;
  // /modern: the bookmark file is written as current browsers write theirs.
  bool modern = false;
};

inline constexpr std::size_t kTitleCapacity = 128;  // terminator included

}  // namespace pelmo

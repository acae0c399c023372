#include "book2fav/bookmark_sources.h"
#include "book2fav/chromium_source.h"

namespace pelmo {

// This build has no JSON parser: such a file is reported as one it cannot read.
std::unique_ptr<BookmarkSource> OpenChromiumSource(platform::File&) {
  return UnreadableSource("this build of PELMO cannot read Chromium's Bookmarks files");
}

}  // namespace pelmo

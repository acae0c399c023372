#pragma once

#include <memory>

#include "book2fav/bookmark_source.h"
#include "platform/file.h"

namespace pelmo {

// A Chromium-family "Bookmarks" file (JSON whose "roots" hold the bookmarks bar, the
// other bookmarks and the mobile ones): each root that holds anything is a folder
// named as the browser shows it, one progress step per folder and link.
std::unique_ptr<BookmarkSource> OpenChromiumSource(platform::File& file);

}  // namespace pelmo

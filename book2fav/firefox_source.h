#pragma once

#include <memory>
#include <string_view>

#include "book2fav/bookmark_source.h"

namespace pelmo {

// A Firefox "places.sqlite" at path, read as it stands (a running Firefox is neither
// waited for nor disturbed), laid out as Firefox's own HTML export lays it out: the
// menu's items at the top level, then the toolbar, other and mobile bookmarks that
// hold anything, each a folder named as Firefox shows it; tags, keywords and
// separators left out. One progress step per folder and link.
std::unique_ptr<BookmarkSource> OpenFirefoxSource(std::string_view path);

}  // namespace pelmo

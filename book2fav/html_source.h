#pragma once

#include <memory>

#include "book2fav/bookmark_source.h"
#include "platform/file.h"

namespace pelmo {

// A bookmark file in HTML: one progress step per line. codePage is the one the user
// named for files that declare no character set (0: none named).
std::unique_ptr<BookmarkSource> OpenHtmlSource(platform::File& file, unsigned codePage);

}  // namespace pelmo

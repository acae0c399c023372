#pragma once

#include <memory>
#include <string_view>

#include "book2fav/bookmark_source.h"
#include "platform/file.h"

namespace pelmo {

// The open bookmark file, and what a source may need besides it.
struct SourceFile {
  platform::File& file;   // at its first byte
  std::string_view path;  // absolute, for sources that the system reads by name
  unsigned codePage;      // the one the user named for text that declares none (0: none)
};

// The source for the kind of store the file's first bytes show; HTML when they show
// no other. Nothing when the first bytes cannot be read.
std::unique_ptr<BookmarkSource> OpenBookmarkSource(const SourceFile& file);

// A source that cannot be read, for the reason given (a kind this build cannot read).
std::unique_ptr<BookmarkSource> UnreadableSource(std::string reason);

}  // namespace pelmo

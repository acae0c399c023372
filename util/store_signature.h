#pragma once

#include <cstddef>
#include <string_view>

#include "text/utf8.h"

namespace pelmo {

// The first bytes of the browsers' own stores, which PELMO reads but never writes:
// enough of a file's start to tell them from a bookmark file in HTML.
inline constexpr std::size_t kStoreHeadSize = 64;

// An SQLite database: Firefox's places.sqlite.
inline bool IsSqliteDatabase(std::string_view head) {
  return head.starts_with(std::string_view("SQLite format 3\0", 16));
}

// A JSON object, as Chromium's Bookmarks file is; no bookmark file in HTML starts so.
inline bool IsJsonObject(std::string_view head) {
  if (head.starts_with(text::kUtf8ByteOrderMark)) {
    head.remove_prefix(text::kUtf8ByteOrderMark.size());
  }
  const std::size_t first = head.find_first_not_of(" \t\r\n");
  return first != std::string_view::npos && head[first] == '{';
}

}  // namespace pelmo

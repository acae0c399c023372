#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "fav2book/bookmark_writer.h"

namespace pelmo {

inline constexpr std::string_view kMergeMarker = "\t<HR>\r\n\r\n";
inline constexpr std::string_view kListClose = "</DL><P>\r\n\r\n";

// A name as it stands in a heading or an anchor: "&" doubled (the reader turns "&&"
// back into "&"), "<" and ">" as character references so no name can open a tag,
// bytes below 0x20 as numeric references so no name can break its line.
std::string EscapeName(std::string_view name);

// A title longer than this is cut, at the start of a character.
inline constexpr std::size_t kTitleLimit = 127;
// The header of a new bookmark file with the title: markup and control bytes escaped
// as in names, and "&" kept as it is unless it would start a reference.
std::string BookmarkHeader(std::string_view title);

// PELMO's own layout: CR LF line ends, an empty line after each tag line, tabs for
// indentation, folders written folded, "&" in names doubled.
class ClassicBookmarks final : public BookmarkDialect {
 public:
  std::string header(std::string_view title) const override { return BookmarkHeader(title); }
  std::string appendedList(std::string_view title) const override { return BookmarkHeader(title); }
  std::string_view mergeMarker() const override { return kMergeMarker; }
  void folderOpening(std::string& out, const TreeNode& folder, int depth) const override;
  void shortcut(std::string& out, const TreeNode& shortcut, int depth) const override;
  void listClosing(std::string& out, int depth) const override;
};

}  // namespace pelmo

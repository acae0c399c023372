#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "fav2book/tree_node.h"
#include "platform/replace.h"
#include "ui/progress.h"

namespace pelmo {

inline constexpr std::string_view kMergeMarker = "\t<HR>\r\n\r\n";
inline constexpr std::string_view kListClose = "</DL><P>\r\n\r\n";

// A name as it stands in a heading or an anchor: "&" doubled (the reader turns "&&"
// back into "&"), "<" and ">" as character references so no name can open a tag.
std::string EscapeName(std::string_view name);
// A URL as it stands inside the quoted HREF: a quote would end the attribute, so it
// is percent-encoded; everything else is written as collected.
std::string EscapeUrl(std::string_view url);

// The header of a new bookmark file with the title.
std::string BookmarkHeader(std::string_view title);

// Offset of the last "</DL>" (exact case) in the text; 0 when there is none.
std::size_t FindMergePoint(std::string_view text);

// Writes the entries of the root and the closing of the top-level list, freeing
// each node once written. False at the first failed write; the nodes not yet
// written stay in the tree.
bool WriteBookmarkTree(platform::ReplacementFile& file, TreeNode& root,
                       const ui::ProgressDialog& progress);

}  // namespace pelmo

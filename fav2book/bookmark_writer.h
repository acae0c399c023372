#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fav2book/text_encoding.h"
#include "fav2book/tree_node.h"
#include "platform/file.h"
#include "platform/replace.h"
#include "ui/progress.h"

namespace pelmo {

inline constexpr std::string_view kMergeMarker = "\t<HR>\r\n\r\n";
inline constexpr std::string_view kListClose = "</DL><P>\r\n\r\n";

// A name as it stands in a heading or an anchor: "&" doubled (the reader turns "&&"
// back into "&"), "<" and ">" as character references so no name can open a tag,
// bytes below 0x20 as numeric references so no name can break its line.
std::string EscapeName(std::string_view name);
// A URL as it stands inside the quoted HREF: a quote would end the attribute, so it
// is written "&quot;", which reads back as the quote; an "&" that a reader could take
// for the start of a character reference is written "&amp;"; everything else is
// written as collected.
std::string EscapeUrl(std::string_view url);

// A title longer than this is cut, at the start of a character.
inline constexpr std::size_t kTitleLimit = 127;
// The header of a new bookmark file with the title: markup and control bytes escaped
// as in names, and "&" kept as it is unless it would start a reference.
std::string BookmarkHeader(std::string_view title);

// Writes the entries of the root and the closing of the top-level list in the
// encoding, freeing each node once written. False at the first failed write; the
// nodes not yet written stay in the tree.
bool WriteBookmarkTree(platform::ReplacementFile& file, TreeNode& root,
                       const ui::ProgressDialog& progress,
                       TextEncoding encoding = TextEncoding::Bytes);

}  // namespace pelmo

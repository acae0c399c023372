#pragma once

#include <string>
#include <string_view>

#include "fav2book/text_encoding.h"
#include "fav2book/tree_node.h"
#include "platform/replace.h"
#include "ui/progress.h"

namespace pelmo {

// One dialect of the bookmark file's HTML: the bytes of each piece. The walk of the
// tree, the encoding and the file are the writer's, so a new dialect is one more
// implementation of this and nothing else.
class BookmarkDialect {
 public:
  virtual ~BookmarkDialect() = default;

  // A new file's text up to the first entry of its top-level list.
  virtual std::string header(std::string_view title) const = 0;
  // What follows old text that leaves no list open for the new entries: a list of
  // their own, opened.
  virtual std::string appendedList(std::string_view title) const = 0;
  // Between the old entries and the new ones of a merge.
  virtual std::string_view mergeMarker() const = 0;

  // Each appends to out; depth 1 is the top-level list's.
  virtual void folderOpening(std::string& out, const TreeNode& folder, int depth) const = 0;
  virtual void shortcut(std::string& out, const TreeNode& shortcut, int depth) const = 0;
  // The end of a folder's list at the folder's depth; at depth 0, of the top-level list.
  virtual void listClosing(std::string& out, int depth) const = 0;
};

// A URL as it stands inside the quoted HREF: a quote would end the attribute, so it
// is written "&quot;", which reads back as the quote; an "&" that a reader could take
// for the start of a character reference is written "&amp;"; everything else is
// written as collected.
std::string EscapeUrl(std::string_view url);

// Whether a reader could take the '&' at text[at] for the start of a character
// reference: "&#", or a name that is not directly followed by '=' (a browser does
// not decode "&name=" inside an attribute, so a query such as "?a=1&b=2" stays).
bool StartsReference(std::string_view text, std::size_t at);

// Writes the entries of the root and the closing of the top-level list in the dialect
// and the encoding; the tree is only read. False at the first failed write.
bool WriteBookmarkTree(platform::ReplacementFile& file, const TreeNode& root,
                       const BookmarkDialect& dialect, const ui::ProgressDialog& progress,
                       TextEncoding encoding = TextEncoding::Bytes);

}  // namespace pelmo

#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "fav2book/folder_scan.h"
#include "fav2book/tree_node.h"
#include "platform/directory.h"
#include "ui/progress.h"
#include "util/shortcut_format.h"

namespace pelmo {

// Makes the nodes of the tree; returns null when it cannot.
using NodeMaker =
    std::function<TreeNodePointer(NodeKind, std::string_view name, const NodeDetails& details)>;

// The longest shortcut file read: the longest URL a current browser keeps. A larger
// file is not read at all, so no file can exhaust memory.
inline constexpr std::size_t kShortcutFileLimit = 2 * 1024 * 1024;

struct ShortcutRead {
  bool readable = true;   // false when the file is there but could not be read whole
  bool tooLarge = false;  // not read: longer than the limit
  Shortcut shortcut;      // an empty URL for no shortcut
};

// Reads a file of a listed directory as an Internet shortcut; buffer is kept by the
// caller from one file to the next.
ShortcutRead ReadShortcut(const platform::DirectoryListing& directory, std::string_view fileName,
                          platform::ReadBuffer& buffer, ShortcutReader& reader,
                          std::size_t limit = kShortcutFileLimit);

struct Collection {
  std::uint32_t collected = 0;   // shortcut nodes made
  std::uint32_t unreadable = 0;  // files and folders that could not be read whole
  bool outOfMemory = false;      // the tree is incomplete and must not be written
};

// Walks the scan to its end, collecting every Internet shortcut into the tree. Every
// folder's entries end in case-insensitive name order, equal names in the order
// listed. All scan levels are closed on return. Names and URLs are read as text of
// that ANSI code page (ShortcutReader, platform::AnsiText). With dates, every node
// gets its date and every shortcut its icon's URL, which cost a look at each entry's
// time.
Collection CollectFavourites(ScanChain& scan, FavouritesTree& tree,
                             const ui::ProgressDialog& progress,
                             const NodeMaker& makeNode = MakeTreeNode, unsigned codePage = 0,
                             bool withDates = false);

}  // namespace pelmo

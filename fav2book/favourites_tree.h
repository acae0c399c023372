#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "fav2book/folder_scan.h"
#include "fav2book/tree_node.h"
#include "ui/progress.h"

namespace pelmo {

// Makes the nodes of the tree; returns null when it cannot.
using NodeMaker = std::function<TreeNode*(NodeKind, std::string_view name, std::string_view url)>;

// The value of key "URL" in section "InternetShortcut" of the file, whole; empty when
// there is none or the path is not a regular file.
std::string ReadShortcutUrl(std::string_view path);

// A shortcut's name: the file name less a dot and three characters at its end.
std::string_view ShortcutName(std::string_view fileName);

// Walks the scan to its end, collecting every Internet shortcut below root, and
// returns how many were collected. Every folder's entries end in case-insensitive
// name order, equal names in the order listed. All scan levels are closed on return.
std::uint32_t CollectFavourites(FolderScan* level, TreeNode& root,
                                const ui::ProgressDialog& progress,
                                const NodeMaker& makeNode = MakeTreeNode);

}  // namespace pelmo

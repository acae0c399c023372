#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "util/node_list.h"

namespace pelmo {

enum class NodeKind : std::uint8_t { Folder, Shortcut };

// What a node records besides its name and kind.
struct NodeDetails {
  std::string_view url;   // shortcuts only
  std::string_view icon;  // shortcuts only: the URL of the link's icon, or empty
  // Seconds since 1970 UTC, 0 when unknown: when a shortcut was added, when a
  // folder last changed.
  std::int64_t date = 0;
};

// One folder or shortcut of the Favourites tree. It is the entry of its folder's
// list itself, so an entry converts back to its node with a plain downcast. A node
// owns no other node: the tree frees them all.
struct TreeNode : ListNode {
  TreeNode(NodeKind kind, std::string_view name, const NodeDetails& details);
  TreeNode(const TreeNode&) = delete;
  TreeNode& operator=(const TreeNode&) = delete;

  NodeList children;  // a folder's entries; a shortcut's stays empty
  NodeKind kind = NodeKind::Folder;
  std::int64_t date = 0;

  // The name, a terminator (the list's key ends there), the URL, the icon's URL.
  std::string text;
  std::size_t nameLength = 0;
  std::size_t urlLength = 0;

  std::string_view name() const { return std::string_view(text).substr(0, nameLength); }
  std::string_view url() const { return std::string_view(text).substr(nameLength + 1, urlLength); }
  std::string_view icon() const {
    return std::string_view(text).substr(nameLength + 1 + urlLength);
  }
};

// The node that an entry of a tree's list is; never a list's sentinel.
inline TreeNode& EntryNode(ListNode& entry) {
  return static_cast<TreeNode&>(entry);
}
inline const TreeNode& EntryNode(const ListNode& entry) {
  return static_cast<const TreeNode&>(entry);
}

using TreeNodePointer = std::unique_ptr<TreeNode>;

// A new node with copies of the texts (a folder keeps no URL); null when memory runs out.
TreeNodePointer MakeTreeNode(NodeKind kind, std::string_view name, const NodeDetails& details);

// A Favourites tree. The root stands for the Favourites folder itself; the tree owns
// every node below it, and only the tree frees them, when it ends.
class FavouritesTree {
 public:
  FavouritesTree();
  ~FavouritesTree();
  FavouritesTree(const FavouritesTree&) = delete;
  FavouritesTree& operator=(const FavouritesTree&) = delete;

  TreeNode& root() { return root_; }
  const TreeNode& root() const { return root_; }

  // Makes the node the last entry of a folder of this tree, which owns it from now on.
  TreeNode& adopt(TreeNode& folder, TreeNodePointer node);

 private:
  TreeNode root_;
};

}  // namespace pelmo

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "util/node_list.h"

namespace pelmo {

enum class NodeKind : std::uint8_t { Folder, Shortcut };

// One folder or shortcut of the Favourites tree.
struct TreeNode {
  TreeNode() = default;
  TreeNode(NodeKind kind, std::string_view name, std::string_view url);
  TreeNode(const TreeNode&) = delete;
  TreeNode& operator=(const TreeNode&) = delete;

  ListNode link;  // first, so that a list entry converts back to its node
  NodeList children;
  TreeNode* parent = nullptr;    // folders only: the folder that holds this one
  TreeNode* returnTo = nullptr;  // set by the writer
  NodeKind kind = NodeKind::Folder;

  // The name, a terminator (the list's key ends there), the URL. Public like the
  // rest, as a list entry converts back to its node only in a standard-layout type.
  std::string text;
  std::size_t nameLength = 0;

  std::string_view name() const { return std::string_view(text).substr(0, nameLength); }
  std::string_view url() const {
    return text.empty() ? std::string_view() : std::string_view(text).substr(nameLength + 1);
  }
};

// The node that holds a list entry.
inline TreeNode* AsTreeNode(ListNode* node) {
  return reinterpret_cast<TreeNode*>(node);
}

// A new node with copies of the texts (a folder keeps no URL); null when memory runs out.
// The tree owns it until FreeTreeNode.
TreeNode* MakeTreeNode(NodeKind kind, std::string_view name, std::string_view url);
void FreeTreeNode(TreeNode* node);

// Frees every node below the folder, leaving its list empty; deep trees do not
// deepen the call stack.
void FreeTreeBelow(TreeNode& folder);

// The root of a Favourites tree, which stands for the Favourites folder itself.
// Whatever the writer has not freed is freed with it.
class FavouritesTree {
 public:
  FavouritesTree() = default;
  ~FavouritesTree() { FreeTreeBelow(root_); }
  FavouritesTree(const FavouritesTree&) = delete;
  FavouritesTree& operator=(const FavouritesTree&) = delete;

  TreeNode& root() { return root_; }

 private:
  TreeNode root_;
};

}  // namespace pelmo

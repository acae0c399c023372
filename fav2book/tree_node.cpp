#include "fav2book/tree_node.h"

#include <new>

namespace pelmo {

TreeNode::TreeNode(NodeKind nodeKind, std::string_view nodeName, const NodeDetails& details)
    : kind(nodeKind), date(details.date), nameLength(nodeName.size()) {
  const bool shortcut = kind == NodeKind::Shortcut;
  const std::string_view url = shortcut ? details.url : std::string_view();
  const std::string_view iconUrl = shortcut ? details.icon : std::string_view();
  urlLength = url.size();
  text.reserve(nodeName.size() + 1 + url.size() + iconUrl.size());
  text.append(nodeName).push_back('\0');
  text.append(url).append(iconUrl);
  ListNode::name = text.c_str();  // the list's key
}

TreeNodePointer MakeTreeNode(NodeKind kind, std::string_view name, const NodeDetails& details) {
  try {
    return std::make_unique<TreeNode>(kind, name, details);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

FavouritesTree::FavouritesTree() : root_(NodeKind::Folder, {}, NodeDetails{}) {}

// The entries of each node freed join the list of those still to free, so neither
// recursion nor an allocation is needed, however deep the tree: this also runs
// when memory has run out.
FavouritesTree::~FavouritesTree() {
  NodeList& pending = root_.children;
  while (!pending.empty()) {
    TreeNodePointer node(&EntryNode(*pending.head()));
    ListRemove(node.get());
    while (!node->children.empty()) {
      ListNode* entry = node->children.head();
      ListRemove(entry);
      ListAddTail(pending, entry);
    }
  }
}

TreeNode& FavouritesTree::adopt(TreeNode& folder, TreeNodePointer node) {
  ListAddTail(folder.children, node.get());
  return *node.release();
}

}  // namespace pelmo

#include "fav2book/tree_node.h"

#include <new>
#include <type_traits>

namespace pelmo {

static_assert(std::is_standard_layout_v<TreeNode>, "a list entry must convert back to its node");

namespace {

bool HasEntries(const TreeNode& folder) {
  return !folder.children.empty();
}

}  // namespace

TreeNode::TreeNode(NodeKind nodeKind, std::string_view name, std::string_view url)
    : kind(nodeKind), nameLength(name.size()) {
  if (kind == NodeKind::Folder) url = {};
  text.reserve(name.size() + 1 + url.size());
  text.append(name).push_back('\0');
  text.append(url);
  link.name = text.c_str();
}

TreeNode* MakeTreeNode(NodeKind kind, std::string_view name, std::string_view url) {
  try {
    return new TreeNode(kind, name, url);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void FreeTreeNode(TreeNode* node) {
  delete node;
}

// Climbs through the parent links rather than a stack of its own: freeing must not
// allocate, as it also runs when memory has run out.
void FreeTreeBelow(TreeNode& folder) {
  TreeNode* current = &folder;
  for (;;) {
    if (HasEntries(*current)) {
      TreeNode* first = AsTreeNode(current->children.head());
      if (HasEntries(*first)) {
        first->parent = current;
        current = first;
      } else {
        ListRemove(&first->link);
        FreeTreeNode(first);
      }
      continue;
    }
    if (current == &folder) return;
    TreeNode* parent = current->parent;
    ListRemove(&current->link);
    FreeTreeNode(current);
    current = parent;
  }
}

}  // namespace pelmo

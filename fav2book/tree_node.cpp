#include "fav2book/tree_node.h"

#include <algorithm>
#include <new>
#include <type_traits>
#include <vector>

namespace pelmo {

static_assert(std::is_standard_layout_v<TreeNode>, "a list entry must convert back to its node");

namespace {

bool HasEntries(const TreeNode& folder) {
  return !folder.children.empty();
}

}  // namespace

TreeNode* MakeTreeNode(NodeKind kind, std::string_view name, std::string_view url) {
  if (kind == NodeKind::Folder) url = {};
  const std::size_t textSize = name.size() + 1 + url.size() + 1;
  void* storage = ::operator new(sizeof(TreeNode) + textSize, std::nothrow);
  if (storage == nullptr) return nullptr;

  auto* node = new (storage) TreeNode;
  node->kind = kind;
  node->nameLength = static_cast<std::uint32_t>(name.size());
  node->urlLength = static_cast<std::uint32_t>(url.size());
  char* text = reinterpret_cast<char*>(node + 1);
  char* end = std::copy(name.begin(), name.end(), text);
  *end++ = '\0';
  end = std::copy(url.begin(), url.end(), end);
  *end = '\0';
  node->link.name = text;
  return node;
}

void FreeTreeNode(TreeNode* node) {
  if (node == nullptr) return;
  node->~TreeNode();
  ::operator delete(node);
}

void FreeTreeBelow(TreeNode& folder) {
  std::vector<TreeNode*> open{&folder};
  while (!open.empty()) {
    TreeNode* current = open.back();
    if (!HasEntries(*current)) {
      open.pop_back();
      if (current != &folder) {
        ListRemove(&current->link);
        FreeTreeNode(current);
      }
      continue;
    }
    TreeNode* first = AsTreeNode(current->children.head());
    if (HasEntries(*first)) {
      open.push_back(first);
    } else {
      ListRemove(&first->link);
      FreeTreeNode(first);
    }
  }
}

}  // namespace pelmo

#include "fav2book/favourites_tree.h"

#include <vector>

#include "fav2book/path_fit.h"
#include "platform/directory.h"
#include "platform/profile.h"

namespace pelmo {

namespace {

// The builder's side of the walk: which folder receives entries, and for every
// level the scanner has entered, the folder that was current before it.
struct Placement {
  TreeNode* current;
  std::vector<TreeNode*> enclosing;

  void entered(TreeNode* before) { enclosing.push_back(before); }
  // Never climbs above the root, whatever the scanner reports.
  void climb(std::uint16_t levels) {
    for (; levels > 0 && !enclosing.empty(); --levels) {
      current = enclosing.back();
      enclosing.pop_back();
    }
  }
};

// A folder node that cannot be made leaves its directory's entries to the enclosing
// folder; a directory that cannot be entered leaves its folder node empty.
FolderScan* VisitDirectory(FolderScan* level, Placement& placement, const NodeMaker& makeNode) {
  TreeNode* before = placement.current;
  if (!ScanIsDotEntry(*level)) {
    if (TreeNode* folder = makeNode(NodeKind::Folder, level->entry.name, {})) {
      ListAddTail(before->children, &folder->link);
      folder->parent = before;
      placement.current = folder;
    }
  }
  ScanMove move = ScanAdvance(level);
  if (move.entered) {
    placement.entered(before);
  } else {
    placement.current = before;
  }
  return move.level;
}

bool CollectShortcut(const FolderScan& level, TreeNode& folder, const NodeMaker& makeNode,
                     const ui::ProgressDialog& progress) {
  std::string path = level.directory;
  if (!JoinWithinLimit(path, level.entry.name)) return false;
  const std::string url = ReadShortcutUrl(path);
  if (url.empty()) return false;
  TreeNode* shortcut = makeNode(NodeKind::Shortcut, ShortcutName(level.entry.name), url);
  if (shortcut == nullptr) return false;
  ListAddTail(folder.children, &shortcut->link);
  ui::ProgressSetStatus(progress, url);
  ui::ProgressStep(progress);
  return true;
}

// Entries were appended in the order listed; a stable sort gives the order that
// sorted insertion would have given, without its quadratic cost.
void SortTree(TreeNode& root) {
  std::vector<TreeNode*> folders{&root};
  while (!folders.empty()) {
    TreeNode* folder = folders.back();
    folders.pop_back();
    ListSortByName(folder->children);
    for (ListNode* node = folder->children.head(); node->next != nullptr; node = node->next) {
      if (AsTreeNode(node)->kind == NodeKind::Folder) folders.push_back(AsTreeNode(node));
    }
  }
}

}  // namespace

std::string ReadShortcutUrl(std::string_view path) {
  // Only regular files: opening a pipe or a device could block or never end.
  if (platform::GetPathKind(path) != platform::PathKind::File) return {};
  return platform::ReadProfileString(path, "InternetShortcut", "URL", "");
}

std::string_view ShortcutName(std::string_view fileName) {
  if (fileName.size() >= 4 && fileName[fileName.size() - 4] == '.') {
    return fileName.substr(0, fileName.size() - 4);
  }
  return fileName;
}

std::uint32_t CollectFavourites(FolderScan* level, TreeNode& root,
                                const ui::ProgressDialog& progress, const NodeMaker& makeNode) {
  Placement placement{&root, {}};
  std::uint32_t count = 0;
  while (level != nullptr) {
    if (level->entry.isDirectory) {
      level = VisitDirectory(level, placement, makeNode);
    } else {
      if (CollectShortcut(*level, *placement.current, makeNode, progress)) ++count;
      level = ScanNext(level);
    }
    if (level != nullptr && level->levelsLeft > 0) {
      placement.climb(level->levelsLeft);
      level->levelsLeft = 0;
    }
  }
  SortTree(root);
  return count;
}

}  // namespace pelmo

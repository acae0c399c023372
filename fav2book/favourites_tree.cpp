#include "fav2book/favourites_tree.h"

#include <new>
#include <utility>
#include <vector>

#include "platform/charset.h"
#include "platform/temporary_name.h"

namespace pelmo {

namespace {

// The builder's side of the walk: which folder receives entries, and for every
// level the scanner has entered, the folder that was current before it.
struct Placement {
  TreeNode* current;
  std::vector<TreeNode*> enclosing;

  void entered(TreeNode* before) { enclosing.push_back(before); }
  // Never climbs above the root, whatever the scanner reports.
  void climb(std::uint32_t levels) {
    for (; levels > 0 && !enclosing.empty(); --levels) {
      current = enclosing.back();
      enclosing.pop_back();
    }
  }
};

class Collector {
 public:
  Collector(ScanChain& scan, FavouritesTree& tree, const ui::ProgressDialog& progress,
            const NodeMaker& makeNode, unsigned codePage, bool withDates)
      : scan_(scan),
        tree_(tree),
        placement_{&tree.root(), {}},
        progress_(progress),
        makeNode_(makeNode),
        names_(codePage),
        shortcuts_(codePage, withDates ? ShortcutKeys::All : ShortcutKeys::UrlOnly),
        withDates_(withDates) {}

  // False when a node could not be made: the walk stops there.
  bool visit() {
    const platform::DirectoryEntry& entry = scan_.entry();
    if (entry.isDirectory()) return visitDirectory();
    // What a killed run of the program's own writes left behind.
    if (platform::IsTemporaryName(entry.name)) {
      ScanNext(scan_);
      return true;
    }
    if (entry.kind == platform::EntryKind::File && !collectShortcut()) return false;
    if (entry.kind == platform::EntryKind::Unreadable) ++result_.unreadable;
    ScanNext(scan_);
    return true;
  }

  void climb() { placement_.climb(scan_.takeLevelsLeft()); }
  Collection& result() { return result_; }

 private:
  // A directory that cannot be entered leaves its folder node empty.
  bool visitDirectory() {
    TreeNode* before = placement_.current;
    if (!ScanIsDotEntry(scan_.entry())) {
      NodeDetails details;
      if (withDates_) details.date = scan_.level().listing.modifiedTime(scan_.entry());
      TreeNodePointer folder =
          makeNode_(NodeKind::Folder, names_.text(scan_.entry().name), details);
      if (folder == nullptr) return false;
      placement_.current = &tree_.adopt(*before, std::move(folder));
    }
    if (ScanAdvance(scan_)) {
      placement_.entered(before);
    } else {
      placement_.current = before;
    }
    return true;
  }

  bool collectShortcut() {
    const std::string_view name = scan_.entry().name;
    const ShortcutRead read = ReadShortcut(scan_.level().listing, name, buffer_, shortcuts_);
    // Only what could be a shortcut counts as lost: a photo or a note is no bookmark,
    // whatever its size, but a .url file that begins as one and gives no URL was cut.
    const bool couldBeShortcut = HasShortcutExtension(name);
    if (!read.readable && (couldBeShortcut || !read.tooLarge)) ++result_.unreadable;
    const std::string& url = read.shortcut.url;
    if (read.readable && url.empty() && couldBeShortcut && BeginsAsShortcut(buffer_.bytes())) {
      ++result_.unreadable;
    }
    if (url.empty()) return true;
    NodeDetails details;
    details.url = url;
    if (withDates_) {
      details.icon = read.shortcut.icon;
      details.date = read.shortcut.modified != 0
                         ? read.shortcut.modified
                         : scan_.level().listing.modifiedTime(scan_.entry());
    }
    TreeNodePointer shortcut =
        makeNode_(NodeKind::Shortcut, names_.text(ShortcutName(scan_.entry().name)), details);
    if (shortcut == nullptr) return false;
    tree_.adopt(*placement_.current, std::move(shortcut));
    ui::ProgressSetStatus(progress_, url);
    ui::ProgressStep(progress_);
    ++result_.collected;
    return true;
  }

  ScanChain& scan_;
  FavouritesTree& tree_;
  Placement placement_;
  const ui::ProgressDialog& progress_;
  const NodeMaker& makeNode_;
  platform::ReadBuffer buffer_;
  platform::AnsiText names_;
  ShortcutReader shortcuts_;
  const bool withDates_;
  Collection result_;
};

// Entries were appended in the order listed; a stable sort gives the order that
// sorted insertion would have given, without its quadratic cost.
void SortTree(TreeNode& root) {
  std::vector<TreeNode*> folders{&root};
  while (!folders.empty()) {
    TreeNode* folder = folders.back();
    folders.pop_back();
    ListSortByName(folder->children);
    for (ListNode* node = folder->children.head(); node->next != nullptr; node = node->next) {
      if (EntryNode(*node).kind == NodeKind::Folder) folders.push_back(&EntryNode(*node));
    }
  }
}

}  // namespace

ShortcutRead ReadShortcut(const platform::DirectoryListing& directory, std::string_view fileName,
                          platform::ReadBuffer& buffer, ShortcutReader& reader, std::size_t limit) {
  const platform::FileReadStatus status = directory.readFile(fileName, limit, buffer);
  ShortcutRead read;
  read.readable =
      status == platform::FileReadStatus::Read || status == platform::FileReadStatus::NotFile;
  read.tooLarge = status == platform::FileReadStatus::TooLarge;
  if (status == platform::FileReadStatus::Read) read.shortcut = reader.read(buffer.bytes());
  return read;
}

Collection CollectFavourites(ScanChain& scan, FavouritesTree& tree,
                             const ui::ProgressDialog& progress, const NodeMaker& makeNode,
                             unsigned codePage, bool withDates) {
  Collection result;
  try {
    Collector collector(scan, tree, progress, makeNode, codePage, withDates);
    while (!scan.atEnd()) {
      if (!collector.visit()) {
        collector.result().outOfMemory = true;
        break;
      }
      collector.climb();
    }
    result = collector.result();
    result.unreadable += scan.unreadable();
    if (!result.outOfMemory) SortTree(tree.root());
  } catch (const std::bad_alloc&) {
    result.outOfMemory = true;
  }
  ScanCloseAll(scan);
  return result;
}

}  // namespace pelmo

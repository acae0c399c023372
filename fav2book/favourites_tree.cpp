#include "fav2book/favourites_tree.h"

#include <new>
#include <utility>
#include <vector>

#include "util/text.h"

namespace pelmo {

namespace {

// The temporary files that PELMO's own writes leave when a run is killed.
bool IsOwnTemporaryFile(std::string_view name) {
  return name.starts_with(".pelmo-") && name.ends_with(".tmp");
}

bool HasShortcutExtension(std::string_view name) {
  return name.size() >= 4 && CompareNoCase(name.substr(name.size() - 4), ".url") == 0;
}

// What a shortcut file cut short by a crash still begins with.
bool BeginsAsShortcut(std::string_view bytes) {
  constexpr std::string_view kSection = "[InternetShortcut]";
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  return bytes.size() >= kSection.size() &&
         CompareNoCase(bytes.substr(0, kSection.size()), kSection) == 0;
}

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
        text_(codePage),
        withDates_(withDates) {}

  // False when a node could not be made: the walk stops there.
  bool visit() {
    const platform::DirectoryEntry& entry = scan_.entry();
    if (entry.isDirectory()) return visitDirectory();
    if (IsOwnTemporaryFile(entry.name)) {
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
      TreeNodePointer folder = makeNode_(NodeKind::Folder, text_.name(scan_.entry().name), details);
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
    const ShortcutUrl read = ReadShortcutUrl(scan_.level().listing, name, buffer_, text_);
    // Only what could be a shortcut counts as lost: a photo or a note is no bookmark,
    // whatever its size, but a .url file that begins as one and gives no URL was cut.
    const bool couldBeShortcut = HasShortcutExtension(name);
    if (!read.readable && (couldBeShortcut || !read.tooLarge)) ++result_.unreadable;
    if (read.readable && read.url.empty() && couldBeShortcut && BeginsAsShortcut(buffer_.bytes())) {
      ++result_.unreadable;
    }
    if (read.url.empty()) return true;
    NodeDetails details;
    details.url = read.url;
    FavouritesText::Extras extras;
    if (withDates_) {
      extras = text_.extras(buffer_.bytes());
      details.icon = extras.icon;
      details.date = extras.modified != 0 ? extras.modified
                                          : scan_.level().listing.modifiedTime(scan_.entry());
    }
    TreeNodePointer shortcut =
        makeNode_(NodeKind::Shortcut, text_.name(ShortcutName(scan_.entry().name)), details);
    if (shortcut == nullptr) return false;
    tree_.adopt(*placement_.current, std::move(shortcut));
    ui::ProgressSetStatus(progress_, read.url);
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
  FavouritesText text_;
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

ShortcutUrl ReadShortcutUrl(const platform::DirectoryListing& directory, std::string_view fileName,
                            platform::ReadBuffer& buffer, FavouritesText& text, std::size_t limit) {
  const platform::FileReadStatus status = directory.readFile(fileName, limit, buffer);
  ShortcutUrl read;
  read.readable =
      status == platform::FileReadStatus::Read || status == platform::FileReadStatus::NotFile;
  read.tooLarge = status == platform::FileReadStatus::TooLarge;
  if (status == platform::FileReadStatus::Read) read.url = text.url(buffer.bytes());
  return read;
}

std::string_view ShortcutName(std::string_view fileName) {
  if (fileName.size() >= 4 && fileName[fileName.size() - 4] == '.') {
    return fileName.substr(0, fileName.size() - 4);
  }
  return fileName;
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

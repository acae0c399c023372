#include "book2fav/firefox_source.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "book2fav/item_text.h"
#include "platform/database.h"

namespace pelmo {
namespace {

struct Root {
  std::string_view guid;
  std::string_view name;  // as Firefox shows it; empty: its items go at the top level
};

// The menu's items stand at the top, the other roots follow as folders, as in the
// HTML file that Firefox exports.
constexpr std::array<Root, 4> kRoots{{
    {"menu________", ""},
    {"toolbar_____", "Bookmarks Toolbar"},
    {"unfiled_____", "Other Bookmarks"},
    {"mobile______", "Mobile Bookmarks"},
}};

// moz_bookmarks.type
constexpr std::int64_t kLink = 1;
constexpr std::int64_t kFolder = 2;

// Folders and links in the order Firefox shows them; separators are of no use here.
constexpr std::string_view kQuery =
    "SELECT b.id, b.parent, b.type, b.title, b.dateAdded, p.url, b.guid "
    "FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk "
    "WHERE b.type IN (1, 2) ORDER BY b.parent, b.position, b.id";

struct Entry {
  std::int64_t id = 0;
  std::int64_t type = 0;
  std::string title;
  std::string url;
  std::optional<std::int64_t> added;  // seconds since 1970
};

// dateAdded: microseconds since 1970; 0 stands for none.
std::optional<std::int64_t> Seconds(std::int64_t microseconds) {
  if (microseconds <= 0) return std::nullopt;
  return microseconds / 1000000;
}

class FirefoxSource final : public BookmarkSource {
 public:
  explicit FirefoxSource(std::string_view path) : path_(path) {}

  std::optional<std::uint32_t> survey() override {
    if (!platform::Database::available()) {
      failure_ = "this build of PELMO cannot read Firefox's places.sqlite";
      return std::nullopt;
    }
    std::optional<platform::Database> database = platform::Database::openSnapshot(path_, failure_);
    if (!database) return std::nullopt;
    bool read = database->query(
        kQuery, [this](const platform::DatabaseRow& row) { add(row); }, failure_);
    if (!read) return std::nullopt;
    std::uint32_t count = 0;
    for (std::size_t root = 0; root < kRoots.size(); ++root) {
      itemsBelow_[root] = countBelow(kRoots[root]);
      if (itemsBelow_[root] > 0) count += (kRoots[root].name.empty() ? 0 : 1) + itemsBelow_[root];
    }
    return count;
  }

  bool read(BookmarkItemSink& sink, const ui::ProgressDialog& progress) override {
    for (std::size_t index = 0; index < kRoots.size(); ++index) {
      const Root& root = kRoots[index];
      if (itemsBelow_[index] == 0) continue;
      if (!root.name.empty()) ui::ProgressStep(progress);
      TakeRootFolder(sink, root.name, [&](const auto& endOfList) {
        walk(
            rootIds_[root.guid], [&](const Entry& entry) { take(entry, sink, progress); },
            endOfList);
      });
    }
    return true;
  }

  SourceFailure failure() const override { return {failure_}; }

 private:
  void add(const platform::DatabaseRow& row) {
    const std::int64_t parent = row.integer(1);
    Entry entry{row.integer(0), row.integer(2), std::string(row.text(3)), std::string(row.text(5)),
                Seconds(row.integer(4))};
    for (const Root& root : kRoots) {
      if (row.text(6) == root.guid) rootIds_[root.guid] = entry.id;
    }
    children_[parent].push_back(entries_.size());
    entries_.push_back(std::move(entry));
  }

  std::uint32_t countBelow(const Root& root) {
    auto found = rootIds_.find(root.guid);
    if (found == rootIds_.end()) return 0;
    std::uint32_t count = 0;
    walk(
        found->second, [&](const Entry&) { ++count; }, [] {});
    return count;
  }

  // Calls visit for each folder and link below the folder, depth first, and leave
  // behind the last item of each folder below it. Each entry is visited once at most,
  // so a store whose parents form a loop cannot hold the walk; a stack of its own, so
  // that no nesting exhausts the program's.
  template <typename Visit, typename Leave>
  void walk(std::int64_t top, Visit visit, Leave leave) {
    struct Level {
      const std::vector<std::size_t>* children;
      std::size_t next;
    };
    static const std::vector<std::size_t> kNone;
    std::unordered_set<std::int64_t> seen{top};
    auto childrenOf = [this](std::int64_t id) {
      auto found = children_.find(id);
      return found == children_.end() ? &kNone : &found->second;
    };
    std::vector<Level> levels{{childrenOf(top), 0}};
    while (!levels.empty()) {
      Level& level = levels.back();
      if (level.next == level.children->size()) {
        levels.pop_back();
        if (!levels.empty()) leave();
        continue;
      }
      const Entry& entry = entries_[(*level.children)[level.next++]];
      if (!seen.insert(entry.id).second) continue;
      if (entry.type == kLink) {
        visit(entry);
      } else if (entry.type == kFolder) {
        visit(entry);
        levels.push_back({childrenOf(entry.id), 0});
      }
    }
  }

  static void take(const Entry& entry, BookmarkItemSink& sink, const ui::ProgressDialog& progress) {
    ui::ProgressStep(progress);
    const std::string name = NameFromText(entry.title);
    if (entry.type == kFolder) {
      sink.take({ItemKind::FolderHeading, {}, name, entry.added});
    } else {
      const std::string url = UrlFromText(entry.url);
      sink.take({ItemKind::Shortcut, url, name, entry.added});
    }
  }

  const std::string path_;
  std::vector<Entry> entries_;
  std::unordered_map<std::int64_t, std::vector<std::size_t>> children_;  // by parent id
  std::unordered_map<std::string_view, std::int64_t> rootIds_;           // by guid
  std::array<std::uint32_t, kRoots.size()> itemsBelow_{};  // by root, as survey() found them
  std::string failure_;
};

}  // namespace

std::unique_ptr<BookmarkSource> OpenFirefoxSource(std::string_view path) {
  return std::make_unique<FirefoxSource>(path);
}

}  // namespace pelmo

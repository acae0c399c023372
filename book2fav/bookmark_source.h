#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ui/progress.h"
#include "util/bookmark_items.h"

namespace pelmo {

// One item of a bookmark store, in the order of the store: a folder starts (with its
// name), a link (URL, name and the date it was added, where the store keeps one), a
// folder ends.
struct BookmarkItem {
  ItemKind kind = ItemKind::EndOfList;
  std::string_view url;               // a link's URL as its shortcut file holds it, in UTF-8
  std::string_view name;              // the title made into a name, in UTF-8; may be empty
  std::optional<std::int64_t> added;  // seconds since 1970-01-01 UTC
};

// What a source hands its items to.
class BookmarkItemSink {
 public:
  virtual void take(const BookmarkItem& item) = 0;

 protected:
  ~BookmarkItemSink() = default;
};

// Hands over one root of a browser's store as a folder: its heading, then what
// walkItems hands over (it calls the given end of list after each folder of its own),
// then the root's end of list. A root with no name hands its items over at the top.
template <typename WalkItems>
void TakeRootFolder(BookmarkItemSink& sink, std::string_view name, WalkItems walkItems) {
  const auto endOfList = [&] { sink.take({ItemKind::EndOfList, {}, {}, std::nullopt}); };
  if (name.empty()) {
    walkItems(endOfList);
    return;
  }
  sink.take({ItemKind::FolderHeading, {}, name, std::nullopt});
  walkItems(endOfList);
  endOfList();
}

// Why a source could not be read, for the detail line; empty: the system's last error.
struct SourceFailure {
  std::string reason;
};

// A bookmark store that one kind of file holds. A run calls survey once, then read once.
class BookmarkSource {
 public:
  virtual ~BookmarkSource() = default;

  // Looks the store over before any item is handed on: the number of progress steps
  // that read makes, or the failure when the store cannot be read (nothing is written
  // then).
  virtual std::optional<std::uint32_t> survey() = 0;
  // Hands every item to the sink in order, stepping the progress bar as far as it
  // goes; false when reading failed part-way.
  virtual bool read(BookmarkItemSink& sink, const ui::ProgressDialog& progress) = 0;
  // Why survey or read failed.
  virtual SourceFailure failure() const { return {}; }
};

}  // namespace pelmo

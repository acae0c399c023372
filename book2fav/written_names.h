#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/directory.h"

namespace pelmo {

// The longest prefix of name of at most maxBytes bytes that does not end inside a
// UTF-8 multi-byte character.
std::string_view FitName(std::string_view name, std::size_t maxBytes);

// FitName, then without the spaces and dots that the cut may have left at the end, so
// that a name read back from a bookmark file that holds it gives the same name.
std::string_view FitTrimmedName(std::string_view name, std::size_t maxBytes);

inline constexpr std::string_view kShortcutExtension = ".URL";

// The shortcut file names written during one run in the directories on the current
// path, so that two bookmarks of the same title in one directory do not overwrite
// each other. Names compare without regard to ASCII letter case. Only the
// directories on the path are remembered; one that the run enters again (two
// headings of one name) has the names it holds by then counted as used.
class WrittenNames {
 public:
  using NameLister = std::function<std::vector<std::string>()>;

  WrittenNames();

  // Follows the walk into a directory and back out. listNames gives the names a
  // directory holds; it is asked only for a directory entered before in this run.
  void enter(const platform::FileIdentity& directory, const NameLister& listNames);
  void leave();

  // Whether the current directory is one the run had entered before.
  bool reentered() const { return path_.back().owned == nullptr; }

  // A file name for a shortcut of that title in the current directory that is not
  // used yet: "Title.URL", else "Title (2).URL", and so on ("(2).URL" for an empty
  // title), each at most 255 bytes, the title cut by FitTrimmedName. The name counts as used from
  // now on.
  std::string claimShortcutName(std::string_view title);

 private:
  struct Names {
    std::unordered_set<std::string> used;  // folded file names
    // Per folded stem as written (the title cut to fit its number): every lower
    // number is used, so numbering never starts over.
    std::unordered_map<std::string, unsigned> nextNumber;
  };
  struct Level {
    std::unique_ptr<Names> owned;  // null for a directory entered again
    Names* names = nullptr;
  };
  struct IdentityHash {
    std::size_t operator()(const platform::FileIdentity& identity) const;
  };

  std::vector<Level> path_;
  std::unordered_set<platform::FileIdentity, IdentityHash> entered_;
  // Directories entered more than once keep their names for the rest of the run, so
  // that each is listed once however often it is entered.
  std::unordered_map<platform::FileIdentity, Names, IdentityHash> reenteredNames_;
};

}  // namespace pelmo

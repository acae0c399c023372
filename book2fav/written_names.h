#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace pelmo {

// The longest prefix of name of at most maxBytes bytes that does not end inside a
// UTF-8 multi-byte character.
std::string_view FitName(std::string_view name, std::size_t maxBytes);

inline constexpr std::string_view kShortcutExtension = ".URL";

// The shortcut file names written during one run, per directory, so that two
// bookmarks of the same title in one directory do not overwrite each other. Headings
// of the same name at one level lead into one directory and so share its names.
// Names compare without regard to ASCII letter case.
class WrittenNames {
 public:
  WrittenNames();

  // Follows the walk into the subdirectory of that name, and back out.
  void enter(std::string_view directoryName);
  void leave();

  // A file name for a shortcut of that title in the current directory that no
  // shortcut of this run has used yet: "Title.URL", else "Title (2).URL", and so on,
  // each at most 255 bytes. The name counts as used from now on.
  std::string claimShortcutName(std::string_view title);

 private:
  struct Directory {
    std::size_t parent = 0;
    std::unordered_map<std::string, std::size_t> subdirectories;  // folded name to index
    std::unordered_set<std::string> usedNames;                    // folded file names
    std::unordered_map<std::string, unsigned> nextNumber;         // folded title
  };

  // A flat store, so that deep nesting needs no deep recursion to tear down.
  std::vector<Directory> directories_;
  std::size_t current_ = 0;
};

}  // namespace pelmo

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/directory.h"
#include "platform/paths.h"
#include "util/shortcut_format.h"

namespace pelmo {

// The longest prefix of name of at most maxBytes bytes that does not end inside a
// UTF-8 multi-byte character (text::CutUtf8), then without the spaces and dots that the cut may
// have left at the end, so that a name read back from a bookmark file that holds it gives the same
// name.
std::string_view FitTrimmedName(std::string_view name, std::size_t maxBytes);

// The shortcut file names written during one run, so that two bookmarks of the same
// title in one directory do not overwrite each other, while names that were there
// before the run are written over as usual: converting a file again into the same
// folder gives the same names. Names compare as the file system compares them. A
// directory that the run enters again (two headings of one name) keeps the names
// written there earlier; each name costs a few bytes for the rest of the run.
class WrittenNames {
 public:
  explicit WrittenNames(const platform::FileIdentity& top = {});

  // Follows the walk into a directory and back out.
  void enter(const platform::FileIdentity& directory);
  void leave();

  // A file name for a shortcut of that title in the current directory that is not
  // used yet: "Title.URL", else "Title (2).URL", and so on ("(2).URL" for an empty
  // title), each at most maxLength bytes where the title leaves room for the number
  // and the extension, the title cut by FitTrimmedName. The name counts as used from
  // now on.
  std::string claimShortcutName(std::string_view title,
                                std::size_t maxLength = platform::kMaxNameLength);

 private:
  // A set of 64-bit fingerprints in open addressing: eight bytes a slot, no node per
  // entry. A fingerprint is never 0, which marks a free slot.
  class FingerprintSet {
   public:
    bool insert(std::uint64_t fingerprint);  // false when it was there already
    std::size_t size() const { return count_; }

   private:
    void grow();

    std::vector<std::uint64_t> slots_;
    std::size_t count_ = 0;
  };
  struct Level {
    platform::FileIdentity directory;
    // Per folded stem as written (the title cut to fit its number): every lower
    // number is used, so numbering never starts over.
    std::unordered_map<std::string, unsigned> nextNumber;
  };

  std::vector<Level> path_;
  FingerprintSet taken_;  // the directory and folded name of every name claimed
};

}  // namespace pelmo

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fav2book/text_encoding.h"
#include "platform/file.h"
#include "util/bookmark_items.h"

namespace pelmo {

// Where the new list goes in an old bookmark file.
struct MergePlan {
  TextEncoding encoding = TextEncoding::Bytes;  // of the old text, and so of the new
  // The closing tag of the old top-level list was found: the old bytes before
  // keepUntil come first, then the new entries and closing line, then the old bytes
  // from tailFrom on (what followed that list, less its "<p>" and blanks).
  bool listClosed = false;
  std::uint64_t keepUntil = 0;
  std::uint64_t tailFrom = 0;
  // Otherwise all of the old bytes come first, then (in UTF-16, after a zero byte
  // when they end in half a character) this UTF-8 text, which closes what an old file
  // cut short leaves open, then a new list.
  bool halfCharacterAtEnd = false;
  std::string closing;
};

// Reads an old bookmark file, given in pieces of any size, with the reader that
// Bookmarks to Favourites uses, so both directions agree on where its lists are. The
// top-level list ends at the first list end that closes no folder heading; a list end
// in a comment, in an attribute value or in a URL is none. A file that starts with a
// UTF-16 byte-order mark is read as UTF-16.
class MergePlanner {
 public:
  // False once the plan is settled, so the rest of the file need not be read.
  bool feed(std::string_view bytes);
  MergePlan finish();

 private:
  enum class Tail { ClosingTag, Blanks, Paragraph, BlanksAfterParagraph, Settled };

  void project(std::string_view bytes);
  void projectUnit(std::uint32_t unit);
  void readItems();
  void scanTail(std::string_view projected, std::uint64_t base);
  std::uint64_t fileOffset(std::uint64_t unit) const;

  std::string start_;  // the first bytes, until the byte-order mark is decided
  bool started_ = false;
  TextEncoding encoding_ = TextEncoding::Bytes;
  int oddByte_ = -1;  // UTF-16: the first byte of a unit whose second has not come
  bool dropping_ = false;
  std::string projected_;
  std::uint64_t units_ = 0;  // projected so far
  std::uint64_t bytes_ = 0;  // fed so far
  ItemReader reader_;
  std::uint64_t depth_ = 0;
  bool found_ = false;
  std::uint64_t closeAt_ = 0;  // units
  Tail tail_ = Tail::ClosingTag;
  std::uint64_t paragraphAt_ = 0;
  std::size_t paragraphMatched_ = 0;
  std::uint64_t tailFrom_ = 0;  // units
};

// The plan for the old file, read from where it stands to its end; nullopt when a
// read fails.
std::optional<MergePlan> PlanMerge(platform::File& old);

}  // namespace pelmo

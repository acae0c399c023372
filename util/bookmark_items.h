#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelmo {

enum class ItemKind { Shortcut, FolderHeading, EndOfList };

// An item of a bookmark file as the file gives it: character references not decoded,
// character set not converted, a line break in the title kept as '\n'.
struct RawItem {
  ItemKind kind = ItemKind::EndOfList;
  std::string url;      // the HREF value of a shortcut
  std::string title;    // the text behind a shortcut's or heading's tag, up to its end
  std::string addDate;  // the ADD_DATE value of a shortcut; empty when it has none
  // Where the item's tag starts, counted in bytes from the first byte fed: the "<" of
  // the anchor, the heading or the "</DL>" (for the end of a listless folder, of the
  // tag that ended it).
  std::uint64_t offset = 0;
};

// Turns the text of a bookmark file, given in pieces of any size with '\n' for each
// line break, into its items in the order in which they stand: an anchor with an
// HREF is a shortcut, an H3 inside a DT a folder heading, a </DL> the end of a
// folder's list (a heading with no list of its own is followed by its end at once,
// an empty folder). Comments are passed over: nothing inside one is an item. Tags and
// titles may run over any number of lines, and one that is closed is read whole,
// whatever its length. One that is never closed (the text ends first, or a quoted
// value runs over a line into the next item) is taken as far as the carry limit, and
// a comment not closed within it is read as text, so that nothing behind it is lost.
class ItemReader {
 public:
  static constexpr std::size_t kDefaultCarryLimit = std::size_t{1} << 20;

  explicit ItemReader(std::size_t carryLimit = kDefaultCarryLimit) : carryLimit_(carryLimit) {}

  void feed(std::string_view text);
  // The text has ended: what is still open is taken as it stands.
  void finish();

  // The bytes that close what the text fed so far leaves open (a tag, a quoted value,
  // a comment), as a browser would read it; empty when nothing is open.
  std::string closingOfOpenMarkup() const;

  // The items complete so far, oldest first; the caller takes them away.
  std::vector<RawItem>& items() { return items_; }

  // The character set that a META tag before the first item names; empty when none.
  const std::string& declaredCharset() const { return declaredCharset_; }

 private:
  enum class Mode { Text, Tag, Title };
  enum class TagKind { Anchor, Heading, Meta };
  enum class QuoteScan { Closed, NeedsMore, Cut };
  enum class CommentScan { NotComment, Skipped, NeedsMore };

  void run();
  bool stepText();
  bool stepTag();
  bool stepTitle();
  CommentScan scanComment(std::size_t open, std::size_t& end);
  QuoteScan scanQuotedValue(std::string_view window);
  void endTag(std::string_view tag, std::size_t next);
  void endQuoteAtLineEnd();
  void emit(ItemKind kind, std::string url, std::string_view title, std::uint64_t offset,
            std::string addDate = {});
  void closeListlessFolder(std::size_t at);
  void dropConsumed();

  const std::size_t carryLimit_;
  std::string buffer_;
  std::uint64_t dropped_ = 0;  // bytes fed before buffer_[0]
  std::size_t pos_ = 0;        // Text: the next byte to look at
  Mode mode_ = Mode::Text;
  bool ended_ = false;
  bool inTerm_ = false;  // a DT has opened and no item has followed it yet
  bool sawItem_ = false;
  bool headingOpen_ = false;  // the last item was a heading, and its list has not begun

  // Tag: looking for the '>' of the tag that starts at tagStart_.
  TagKind tagKind_ = TagKind::Anchor;
  std::size_t tagStart_ = 0;
  std::size_t scan_ = 0;
  char quote_ = 0;                // the quote of the value being read, 0 outside one
  std::size_t quoteLineEnd_ = 0;  // first line break inside that value, 0 while none
  // Title: looking for the end of the title that starts at titleStart_.
  ItemKind titleKind_ = ItemKind::Shortcut;
  std::string url_;
  std::string addDate_;
  std::uint64_t itemOffset_ = 0;  // of the tag that opened the title
  std::size_t titleStart_ = 0;
  std::size_t titleScan_ = 0;
  // Comment: how far behind its '<' the comment waiting there has been searched.
  std::size_t commentSearched_ = 0;

  std::vector<RawItem> items_;
  std::string declaredCharset_;
};

}  // namespace pelmo

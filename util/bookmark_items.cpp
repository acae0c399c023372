#include "util/bookmark_items.h"

#include <algorithm>
#include <array>
#include <utility>

#include "util/text.h"

namespace pelmo {
namespace {

constexpr std::size_t npos = std::string_view::npos;

bool IsBlank(char byte) {
  return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r' || byte == '\f';
}

bool IsNameByte(char byte) {
  return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
         (byte >= '0' && byte <= '9');
}

enum class TagName { Other, A, H3, Meta, Dt, Dd, Dl, Hr, EndA, EndH3, EndDl, EndDt, EndDd };

struct KnownTag {
  std::string_view text;  // behind '<'
  TagName name;
};

constexpr std::array<KnownTag, 12> kKnownTags{{
    {"A", TagName::A},
    {"H3", TagName::H3},
    {"META", TagName::Meta},
    {"DT", TagName::Dt},
    {"DD", TagName::Dd},
    {"DL", TagName::Dl},
    {"HR", TagName::Hr},
    {"/A", TagName::EndA},
    {"/H3", TagName::EndH3},
    {"/DL", TagName::EndDl},
    {"/DT", TagName::EndDt},
    {"/DD", TagName::EndDd},
}};
constexpr std::size_t kLongestTagName = 4;

struct NameRead {
  bool decided = true;  // false: the text stops inside the name and more may come
  TagName name = TagName::Other;
  std::size_t end = 0;  // behind the name
};

// The name of the tag whose '<' is at text[at].
NameRead ReadTagName(std::string_view text, std::size_t at, bool ended) {
  std::size_t i = at + 1;
  if (i < text.size() && text[i] == '/') ++i;
  const std::size_t first = i;
  while (i < text.size() && IsNameByte(text[i]) && i - first <= kLongestTagName) ++i;
  if (i == text.size() && !ended) return {false, TagName::Other, i};
  if (i == first || i - first > kLongestTagName) return {true, TagName::Other, i};
  std::string_view written = text.substr(at + 1, i - at - 1);
  for (const KnownTag& known : kKnownTags) {
    if (written.size() == known.text.size() && CompareNoCase(written, known.text) == 0) {
      return {true, known.name, i};
    }
  }
  return {true, TagName::Other, i};
}

// Whether a tag of that name ends a title that is open: its own end tag or any tag
// that starts or ends an item or a list.
bool EndsTitle(TagName name) {
  return name != TagName::Other && name != TagName::Meta;
}

// Tags that end an attribute value left open across a line: nobody writes them
// inside a value, and every file has them at the start of its next items.
bool StartsItem(TagName name) {
  return name == TagName::A || name == TagName::Dt || name == TagName::H3 || name == TagName::Dl ||
         name == TagName::EndDl;
}

// A quote opens an attribute value only where the value starts: behind '=' and blanks.
bool StartsValue(std::string_view text, std::size_t from, std::size_t quote) {
  std::size_t i = quote;
  while (i > from && IsBlank(text[i - 1])) --i;
  return i > from && text[i - 1] == '=';
}

std::size_t SkipBlanks(std::string_view text, std::size_t i) {
  while (i < text.size() && IsBlank(text[i])) ++i;
  return i;
}

// Calls visit(name, value) for each attribute of a whole tag, '<' to '>'; an
// attribute without a value has an empty one.
template <typename Visit>
void ForEachAttribute(std::string_view tag, Visit visit) {
  std::size_t i = 1;
  while (i < tag.size() && !IsBlank(tag[i]) && tag[i] != '>' && tag[i] != '/') ++i;
  for (;;) {
    while (i < tag.size() && (IsBlank(tag[i]) || tag[i] == '/')) ++i;
    if (i >= tag.size() || tag[i] == '>') return;
    const std::size_t nameStart = i;
    while (i < tag.size() && !IsBlank(tag[i]) && tag[i] != '=' && tag[i] != '>') ++i;
    std::string_view name = tag.substr(nameStart, i - nameStart);
    std::string_view value;
    std::size_t afterName = SkipBlanks(tag, i);
    if (afterName < tag.size() && tag[afterName] == '=') {
      i = SkipBlanks(tag, afterName + 1);
      if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
        std::size_t close = tag.find(tag[i], i + 1);
        if (close == npos) close = tag.size() - 1;
        value = tag.substr(i + 1, close - i - 1);
        i = close + 1;
      } else {
        const std::size_t valueStart = i;
        while (i < tag.size() && !IsBlank(tag[i]) && tag[i] != '>') ++i;
        value = tag.substr(valueStart, i - valueStart);
      }
    }
    if (i == nameStart) ++i;  // a lone '=' names nothing
    visit(name, value);
  }
}

bool NameIs(std::string_view name, std::string_view expected) {
  return name.size() == expected.size() && CompareNoCase(name, expected) == 0;
}

// The first HREF value of the tag, or nothing; and its first ADD_DATE value.
bool FindHref(std::string_view tag, std::string& href, std::string& addDate) {
  bool found = false;
  bool dated = false;
  addDate.clear();
  ForEachAttribute(tag, [&](std::string_view name, std::string_view value) {
    if (!found && NameIs(name, "HREF")) {
      href.assign(value);
      found = true;
    } else if (!dated && NameIs(name, "ADD_DATE")) {
      addDate.assign(value);
      dated = true;
    }
  });
  return found;
}

// "charset=NAME" inside a CONTENT value, or a CHARSET attribute.
std::string CharsetOfMeta(std::string_view tag) {
  std::string charset;
  ForEachAttribute(tag, [&](std::string_view name, std::string_view value) {
    if (!charset.empty()) return;
    if (NameIs(name, "CHARSET")) {
      charset.assign(value);
    } else if (NameIs(name, "CONTENT")) {
      std::size_t at = FindNoCase(value, "charset=");
      if (at == npos) return;
      value.remove_prefix(at + 8);
      std::size_t end = 0;
      while (end < value.size() && !IsBlank(value[end]) && value[end] != ';') ++end;
      charset.assign(value.substr(0, end));
    }
  });
  return charset;
}

}  // namespace

void ItemReader::feed(std::string_view text) {
  buffer_.append(text);
  run();
}

void ItemReader::finish() {
  ended_ = true;
  run();
  dropped_ += buffer_.size();
  buffer_.clear();
  pos_ = 0;
  mode_ = Mode::Text;
}

void ItemReader::run() {
  for (;;) {
    bool moved = false;
    switch (mode_) {
      case Mode::Text:
        moved = stepText();
        break;
      case Mode::Tag:
        moved = stepTag();
        break;
      case Mode::Title:
        moved = stepTitle();
        break;
    }
    if (!moved) break;
  }
  dropConsumed();
}

bool ItemReader::stepText() {
  std::size_t open = buffer_.find('<', pos_);
  if (open == npos) {
    pos_ = buffer_.size();
    return false;
  }
  pos_ = open;
  std::size_t commentEnd = 0;
  switch (scanComment(open, commentEnd)) {
    case CommentScan::NeedsMore:
      return false;
    case CommentScan::Skipped:
      pos_ = commentEnd;
      return true;
    case CommentScan::NotComment:
      break;
  }
  NameRead tag = ReadTagName(buffer_, open, ended_);
  if (!tag.decided) return false;
  pos_ = tag.end;
  switch (tag.name) {
    case TagName::A:
      tagKind_ = TagKind::Anchor;
      break;
    case TagName::H3:
      if (!inTerm_) return true;
      tagKind_ = TagKind::Heading;
      break;
    case TagName::Meta:
      tagKind_ = TagKind::Meta;
      break;
    case TagName::Dt:
      closeListlessFolder(open);
      inTerm_ = true;
      return true;
    case TagName::EndDl:
      closeListlessFolder(open);
      emit(ItemKind::EndOfList, {}, {}, dropped_ + open);
      return true;
    case TagName::Dl:
      headingOpen_ = false;
      inTerm_ = false;
      return true;
    case TagName::Dd:
      inTerm_ = false;
      return true;
    default:
      return true;
  }
  mode_ = Mode::Tag;
  tagStart_ = open;
  scan_ = tag.end;
  quote_ = 0;
  quoteLineEnd_ = 0;
  return true;
}

bool ItemReader::stepTag() {
  constexpr std::string_view kTagStops = "<>\"'";
  // A tag that is closed is read whole, whatever its length.
  const std::string_view window = buffer_;
  while (scan_ < window.size()) {
    if (quote_ != 0) {
      QuoteScan scanned = scanQuotedValue(window);
      if (scanned == QuoteScan::Cut) return true;
      if (scanned == QuoteScan::NeedsMore) break;
      continue;
    }
    std::size_t stop = window.find_first_of(kTagStops, scan_);
    if (stop == npos) {
      scan_ = window.size();
      break;
    }
    if (window[stop] == '>') {
      endTag(window.substr(tagStart_, stop + 1 - tagStart_), stop + 1);
      return true;
    }
    if (window[stop] == '<') {
      // The tag was never closed; what follows is read afresh.
      mode_ = Mode::Text;
      pos_ = stop;
      return true;
    }
    if (StartsValue(window, tagStart_, stop)) {
      quote_ = window[stop];
      quoteLineEnd_ = 0;
    }
    scan_ = stop + 1;
  }
  if (!ended_) return false;
  if (scan_ < window.size()) return false;  // a tag name to be decided
  if (quote_ != 0) {
    endQuoteAtLineEnd();
  } else {
    // Nothing in the unfinished tag can start a tag of its own outside its values.
    mode_ = Mode::Text;
    pos_ = window.size();
  }
  return true;
}

// Moves scan_ through the open value.
ItemReader::QuoteScan ItemReader::scanQuotedValue(std::string_view window) {
  std::size_t close = window.find(quote_, scan_);
  std::size_t limit = close == npos ? window.size() : close;
  if (quoteLineEnd_ == 0) {
    std::size_t lineEnd = window.find('\n', scan_);
    if (lineEnd < limit) quoteLineEnd_ = lineEnd;
  }
  if (quoteLineEnd_ != 0) {
    // A value that ran over a line and meets the next item was never closed.
    for (std::size_t open = window.find('<', std::max(scan_, quoteLineEnd_)); open < limit;
         open = window.find('<', open + 1)) {
      NameRead tag = ReadTagName(buffer_, open, ended_);
      if (!tag.decided) {
        scan_ = open;
        return QuoteScan::NeedsMore;
      }
      if (StartsItem(tag.name)) {
        endQuoteAtLineEnd();
        return QuoteScan::Cut;
      }
    }
  }
  if (close == npos) {
    scan_ = window.size();
    return QuoteScan::NeedsMore;
  }
  scan_ = close + 1;
  quote_ = 0;
  return QuoteScan::Closed;
}

// The open value ends at its first line break, or where the carry limit cuts it, and
// the tag ends with it.
void ItemReader::endQuoteAtLineEnd() {
  std::size_t end = quoteLineEnd_ != 0 ? quoteLineEnd_ : buffer_.size();
  end = std::min(end, tagStart_ + carryLimit_);
  std::string tag = buffer_.substr(tagStart_, end - tagStart_);
  tag += quote_;
  tag += '>';
  quote_ = 0;
  endTag(tag, end);
}

void ItemReader::endTag(std::string_view tag, std::size_t next) {
  mode_ = Mode::Text;
  pos_ = next;
  itemOffset_ = dropped_ + tagStart_;
  switch (tagKind_) {
    case TagKind::Anchor:
      if (!FindHref(tag, url_, addDate_)) return;
      titleKind_ = ItemKind::Shortcut;
      break;
    case TagKind::Heading:
      url_.clear();
      titleKind_ = ItemKind::FolderHeading;
      break;
    case TagKind::Meta:
      if (!sawItem_ && declaredCharset_.empty()) declaredCharset_ = CharsetOfMeta(tag);
      return;
  }
  mode_ = Mode::Title;
  titleStart_ = next;
  titleScan_ = next;
}

bool ItemReader::stepTitle() {
  // A title that is closed is read whole; one that the text ends in is cut.
  const std::size_t limitEnd = titleStart_ + carryLimit_;
  const std::string_view window = buffer_;
  for (std::size_t open = window.find('<', titleScan_); open != npos;
       open = window.find('<', open + 1)) {
    std::size_t commentEnd = 0;
    const CommentScan comment = scanComment(open, commentEnd);
    if (comment == CommentScan::Skipped) {
      open = commentEnd - 1;
      continue;
    }
    NameRead tag = ReadTagName(buffer_, open, ended_);
    if (comment == CommentScan::NeedsMore || !tag.decided) {
      titleScan_ = open;
      return false;
    }
    if (!EndsTitle(tag.name)) continue;
    emit(titleKind_, std::move(url_), window.substr(titleStart_, open - titleStart_), itemOffset_,
         std::move(addDate_));
    mode_ = Mode::Text;
    // Its own end tag is done with; any other tag is read as what it is.
    bool ownEnd = tag.name == (titleKind_ == ItemKind::Shortcut ? TagName::EndA : TagName::EndH3);
    pos_ = ownEnd ? tag.end : open;
    return true;
  }
  titleScan_ = window.size();
  if (!ended_) return false;
  std::size_t end = std::min(buffer_.size(), limitEnd);
  emit(titleKind_, std::move(url_), window.substr(titleStart_, end - titleStart_), itemOffset_,
       std::move(addDate_));
  mode_ = Mode::Text;
  pos_ = end;
  return true;
}

// A comment that starts at buffer_[open]: end is set behind its "-->". One that is not
// closed within the carry limit, or before the text ends, is no comment: end is set
// behind its "<!--", and what follows is read as usual.
ItemReader::CommentScan ItemReader::scanComment(std::size_t open, std::size_t& end) {
  constexpr std::string_view kOpen = "<!--";
  constexpr std::string_view kClose = "-->";
  const std::string_view rest = std::string_view(buffer_).substr(open);
  if (!kOpen.starts_with(rest.substr(0, kOpen.size()))) return CommentScan::NotComment;
  if (rest.size() < kOpen.size()) {
    return ended_ ? CommentScan::NotComment : CommentScan::NeedsMore;
  }
  const std::string_view window = rest.substr(0, carryLimit_);
  // Searched afresh only from where the last search of this comment stopped.
  const std::size_t from = std::max(kOpen.size(), std::max(commentSearched_, kClose.size()) - 2);
  const std::size_t close = window.find(kClose, from);
  if (close == npos && !ended_ && rest.size() < carryLimit_) {
    commentSearched_ = window.size();
    return CommentScan::NeedsMore;
  }
  commentSearched_ = 0;
  end = open + (close != npos ? close + kClose.size() : kOpen.size());
  return CommentScan::Skipped;
}

std::string ItemReader::closingOfOpenMarkup() const {
  if (mode_ == Mode::Tag) return quote_ != 0 ? std::string{quote_, '>'} : std::string(">");
  // Text and titles wait only at a '<' whose tag or comment has not been decided.
  const std::size_t waiting = mode_ == Mode::Text ? pos_ : titleScan_;
  if (waiting >= buffer_.size() || buffer_[waiting] != '<') return {};
  return std::string_view(buffer_).substr(waiting).starts_with("<!--") ? "-->" : ">";
}

void ItemReader::emit(ItemKind kind, std::string url, std::string_view title, std::uint64_t offset,
                      std::string addDate) {
  items_.push_back({kind, std::move(url), std::string(title), std::move(addDate), offset});
  url_.clear();
  addDate_.clear();
  sawItem_ = true;
  inTerm_ = false;
  headingOpen_ = kind == ItemKind::FolderHeading;
}

// A heading followed by the next item or by the end of the list it stands in, with no
// list of its own, is an empty folder.
void ItemReader::closeListlessFolder(std::size_t at) {
  if (headingOpen_) emit(ItemKind::EndOfList, {}, {}, dropped_ + at);
}

void ItemReader::dropConsumed() {
  std::size_t keep = pos_;
  if (mode_ == Mode::Tag) keep = tagStart_;
  if (mode_ == Mode::Title) keep = titleStart_;
  if (keep == 0) return;
  buffer_.erase(0, keep);
  dropped_ += keep;
  pos_ -= std::min(pos_, keep);
  if (mode_ == Mode::Tag) {
    tagStart_ -= keep;
    scan_ -= keep;
    if (quoteLineEnd_ != 0) quoteLineEnd_ -= keep;
  } else if (mode_ == Mode::Title) {
    titleStart_ -= keep;
    titleScan_ -= keep;
  }
}

}  // namespace pelmo

#include "fav2book/merge_point.h"

#include <algorithm>

namespace pelmo {
namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
// Markup is ASCII; any other unit is text to the reader, and so is what the reader
// of Bookmarks to Favourites leaves out (from a zero to the end of its line).
constexpr char kOtherUnit = '\x80';

bool IsBlank(char byte) {
  return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\f';
}

}  // namespace

// Each unit of the old text (a byte, or a UTF-16 code unit) reaches the reader as one
// byte, so the offsets the reader gives count units of the file.
void MergePlanner::projectUnit(std::uint32_t unit) {
  if (unit == '\r' || unit == '\n') {
    dropping_ = false;
    projected_ += '\n';
    return;
  }
  dropping_ = dropping_ || unit == 0;
  projected_ += !dropping_ && unit < 0x80 ? static_cast<char>(unit) : kOtherUnit;
}

void MergePlanner::project(std::string_view bytes) {
  projected_.clear();
  if (encoding_ == TextEncoding::Bytes) {
    // Bytes above ASCII are text to the reader as they stand; only zero bytes and
    // CR need a look, and most pieces have neither.
    const bool plain = !dropping_ && bytes.find('\0') == std::string_view::npos &&
                       bytes.find('\r') == std::string_view::npos;
    if (plain) {
      projected_.assign(bytes);
    } else {
      for (char byte : bytes) projectUnit(static_cast<unsigned char>(byte));
    }
  } else {
    for (char byte : bytes) {
      const auto value = static_cast<unsigned char>(byte);
      if (oddByte_ < 0) {
        oddByte_ = value;
        continue;
      }
      const auto first = static_cast<std::uint32_t>(oddByte_);
      projectUnit(encoding_ == TextEncoding::Utf16Be ? (first << 8 | value) : (value << 8 | first));
      oddByte_ = -1;
    }
  }
  units_ += projected_.size();
}

std::uint64_t MergePlanner::fileOffset(std::uint64_t unit) const {
  return encoding_ == TextEncoding::Bytes ? unit : 2 * unit;
}

void MergePlanner::readItems() {
  for (const RawItem& item : reader_.items()) {
    if (item.kind == ItemKind::FolderHeading) {
      ++depth_;
    } else if (item.kind == ItemKind::EndOfList) {
      if (depth_ == 0) {
        found_ = true;
        closeAt_ = item.offset;
        break;
      }
      --depth_;
    }
  }
  reader_.items().clear();
}

// Behind the closing tag, its "<p>" and the blanks around it are part of the list's
// end, which the new closing line replaces; the tail starts at the first other byte.
void MergePlanner::scanTail(std::string_view projected, std::uint64_t base) {
  // The reader decides a list end only once its name has ended, and no byte of the
  // name is '>', so the search for the tag's end may start in the piece at hand.
  std::size_t at = closeAt_ > base ? static_cast<std::size_t>(closeAt_ - base) : 0;
  for (; at < projected.size() && tail_ != Tail::Settled; ++at) {
    const char byte = projected[at];
    switch (tail_) {
      case Tail::ClosingTag:
        if (byte == '>') tail_ = Tail::Blanks;
        break;
      case Tail::Blanks:
      case Tail::BlanksAfterParagraph:
        if (IsBlank(byte)) break;
        if (tail_ == Tail::Blanks && byte == '<') {
          tail_ = Tail::Paragraph;
          paragraphAt_ = base + at;
          paragraphMatched_ = 1;
        } else {
          tail_ = Tail::Settled;
          tailFrom_ = base + at;
        }
        break;
      case Tail::Paragraph:
        if (paragraphMatched_ == 1 && (byte == 'p' || byte == 'P')) {
          paragraphMatched_ = 2;
        } else if (paragraphMatched_ == 2 && byte == '>') {
          tail_ = Tail::BlanksAfterParagraph;
        } else {
          tail_ = Tail::Settled;
          tailFrom_ = paragraphAt_;
        }
        break;
      case Tail::Settled:
        break;
    }
  }
}

bool MergePlanner::feed(std::string_view bytes) {
  if (found_ && tail_ == Tail::Settled) return false;
  bytes_ += bytes.size();
  if (!started_) {
    start_.append(bytes);
    if (start_.size() < 2) return true;
    started_ = true;
    if (start_.starts_with("\xFF\xFE")) encoding_ = TextEncoding::Utf16Le;
    if (start_.starts_with("\xFE\xFF")) encoding_ = TextEncoding::Utf16Be;
    bytes = start_;
  }
  const std::uint64_t base = units_;
  project(bytes);
  start_.clear();
  if (!found_) {
    reader_.feed(projected_);
    readItems();
  }
  if (found_) scanTail(projected_, base);
  return !(found_ && tail_ == Tail::Settled);
}

MergePlan MergePlanner::finish() {
  MergePlan plan;
  if (!started_ && !start_.empty()) {
    started_ = true;
    project(std::string(start_));
    reader_.feed(projected_);
    readItems();
  }
  plan.encoding = encoding_;
  if (!found_) {
    plan.closing = reader_.closingOfOpenMarkup();
    reader_.finish();
    readItems();
  }
  // A list end at the very start closes no list.
  if (found_ && closeAt_ > 0) {
    plan.listClosed = true;
    plan.keepUntil = fileOffset(closeAt_);
    // A tail that never settled is blanks to the end, or a "<p" cut short; a last
    // half character of UTF-16 stays.
    std::uint64_t tail = units_;
    if (tail_ == Tail::Settled) tail = tailFrom_;
    if (tail_ == Tail::Paragraph) tail = paragraphAt_;
    plan.tailFrom = fileOffset(tail);
    plan.closing.clear();
  } else {
    plan.halfCharacterAtEnd = encoding_ != TextEncoding::Bytes && bytes_ % 2 != 0;
  }
  return plan;
}

std::optional<MergePlan> PlanMerge(platform::File& old) {
  MergePlanner planner;
  std::string chunk(kReadChunk, '\0');
  for (std::size_t got; (got = old.read(chunk.data(), chunk.size())) > 0;) {
    if (!planner.feed(std::string_view(chunk.data(), got))) break;
  }
  if (old.readFailed()) return std::nullopt;
  return planner.finish();
}

}  // namespace pelmo

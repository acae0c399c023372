#include "book2fav/favourites_walk.h"

#include <string>

#include "book2fav/bookmark_line.h"
#include "platform/paths.h"

namespace pelmo {
void FavouritesWalk::handleLine(std::string_view line) {
  // Everything behind a zero byte is not text.
  line = line.substr(0, line.find('\0'));
  LineMatch match = RecogniseLine(line);
  if (lost_) {
    if (match.kind == LineKind::Shortcut) ++notWritten_;
    return;
  }
  switch (match.kind) {
    case LineKind::Shortcut:
      writeShortcut(line, match.tagPosition);
      break;
    case LineKind::FolderHeading:
      openFolder(line, match.tagPosition);
      break;
    case LineKind::EndOfList:
      closeFolder();
      break;
    case LineKind::Other:
      break;
  }
}

void FavouritesWalk::writeShortcut(std::string_view line, std::size_t tagPosition) {
  if (skippedDepth_ > 0) {
    ++notWritten_;
    return;
  }
  ShortcutUrl url = ExtractUrl(line, tagPosition);
  std::string title = ExtractTitle(line, url.closingQuote, 'A');
  ui::ProgressSetStatus(progress_, url.url);
  if (!writer_.writeShortcut(title, url.url)) ++notWritten_;
}

void FavouritesWalk::openFolder(std::string_view line, std::size_t tagPosition) {
  ++depth_;
  if (skippedDepth_ > 0) {
    ++skippedDepth_;
    return;
  }
  std::string name(FitName(ExtractTitle(line, tagPosition, 'H'), platform::kMaxNameLength));
  if (name.empty() || !writer_.enterFolder(name)) skippedDepth_ = 1;
}

void FavouritesWalk::closeFolder() {
  // Surplus list ends never lead above the Favourites folder.
  if (depth_ == 0) return;
  if (skippedDepth_ > 0) {
    --skippedDepth_;
  } else if (!writer_.leaveFolder()) {
    lost_ = true;
    return;
  }
  --depth_;
}

}  // namespace pelmo

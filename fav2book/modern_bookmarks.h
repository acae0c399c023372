#pragma once

#include <string>
#include <string_view>

#include "fav2book/bookmark_writer.h"
#include "platform/charset.h"

namespace pelmo {

// A name or title as HTML text: "&", "<", ">" and '"' as character references, and
// control characters, which no browser shows, left out.
std::string EscapeModernText(std::string_view text);

// The layout current browsers write when they export: LF line ends, four spaces a
// level, names escaped as HTML, the dates and icons that the tree holds, and the
// Favourites folder's "Links" marked as the browser's toolbar.
class ModernBookmarks final : public BookmarkDialect {
 public:
  ModernBookmarks() : toUtf8_(platform::TextConverter::systemToUtf8()) {}

  std::string header(std::string_view title) const override;
  std::string appendedList(std::string_view title) const override;
  std::string_view mergeMarker() const override;
  void folderOpening(std::string& out, const TreeNode& folder, int depth) const override;
  void shortcut(std::string& out, const TreeNode& shortcut, int depth) const override;
  void listClosing(std::string& out, int depth) const override;

 private:
  // The file says it is UTF-8, whatever the system's names are in.
  std::string text(std::string_view systemText) const;
  std::string url(std::string_view systemUrl) const;

  mutable platform::TextConverter toUtf8_;
};

}  // namespace pelmo

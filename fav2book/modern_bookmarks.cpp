#include "fav2book/modern_bookmarks.h"

#include <algorithm>

#include "fav2book/classic_bookmarks.h"
#include "text/ascii.h"

namespace pelmo {

namespace {

constexpr std::string_view kPreamble =
    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
    "<!-- This is an automatically generated file.\n"
    "     It will be read and overwritten.\n"
    "     DO NOT EDIT! -->\n"
    "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n";
// The folder that browsers put on their toolbar.
constexpr std::string_view kToolbarFolder = "Links";

void Indent(std::string& out, int depth) {
  out.append(4 * static_cast<std::size_t>(std::max(depth, 0)), ' ');
}

void AppendDate(std::string& out, std::string_view attribute, std::int64_t date) {
  if (date == 0) return;
  out += ' ';
  out += attribute;
  out += "=\"";
  out += std::to_string(date);
  out += '"';
}

bool IsControl(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F;
}

}  // namespace

std::string EscapeModernText(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size() + 8);
  for (char byte : text) {
    switch (byte) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        if (!IsControl(static_cast<unsigned char>(byte))) escaped += byte;
    }
  }
  return escaped;
}

std::string ModernBookmarks::text(std::string_view systemText) const {
  return EscapeModernText(toUtf8_.convert(systemText));
}

std::string ModernBookmarks::url(std::string_view systemUrl) const {
  return EscapeUrl(toUtf8_.convertUrl(systemUrl));
}

std::string ModernBookmarks::header(std::string_view title) const {
  return std::string(kPreamble) + appendedList(title);
}

std::string ModernBookmarks::appendedList(std::string_view title) const {
  const std::string escaped = text(platform::CutAtCharacter(title, kTitleLimit));
  return "<TITLE>" + escaped + "</TITLE>\n<H1>" + escaped + "</H1>\n<DL><p>\n";
}

std::string_view ModernBookmarks::mergeMarker() const {
  return "    <HR>\n";
}

void ModernBookmarks::folderOpening(std::string& out, const TreeNode& folder, int depth) const {
  Indent(out, depth);
  out += "<DT><H3";
  AppendDate(out, "ADD_DATE", folder.date);
  AppendDate(out, "LAST_MODIFIED", folder.date);
  if (depth == 1 && text::EqualNoCase(folder.name(), kToolbarFolder)) {
    out += " PERSONAL_TOOLBAR_FOLDER=\"true\"";
  }
  out += '>';
  out += text(folder.name());
  out += "</H3>\n";
  Indent(out, depth);
  out += "<DL><p>\n";
}

void ModernBookmarks::shortcut(std::string& out, const TreeNode& shortcut, int depth) const {
  Indent(out, depth);
  out += "<DT><A HREF=\"";
  out += url(shortcut.url());
  out += '"';
  AppendDate(out, "ADD_DATE", shortcut.date);
  if (!shortcut.icon().empty()) {
    out += " ICON_URI=\"";
    out += url(shortcut.icon());
    out += '"';
  }
  out += '>';
  out += text(shortcut.name());
  out += "</A>\n";
}

void ModernBookmarks::listClosing(std::string& out, int depth) const {
  Indent(out, depth);
  out += "</DL><p>\n";
}

}  // namespace pelmo

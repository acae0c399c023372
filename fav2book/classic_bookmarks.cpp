#include "fav2book/classic_bookmarks.h"

#include <algorithm>

#include "platform/charset.h"

namespace pelmo {

namespace {

void Indent(std::string& out, int depth) {
  out.append(static_cast<std::size_t>(std::max(depth, 0)), '\t');
}

void AppendEscaped(std::string& out, char byte) {
  switch (byte) {
    case '&':
      out += "&&";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    default:
      if (static_cast<unsigned char>(byte) < 0x20) {  // would break the line or the markup
        out += "&#";
        out += std::to_string(static_cast<unsigned char>(byte));
        out += ';';
      } else {
        out += byte;
      }
  }
}

// A title is shown, never read back as a name, so '&' is not doubled; it is written
// "&amp;" only where a browser would take it for the start of a reference.
std::string EscapeTitle(std::string_view title) {
  std::string escaped;
  escaped.reserve(title.size() + 8);
  for (std::size_t at = 0; at < title.size(); ++at) {
    if (title[at] != '&') {
      AppendEscaped(escaped, title[at]);
    } else {
      escaped += StartsReference(title, at) ? "&amp;" : "&";
    }
  }
  return escaped;
}

}  // namespace

std::string EscapeName(std::string_view name) {
  std::string escaped;
  escaped.reserve(name.size() + 8);
  for (char byte : name) AppendEscaped(escaped, byte);
  return escaped;
}

std::string BookmarkHeader(std::string_view title) {
  const std::string escaped = EscapeTitle(platform::CutAtCharacter(title, kTitleLimit));
  std::string header;
  header.reserve(45 + 2 * escaped.size());
  header.append("<TITLE>").append(escaped).append("</TITLE>\r\n\r\n<H1>").append(escaped);
  header.append("</H1>\r\n\r\n\r\n<DL><p>\r\n\r\n");
  return header;
}

void ClassicBookmarks::folderOpening(std::string& out, const TreeNode& folder, int depth) const {
  Indent(out, depth);
  out += "<DT><H3 FOLDED>";
  for (char byte : folder.name()) AppendEscaped(out, byte);
  out += "</H3>\r\n\r\n";
  Indent(out, depth);
  out += "<DL><P>\r\n\r\n";
}

void ClassicBookmarks::shortcut(std::string& out, const TreeNode& shortcut, int depth) const {
  Indent(out, depth);
  out += "<DT><A HREF=\"";
  out += EscapeUrl(shortcut.url());
  out += "\">";
  for (char byte : shortcut.name()) AppendEscaped(out, byte);
  out += "</A>\r\n\r\n";
}

void ClassicBookmarks::listClosing(std::string& out, int depth) const {
  Indent(out, depth);
  out += kListClose;
}

}  // namespace pelmo

#include "fav2book/bookmark_writer.h"

#include <algorithm>
#include <string>

#include "platform/charset.h"

namespace pelmo {

namespace {

class TreeWriter {
 public:
  TreeWriter(platform::ReplacementFile& file, const ui::ProgressDialog& progress,
             TextEncoding encoding)
      : file_(file), progress_(progress), encoding_(encoding) {}

  bool ok() const { return ok_; }

  void indent(int depth) {
    static constexpr std::string_view kTabs = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
    for (auto left = static_cast<std::size_t>(std::max(depth, 0)); left > 0;) {
      const std::size_t piece = std::min(left, kTabs.size());
      put(kTabs.substr(0, piece));
      left -= piece;
    }
  }

  void folderOpening(const TreeNode& folder, int depth) {
    indent(depth);
    put("<DT><H3 FOLDED>");
    put(EscapeName(folder.name()));
    put("</H3>\r\n\r\n");
    indent(depth);
    put("<DL><P>\r\n\r\n");
  }

  void shortcut(const TreeNode& shortcut, int depth) {
    indent(depth);
    put("<DT><A HREF=\"");
    put(EscapeUrl(shortcut.url()));
    put("\">");
    put(EscapeName(shortcut.name()));
    put("</A>\r\n\r\n");
    ui::ProgressStep(progress_);
  }

  void listClosing(int depth) {
    indent(depth);
    put(kListClose);
  }

 private:
  void put(std::string_view bytes) {
    if (!ok_) return;
    ok_ = encoding_ == TextEncoding::Bytes ? file_.write(bytes)
                                           : file_.write(EncodeText(bytes, encoding_));
  }

  platform::ReplacementFile& file_;
  const ui::ProgressDialog& progress_;
  const TextEncoding encoding_;
  bool ok_ = true;
};

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

bool IsAsciiLetter(char byte) {
  return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z');
}

bool IsAsciiAlphanumeric(char byte) {
  return IsAsciiLetter(byte) || (byte >= '0' && byte <= '9');
}

// Whether a reader could take the '&' at url[at] for the start of a character
// reference: "&#", or a name that is not directly followed by '=' (a browser does
// not decode "&name=" inside an attribute, so a query such as "?a=1&b=2" stays).
bool StartsReference(std::string_view url, std::size_t at) {
  std::size_t next = at + 1;
  if (next < url.size() && url[next] == '#') return true;
  if (next >= url.size() || !IsAsciiLetter(url[next])) return false;
  while (next < url.size() && IsAsciiAlphanumeric(url[next])) ++next;
  return next == url.size() || url[next] != '=';
}

}  // namespace

std::string EscapeName(std::string_view name) {
  std::string escaped;
  escaped.reserve(name.size() + 8);
  for (char byte : name) AppendEscaped(escaped, byte);
  return escaped;
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

std::string EscapeUrl(std::string_view url) {
  std::string escaped;
  escaped.reserve(url.size());
  for (std::size_t at = 0; at < url.size(); ++at) {
    if (url[at] == '"') {
      escaped += "&quot;";
    } else if (url[at] == '&' && StartsReference(url, at)) {
      escaped += "&amp;";
    } else {
      escaped += url[at];
    }
  }
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

bool WriteBookmarkTree(platform::ReplacementFile& file, TreeNode& root,
                       const ui::ProgressDialog& progress, TextEncoding encoding) {
  TreeWriter writer(file, progress, encoding);
  int depth = 1;
  TreeNode* folder = &root;
  ListNode* node = root.children.head();
  while (writer.ok()) {
    if (node->next == nullptr) {  // the end of the current folder's list
      --depth;
      writer.listClosing(depth);
      if (depth < 1) break;
      TreeNode* finished = folder;
      folder = finished->returnTo;
      node = finished->link.next;
      ListRemove(&finished->link);
      FreeTreeNode(finished);
      continue;
    }
    TreeNode* entry = AsTreeNode(node);
    if (entry->kind == NodeKind::Folder) {
      writer.folderOpening(*entry, depth);
      ++depth;
      entry->returnTo = folder;
      folder = entry;
      node = entry->children.head();
    } else {
      writer.shortcut(*entry, depth);
      node = node->next;
      ListRemove(&entry->link);
      FreeTreeNode(entry);
    }
  }
  return writer.ok();
}

}  // namespace pelmo

#include "fav2book/bookmark_writer.h"

#include <algorithm>

namespace pelmo {

namespace {

class TreeWriter {
 public:
  TreeWriter(platform::ReplacementFile& file, const ui::ProgressDialog& progress)
      : file_(file), progress_(progress) {}

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
    if (ok_) ok_ = file_.write(bytes);
  }

  platform::ReplacementFile& file_;
  const ui::ProgressDialog& progress_;
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
      out += byte;
  }
}

}  // namespace

std::string EscapeName(std::string_view name) {
  std::string escaped;
  escaped.reserve(name.size() + 8);
  for (char byte : name) AppendEscaped(escaped, byte);
  return escaped;
}

std::string EscapeUrl(std::string_view url) {
  std::string escaped;
  escaped.reserve(url.size());
  for (char byte : url) {
    if (byte == '"') {
      escaped += "%22";
    } else {
      escaped += byte;
    }
  }
  return escaped;
}

std::string BookmarkHeader(std::string_view title) {
  std::string header;
  header.reserve(45 + 2 * title.size());
  header.append("<TITLE>").append(title).append("</TITLE>\r\n\r\n<H1>").append(title);
  header.append("</H1>\r\n\r\n\r\n<DL><p>\r\n\r\n");
  return header;
}

std::size_t FindMergePoint(std::string_view text) {
  const std::size_t found = text.rfind("</DL>");
  return found == std::string_view::npos ? 0 : found;
}

bool WriteBookmarkTree(platform::ReplacementFile& file, TreeNode& root,
                       const ui::ProgressDialog& progress) {
  TreeWriter writer(file, progress);
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

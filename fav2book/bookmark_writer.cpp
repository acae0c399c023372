#include "fav2book/bookmark_writer.h"

#include <vector>

namespace pelmo {

namespace {

class TreeWriter {
 public:
  TreeWriter(platform::ReplacementFile& file, const BookmarkDialect& dialect,
             const ui::ProgressDialog& progress, TextEncoding encoding)
      : file_(file), dialect_(dialect), progress_(progress), encoding_(encoding) {}

  bool ok() const { return ok_; }

  void folderOpening(const TreeNode& folder, int depth) {
    piece_.clear();
    dialect_.folderOpening(piece_, folder, depth);
    put();
  }

  void shortcut(const TreeNode& shortcut, int depth) {
    piece_.clear();
    dialect_.shortcut(piece_, shortcut, depth);
    put();
    ui::ProgressStep(progress_);
  }

  void listClosing(int depth) {
    piece_.clear();
    dialect_.listClosing(piece_, depth);
    put();
  }

 private:
  void put() {
    if (!ok_) return;
    ok_ = encoding_ == TextEncoding::Bytes ? file_.write(piece_)
                                           : file_.write(EncodeText(piece_, encoding_));
  }

  platform::ReplacementFile& file_;
  const BookmarkDialect& dialect_;
  const ui::ProgressDialog& progress_;
  const TextEncoding encoding_;
  std::string piece_;  // kept from one entry to the next, so it allocates rarely
  bool ok_ = true;
};

bool IsAsciiLetter(char byte) {
  return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z');
}

bool IsAsciiAlphanumeric(char byte) {
  return IsAsciiLetter(byte) || (byte >= '0' && byte <= '9');
}

}  // namespace

bool StartsReference(std::string_view text, std::size_t at) {
  std::size_t next = at + 1;
  if (next < text.size() && text[next] == '#') return true;
  if (next >= text.size() || !IsAsciiLetter(text[next])) return false;
  while (next < text.size() && IsAsciiAlphanumeric(text[next])) ++next;
  return next == text.size() || text[next] != '=';
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

bool WriteBookmarkTree(platform::ReplacementFile& file, const TreeNode& root,
                       const BookmarkDialect& dialect, const ui::ProgressDialog& progress,
                       TextEncoding encoding) {
  TreeWriter writer(file, dialect, progress, encoding);
  // For every folder being written, the entry that follows it in its parent's list:
  // the walk's own stack, so the tree is only read.
  std::vector<const ListNode*> resume;
  const ListNode* node = root.children.head();
  while (writer.ok()) {
    const int depth = static_cast<int>(resume.size()) + 1;
    if (node->next == nullptr) {  // the end of the current folder's list
      writer.listClosing(depth - 1);
      if (resume.empty()) break;
      node = resume.back();
      resume.pop_back();
      continue;
    }
    const TreeNode& entry = EntryNode(*node);
    if (entry.kind == NodeKind::Folder) {
      writer.folderOpening(entry, depth);
      resume.push_back(node->next);
      node = entry.children.head();
    } else {
      writer.shortcut(entry, depth);
      node = node->next;
    }
  }
  return writer.ok();
}

}  // namespace pelmo

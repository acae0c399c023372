#include "book2fav/chromium_source.h"

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "book2fav/item_text.h"
#include "platform/file_time.h"

namespace pelmo {
namespace {

// The file is read twice as a stream of JSON events, never held whole: the survey
// keeps an outline (one small record per node, the names of folders), and the read
// hands the items on as they stream past. A folder's children come before its name
// and type in the browser's files, so the outline is what lets a folder's heading go
// before its items. Where a member repeats, the last one counts.

using Json = nlohmann::json;

struct Root {
  std::string_view key;
  std::string_view name;  // as the browser shows it; empty: its items go at the top level
};

// The bar and the mobile bookmarks are folders, the other bookmarks stand at the top,
// as in the HTML file that the browser exports.
constexpr std::array<Root, 3> kRoots{{
    {"bookmark_bar", "Bookmarks bar"},
    {"other", ""},
    {"synced", "Mobile bookmarks"},
}};

constexpr std::string_view kNotBookmarks = "not a Bookmarks file of a Chromium-family browser";

// Microseconds from 1601-01-01 (the Windows epoch) to 1970-01-01.
constexpr std::int64_t kWindowsEpochMicroseconds = platform::kSecondsFrom1601To1970 * 1'000'000;

// "date_added": microseconds since 1601 as a decimal string; 0 stands for none.
std::optional<std::int64_t> DateAdded(std::string_view text) {
  std::int64_t microseconds = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), microseconds);
  if (error != std::errc() || end != text.data() + text.size() ||
      microseconds <= kWindowsEpochMicroseconds) {
    return std::nullopt;
  }
  return (microseconds - kWindowsEpochMicroseconds) / 1000000;
}

// The file's bytes a block at a time, for the parser's input iterator.
class FileBytes {
 public:
  explicit FileBytes(platform::File& file) : file_(file) { fill(); }
  bool empty() const { return next_ == end_; }
  char current() const { return block_[next_]; }
  // False at the end of the file (or when reading failed).
  bool advance() { return ++next_ < end_ || fill(); }

 private:
  bool fill() {
    end_ = file_.read(block_.data(), block_.size());
    next_ = 0;
    return end_ > 0;
  }

  platform::File& file_;
  std::vector<char> block_ = std::vector<char>(64 * 1024);
  std::size_t next_ = 0;
  std::size_t end_ = 0;
};

class ByteIterator {
 public:
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = char;

  ByteIterator() = default;  // the end
  explicit ByteIterator(FileBytes& bytes) : bytes_(bytes.empty() ? nullptr : &bytes) {}

  char operator*() const { return bytes_->current(); }
  ByteIterator& operator++() {
    if (!bytes_->advance()) bytes_ = nullptr;
    return *this;
  }
  ByteIterator operator++(int) {
    ByteIterator before = *this;
    ++*this;
    return before;
  }
  bool operator==(const ByteIterator& other) const { return bytes_ == other.bytes_; }

 private:
  FileBytes* bytes_ = nullptr;
};

// The members of a node that matter, as far as they have been read.
struct NodeText {
  std::string type;
  std::string name;
  std::string url;
  std::string dateAdded;
  std::uint32_t childrenSeen = 0;  // "children" members so far
  std::int64_t lastChildren = -1;  // which of them is the last, if it is an array
};

constexpr std::uint32_t kNone = UINT32_MAX;

// What the walk tells of each node (a root's or a child's object), in the order
// they start: parent is kNone for a root, whose key is kRoots[root]; occurrence is
// which "children" member of the parent holds it.
class NodeVisitor {
 public:
  virtual void nodeStart(std::uint32_t index, std::uint32_t parent, std::uint32_t occurrence,
                         std::uint32_t root) = 0;
  virtual void nodeEnd(std::uint32_t index, const NodeText& text) = 0;
  // A "roots" member starts (a later one replaces what an earlier one gave).
  virtual void rootsStart() {}
  // The last value of a root's key is no object, or "roots" is none.
  virtual void rootMissing(std::uint32_t) {}
  virtual void rootsMissing() {}

 protected:
  ~NodeVisitor() = default;
};

// Follows the parser's events through the document's structure and tells the
// visitor of the nodes; everything else is passed over.
class NodeWalk final : public nlohmann::json_sax<Json> {
 public:
  explicit NodeWalk(NodeVisitor& visitor) : visitor_(visitor) {}

  bool null() override { return scalar(); }
  bool boolean(bool) override { return scalar(); }
  bool number_integer(number_integer_t) override { return scalar(); }
  bool number_unsigned(number_unsigned_t) override { return scalar(); }
  bool number_float(number_float_t, const string_t&) override { return scalar(); }
  bool binary(binary_t&) override { return scalar(); }
  bool string(string_t& value) override { return scalar(&value); }

  bool start_object(std::size_t) override {
    if (frames_.empty()) {
      frames_.push_back({Place::Top});
      return true;
    }
    Frame& frame = frames_.back();
    if (frame.place == Place::Top && frame.pending == kRootsMember) {
      visitor_.rootsStart();
      frames_.push_back({Place::Roots});
    } else if (frame.place == Place::Roots && frame.pending != kOther) {
      startNode(kNone, 0, frame.pending);
    } else if (frame.place == Place::Children) {
      startNode(frame.node, texts_.back().childrenSeen, 0);
    } else {
      noContainerHere();
      frames_.push_back({Place::Skip});
    }
    return true;
  }

  bool end_object() override {
    if (frames_.back().place == Place::Node) {
      visitor_.nodeEnd(frames_.back().node, texts_.back());
      texts_.pop_back();
    }
    frames_.pop_back();
    if (!frames_.empty()) frames_.back().pending = kOther;
    return true;
  }

  bool start_array(std::size_t) override {
    Frame& frame = frames_.back();
    if (frame.place == Place::Node && frame.pending == kChildren) {
      texts_.back().lastChildren = texts_.back().childrenSeen;
      frames_.push_back({Place::Children, frame.node});
    } else {
      noContainerHere();
      frames_.push_back({Place::Skip});
    }
    return true;
  }

  bool end_array() override {
    frames_.pop_back();
    frames_.back().pending = kOther;
    return true;
  }

  bool key(string_t& name) override {
    Frame& frame = frames_.back();
    frame.pending = kOther;
    if (frame.place == Place::Top) {
      if (name == "roots") frame.pending = kRootsMember;
    } else if (frame.place == Place::Roots) {
      for (std::uint32_t root = 0; root < kRoots.size(); ++root) {
        if (name == kRoots[root].key) frame.pending = root;
      }
    } else if (frame.place == Place::Node) {
      if (name == "children") {
        frame.pending = kChildren;
        ++texts_.back().childrenSeen;
      } else if (name == "type") {
        frame.pending = kType;
      } else if (name == "name") {
        frame.pending = kName;
      } else if (name == "url") {
        frame.pending = kUrl;
      } else if (name == "date_added") {
        frame.pending = kDateAdded;
      }
    }
    return true;
  }

  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    return false;
  }

 private:
  enum class Place { Top, Roots, Node, Children, Skip };
  // What the next value of an object is: a root's index in kRoots for the roots
  // object, else one of these.
  static constexpr std::uint32_t kOther = kNone;
  static constexpr std::uint32_t kRootsMember = 100;
  static constexpr std::uint32_t kChildren = 101;
  static constexpr std::uint32_t kType = 102;
  static constexpr std::uint32_t kName = 103;
  static constexpr std::uint32_t kUrl = 104;
  static constexpr std::uint32_t kDateAdded = 105;

  struct Frame {
    Place place;
    std::uint32_t node = kNone;  // for a node and its children
    std::uint32_t pending = kOther;
  };

  void startNode(std::uint32_t parent, std::uint32_t occurrence, std::uint32_t root) {
    const std::uint32_t index = nodes_++;
    visitor_.nodeStart(index, parent, occurrence, parent == kNone ? root : kNone);
    frames_.push_back({Place::Node, index});
    texts_.emplace_back();
  }

  // A value that is no object where one was wanted, or a text member that is not a
  // string (which counts as empty).
  void noContainerHere(const std::string* text = nullptr) {
    Frame& frame = frames_.back();
    if (frame.place == Place::Top && frame.pending == kRootsMember) {
      visitor_.rootsMissing();
    } else if (frame.place == Place::Roots && frame.pending != kOther) {
      visitor_.rootMissing(frame.pending);
    } else if (frame.place == Place::Node) {
      NodeText& node = texts_.back();
      const auto set = [text](std::string& member) {
        member.assign(text ? std::string_view(*text) : std::string_view());
      };
      switch (frame.pending) {
        case kChildren:
          node.lastChildren = -1;
          break;
        case kType:
          set(node.type);
          break;
        case kName:
          set(node.name);
          break;
        case kUrl:
          set(node.url);
          break;
        case kDateAdded:
          set(node.dateAdded);
          break;
        default:
          break;
      }
    }
  }

  bool scalar(const std::string* text = nullptr) {
    noContainerHere(text);
    frames_.back().pending = kOther;
    return true;
  }

  NodeVisitor& visitor_;
  std::vector<Frame> frames_;
  std::vector<NodeText> texts_;  // of the nodes open, innermost last
  std::uint32_t nodes_ = 0;
};

enum class Kind : std::uint8_t { Other, Link, Folder };

Kind KindOf(const NodeText& text) {
  if (text.type == "url") return Kind::Link;
  if (text.type == "folder") return Kind::Folder;
  return Kind::Other;
}

struct OutlineNode {
  std::uint32_t parent;
  std::uint32_t occurrence;
  std::uint32_t root;  // kRoots index for a root, else kNone
  std::uint32_t slot;  // the root node it lies below (itself for a root)
  std::int64_t lastChildren = -1;
  std::uint32_t folder = kNone;  // its name and date, for a folder
  std::uint32_t below = 0;       // for a root: the nodes handed on below it
  Kind kind = Kind::Other;
  bool shown = false;  // handed on when its root is read
};

struct FolderText {
  std::string name;
  std::optional<std::int64_t> added;
};

// The survey's pass: the outline of every node, and which nodes are handed on.
class Outline final : public NodeVisitor {
 public:
  void nodeStart(std::uint32_t index, std::uint32_t parent, std::uint32_t occurrence,
                 std::uint32_t root) override {
    const std::uint32_t slot = parent == kNone ? index : nodes[parent].slot;
    nodes.push_back({parent, occurrence, root, slot});
    if (root != kNone) lastRoot[root] = index;
  }
  void nodeEnd(std::uint32_t index, const NodeText& text) override {
    OutlineNode& node = nodes[index];
    node.kind = KindOf(text);
    node.lastChildren = text.lastChildren;
    if (node.kind == Kind::Folder && node.root == kNone) {
      node.folder = static_cast<std::uint32_t>(folders.size());
      folders.push_back({text.name, DateAdded(text.dateAdded)});
    }
  }
  void rootsStart() override {
    hasRoots = true;
    lastRoot.fill(kNone);
  }
  void rootMissing(std::uint32_t root) override { lastRoot[root] = kNone; }
  void rootsMissing() override { hasRoots = false; }

  // Marks the nodes that are handed on (the last root of each key, and the folders
  // and links in the last list of children of each folder below it) and counts them
  // below each root.
  void mark() {
    for (std::uint32_t root : lastRoot) {
      if (root != kNone) nodes[root].shown = true;
    }
    for (OutlineNode& node : nodes) {
      if (node.parent == kNone) continue;
      const OutlineNode& parent = nodes[node.parent];
      node.shown = parent.shown && (parent.root != kNone || parent.kind == Kind::Folder) &&
                   parent.lastChildren == node.occurrence && node.kind != Kind::Other;
      if (node.shown) ++nodes[node.slot].below;
    }
  }

  std::vector<OutlineNode> nodes;
  std::vector<FolderText> folders;
  std::array<std::uint32_t, kRoots.size()> lastRoot{kNone, kNone, kNone};
  bool hasRoots = false;
};

// The read's pass: hands on the items of the roots asked for, as they stream past.
class Items final : public NodeVisitor {
 public:
  Items(const Outline& outline, const std::vector<std::uint32_t>& roots, BookmarkItemSink& sink,
        const ui::ProgressDialog& progress)
      : outline_(outline), roots_(roots), sink_(sink), progress_(progress) {}

  void nodeStart(std::uint32_t index, std::uint32_t, std::uint32_t, std::uint32_t root) override {
    if (root != kNone) {
      within_ = isAskedFor(index);
      if (!within_ || kRoots[root].name.empty()) return;
      ui::ProgressStep(progress_);
      sink_.take({ItemKind::FolderHeading, {}, kRoots[root].name, std::nullopt});
      return;
    }
    const OutlineNode& node = outline_.nodes[index];
    if (!within_ || !node.shown || node.kind != Kind::Folder) return;
    ui::ProgressStep(progress_);
    const FolderText& folder = outline_.folders[node.folder];
    const std::string name = NameFromText(folder.name);
    sink_.take({ItemKind::FolderHeading, {}, name, folder.added});
  }

  void nodeEnd(std::uint32_t index, const NodeText& text) override {
    const OutlineNode& node = outline_.nodes[index];
    if (!within_ || !node.shown) return;
    if (node.root != kNone) {
      within_ = false;
      if (kRoots[node.root].name.empty()) return;
    }
    if (node.kind == Kind::Link && node.root == kNone) {
      ui::ProgressStep(progress_);
      const std::string name = NameFromText(text.name);
      const std::string url = UrlFromText(text.url);
      sink_.take({ItemKind::Shortcut, url, name, DateAdded(text.dateAdded)});
    } else {
      sink_.take({ItemKind::EndOfList, {}, {}, std::nullopt});
    }
  }

 private:
  bool isAskedFor(std::uint32_t index) const {
    for (std::uint32_t root : roots_) {
      if (root == index) return true;
    }
    return false;
  }

  const Outline& outline_;
  const std::vector<std::uint32_t>& roots_;
  BookmarkItemSink& sink_;
  const ui::ProgressDialog& progress_;
  bool within_ = false;
};

class ChromiumSource final : public BookmarkSource {
 public:
  explicit ChromiumSource(platform::File& file) : file_(file) {}

  std::optional<std::uint32_t> survey() override {
    if (!walkFile(outline_)) return std::nullopt;
    if (!outline_.hasRoots) {
      failure_ = kNotBookmarks;
      return std::nullopt;
    }
    outline_.mark();
    std::uint32_t count = 0;
    for (std::uint32_t root : shownRoots()) {
      const bool folder = !kRoots[outline_.nodes[root].root].name.empty();
      count += (folder ? 1 : 0) + outline_.nodes[root].below;
    }
    return count;
  }

  bool read(BookmarkItemSink& sink, const ui::ProgressDialog& progress) override {
    // The roots go in the browser's order; one pass reads them all when the file
    // has them in that order too, as the browser writes it.
    const std::vector<std::uint32_t> roots = shownRoots();
    bool inFileOrder = true;
    for (std::size_t i = 1; i < roots.size(); ++i) inFileOrder &= roots[i - 1] < roots[i];
    if (inFileOrder) return readRoots(roots, sink, progress);
    for (std::uint32_t root : roots) {
      if (!readRoots({root}, sink, progress)) return false;
    }
    return true;
  }

  SourceFailure failure() const override { return {failure_}; }

 private:
  // The roots that hold anything, in the browser's order.
  std::vector<std::uint32_t> shownRoots() const {
    std::vector<std::uint32_t> roots;
    for (std::uint32_t root : outline_.lastRoot) {
      if (root != kNone && outline_.nodes[root].below > 0) roots.push_back(root);
    }
    return roots;
  }

  bool readRoots(const std::vector<std::uint32_t>& roots, BookmarkItemSink& sink,
                 const ui::ProgressDialog& progress) {
    if (!file_.rewind()) return false;
    Items items(outline_, roots, sink, progress);
    return walkFile(items);
  }

  // One pass over the whole file; false with the reason when it is no JSON or
  // could not be read.
  bool walkFile(NodeVisitor& visitor) {
    FileBytes bytes(file_);
    NodeWalk walk(visitor);
    if (Json::sax_parse(ByteIterator(bytes), ByteIterator(), &walk)) return true;
    failure_ = file_.readFailed() ? std::string() : std::string(kNotBookmarks);
    return false;
  }

  platform::File& file_;
  Outline outline_;
  std::string failure_;
};

}  // namespace

std::unique_ptr<BookmarkSource> OpenChromiumSource(platform::File& file) {
  return std::make_unique<ChromiumSource>(file);
}

}  // namespace pelmo

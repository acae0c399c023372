#include "book2fav/chromium_source.h"

#include <rapidjson/reader.h>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "book2fav/item_text.h"
#include "platform/file_time.h"
#include "text/utf8.h"

namespace pelmo {
namespace {

// The file is read once as a stream of JSON events, never held whole: the survey
// keeps an outline (one small record per node, and the texts of folders and links),
// from which the read hands the items on. A folder's children come before its name
// and type in the browser's files, so the outline is what lets a folder's heading go
// before its items. Where a member repeats, the last one counts.

// Iterative, so that deep nesting takes no stack; strings checked to be UTF-8, as
// JSON's are; numbers passed over as text, so that none is too large.
constexpr unsigned kParseFlags = rapidjson::kParseIterativeFlag |
                                 rapidjson::kParseValidateEncodingFlag |
                                 rapidjson::kParseNumbersAsStringsFlag;

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

// The file's blocks, 64 KiB at a time, each followed by a zero byte.
class FileBlocks {
 public:
  explicit FileBlocks(platform::File& file) : file_(file) {}

  // The next block, empty at the end of the file (or when reading failed).
  std::string_view next() {
    before_ += size_;
    size_ = file_.read(block_.data(), block_.size() - 1);
    block_[size_] = '\0';
    return {block_.data(), size_};
  }
  // Bytes of the blocks before the current one.
  std::size_t before() const { return before_; }

 private:
  platform::File& file_;
  std::vector<char> block_ = std::vector<char>(64 * 1024 + 1);
  std::size_t before_ = 0;
  std::size_t size_ = 0;
};

// The parser's input stream over the file's blocks: cheap to copy, so the parser
// keeps it in registers. A zero byte stands for the end there, so a parse that ends
// early is told by atEnd().
class FileStream {
 public:
  using Ch = char;

  explicit FileStream(FileBlocks& blocks) : blocks_(&blocks) {
    start(blocks.next());
    if (std::string_view(next_, end_).starts_with(text::kUtf8ByteOrderMark)) {
      next_ += text::kUtf8ByteOrderMark.size();
    }
  }

  Ch Peek() const { return *next_; }
  Ch Take() {
    const Ch byte = *next_;
    if (end_ - next_ > 1) {
      ++next_;
    } else if (next_ != end_) {
      start(blocks_->next());
    }
    return byte;
  }
  std::size_t Tell() const { return blocks_->before() + static_cast<std::size_t>(next_ - begin_); }
  // Every byte of the file was taken (true too when reading failed).
  bool atEnd() const { return next_ == end_; }

  // The parser copies what it keeps, so it never writes to the stream.
  Ch* PutBegin() { return nullptr; }
  void Put(Ch) {}
  void Flush() {}
  std::size_t PutEnd(Ch*) { return 0; }

 private:
  void start(std::string_view block) {
    begin_ = next_ = block.data();
    end_ = block.data() + block.size();
  }

  FileBlocks* blocks_;
  const char* begin_ = nullptr;
  const char* next_ = nullptr;
  const char* end_ = nullptr;  // where the zero byte is
};

}  // namespace
}  // namespace pelmo

template <>
struct rapidjson::StreamTraits<pelmo::FileStream> {
  enum { copyOptimization = 1 };
};

namespace pelmo {
namespace {

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

enum class Kind : std::uint8_t { Other, Link, Folder };

Kind KindOf(const NodeText& text) {
  if (text.type == "url") return Kind::Link;
  if (text.type == "folder") return Kind::Folder;
  return Kind::Other;
}

struct OutlineNode {
  std::uint32_t parent;
  std::uint32_t occurrence;
  std::uint32_t root;     // kRoots index for a root, else kNone
  std::uint32_t slot;     // the root node it lies below (itself for a root)
  std::uint32_t end = 0;  // one past the last node inside it
  std::int64_t lastChildren = -1;
  std::uint32_t kept = kNone;  // its texts, for a folder or link below a root
  std::uint32_t below = 0;     // for a root: the nodes handed on below it
  Kind kind = Kind::Other;
  bool shown = false;  // handed on when its root is read
};

// A folder's or link's texts as the file gives them, in Outline::textBytes.
struct KeptText {
  std::size_t name;
  std::size_t url;
  std::size_t end;
  std::optional<std::int64_t> added;
};

// The file's one pass: the outline of every node, with the texts of the folders and
// links, and which nodes are handed on.
class Outline final {
 public:
  // The walk tells of each node (a root's or a child's object) in the order they
  // start: parent is kNone for a root, whose key is kRoots[root]; occurrence is which
  // "children" member of the parent holds it.
  void nodeStart(std::uint32_t index, std::uint32_t parent, std::uint32_t occurrence,
                 std::uint32_t root) {
    const std::uint32_t slot = parent == kNone ? index : nodes[parent].slot;
    nodes.push_back({parent, occurrence, root, slot});
    if (root != kNone) lastRoot[root] = index;
  }
  void nodeEnd(std::uint32_t index, const NodeText& text) {
    OutlineNode& node = nodes[index];
    node.end = static_cast<std::uint32_t>(nodes.size());
    node.kind = KindOf(text);
    node.lastChildren = text.lastChildren;
    if (node.kind != Kind::Other && node.root == kNone) {
      node.kept = static_cast<std::uint32_t>(texts.size());
      const std::size_t name = textBytes.size();
      textBytes += text.name;
      const std::size_t url = textBytes.size();
      if (node.kind == Kind::Link) textBytes += text.url;
      texts.push_back({name, url, textBytes.size(), DateAdded(text.dateAdded)});
    }
  }
  // A "roots" member starts (a later one replaces what an earlier one gave).
  void rootsStart() {
    hasRoots = true;
    lastRoot.fill(kNone);
  }
  // The last value of a root's key is no object, or "roots" is none.
  void rootMissing(std::uint32_t root) { lastRoot[root] = kNone; }
  void rootsMissing() { hasRoots = false; }

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

  std::string_view name(const KeptText& text) const {
    return std::string_view(textBytes).substr(text.name, text.url - text.name);
  }
  std::string_view url(const KeptText& text) const {
    return std::string_view(textBytes).substr(text.url, text.end - text.url);
  }

  std::vector<OutlineNode> nodes;
  std::vector<KeptText> texts;
  std::string textBytes;
  std::array<std::uint32_t, kRoots.size()> lastRoot{kNone, kNone, kNone};
  bool hasRoots = false;
};

// Follows the parser's events through the document's structure and tells the
// outline of the nodes; everything else is passed over.
class NodeWalk final {
 public:
  explicit NodeWalk(Outline& outline) : outline_(outline) {}

  // The parser's events; numbers come as their text.
  bool Null() { return scalar(); }
  bool Bool(bool) { return scalar(); }
  bool Int(int) { return scalar(); }
  bool Uint(unsigned) { return scalar(); }
  bool Int64(std::int64_t) { return scalar(); }
  bool Uint64(std::uint64_t) { return scalar(); }
  bool Double(double) { return scalar(); }
  bool RawNumber(const char*, rapidjson::SizeType, bool) { return scalar(); }
  bool String(const char* text, rapidjson::SizeType length, bool) {
    const std::string_view value(text, length);
    return scalar(&value);
  }
  bool StartObject() {
    if (frames_.empty()) {
      frames_.push_back({Place::Top});
      return true;
    }
    Frame& frame = frames_.back();
    if (frame.place == Place::Top && frame.pending == kRootsMember) {
      outline_.rootsStart();
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

  bool EndObject(rapidjson::SizeType) {
    if (frames_.back().place == Place::Node) {
      outline_.nodeEnd(frames_.back().node, texts_.back());
      texts_.pop_back();
    }
    frames_.pop_back();
    if (!frames_.empty()) frames_.back().pending = kOther;
    return true;
  }

  bool StartArray() {
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

  bool EndArray(rapidjson::SizeType) {
    frames_.pop_back();
    frames_.back().pending = kOther;
    return true;
  }

  bool Key(const char* text, rapidjson::SizeType length, bool) {
    const std::string_view name(text, length);
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
    outline_.nodeStart(index, parent, occurrence, parent == kNone ? root : kNone);
    frames_.push_back({Place::Node, index});
    texts_.emplace_back();
  }

  // A value that is no object where one was wanted, or a text member that is not a
  // string (which counts as empty).
  void noContainerHere(const std::string_view* text = nullptr) {
    Frame& frame = frames_.back();
    if (frame.place == Place::Top && frame.pending == kRootsMember) {
      outline_.rootsMissing();
    } else if (frame.place == Place::Roots && frame.pending != kOther) {
      outline_.rootMissing(frame.pending);
    } else if (frame.place == Place::Node) {
      NodeText& node = texts_.back();
      const auto set = [text](std::string& member) {
        member.assign(text ? *text : std::string_view());
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

  bool scalar(const std::string_view* text = nullptr) {
    noContainerHere(text);
    frames_.back().pending = kOther;
    return true;
  }

  Outline& outline_;
  std::vector<Frame> frames_;
  std::vector<NodeText> texts_;  // of the nodes open, innermost last
  std::uint32_t nodes_ = 0;
};

class ChromiumSource final : public BookmarkSource {
 public:
  explicit ChromiumSource(platform::File& file) : file_(file) {}

  std::optional<std::uint32_t> survey() override {
    if (!walkFile()) return std::nullopt;
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

  // The roots go in the browser's order, whatever the file's.
  bool read(BookmarkItemSink& sink, const ui::ProgressDialog& progress) override {
    for (std::uint32_t root : shownRoots()) {
      const std::string_view name = kRoots[outline_.nodes[root].root].name;
      if (!name.empty()) ui::ProgressStep(progress);
      TakeRootFolder(sink, name, [&](const auto& endOfList) {
        takeItemsBelow(root, sink, progress, endOfList);
      });
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

  // The nodes below a root lie right after it, each folder before what it holds.
  template <typename EndOfList>
  void takeItemsBelow(std::uint32_t root, BookmarkItemSink& sink,
                      const ui::ProgressDialog& progress, const EndOfList& endOfList) {
    std::vector<std::uint32_t> open{root};  // the folders the next item may lie in
    for (std::uint32_t index = root + 1; index < outline_.nodes[root].end; ++index) {
      const OutlineNode& node = outline_.nodes[index];
      if (!node.shown) continue;
      for (; open.back() != node.parent; open.pop_back()) endOfList();
      ui::ProgressStep(progress);
      const KeptText& text = outline_.texts[node.kept];
      const std::string name = NameFromText(outline_.name(text));
      if (node.kind == Kind::Folder) {
        sink.take({ItemKind::FolderHeading, {}, name, text.added});
        open.push_back(index);
      } else {
        const std::string url = UrlFromText(outline_.url(text));
        sink.take({ItemKind::Shortcut, url, name, text.added});
      }
    }
    for (; open.size() > 1; open.pop_back()) endOfList();
  }

  // The one pass over the whole file; false with the reason when it is no JSON or
  // could not be read.
  bool walkFile() {
    FileBlocks blocks(file_);
    FileStream bytes(blocks);
    NodeWalk walk(outline_);
    rapidjson::Reader reader;
    if (reader.Parse<kParseFlags>(bytes, walk) && bytes.atEnd()) return true;
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

#include "book2fav/chromium_source.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "book2fav/item_text.h"
#include "platform/file_time.h"

namespace pelmo {
namespace {

using Json = nlohmann::json;

struct Root {
  std::string_view key;
  std::string_view name;  // as the browser shows it
};

constexpr std::array<Root, 3> kRoots{{
    {"bookmark_bar", "Bookmarks bar"},
    {"other", "Other bookmarks"},
    {"synced", "Mobile bookmarks"},
}};

// Microseconds from 1601-01-01 (the Windows epoch) to 1970-01-01.
constexpr std::int64_t kWindowsEpochMicroseconds = platform::kSecondsFrom1601To1970 * 1'000'000;

const Json* Member(const Json& object, std::string_view key) {
  if (!object.is_object()) return nullptr;
  auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

std::string_view StringMember(const Json& object, std::string_view key) {
  const Json* value = Member(object, key);
  return value && value->is_string() ? std::string_view(value->get_ref<const std::string&>())
                                     : std::string_view();
}

bool IsFolder(const Json& node) {
  return StringMember(node, "type") == "folder";
}

bool IsLink(const Json& node) {
  return StringMember(node, "type") == "url";
}

const Json* Children(const Json& node) {
  const Json* children = Member(node, "children");
  return children && children->is_array() ? children : nullptr;
}

// "date_added": microseconds since 1601 as a decimal string; 0 stands for none.
std::optional<std::int64_t> DateAdded(const Json& node) {
  std::string_view text = StringMember(node, "date_added");
  std::int64_t microseconds = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), microseconds);
  if (error != std::errc() || end != text.data() + text.size() ||
      microseconds <= kWindowsEpochMicroseconds) {
    return std::nullopt;
  }
  return (microseconds - kWindowsEpochMicroseconds) / 1000000;
}

// Calls visit(node) for each folder and link below the folder, depth first in the
// order the browser shows them, and leave() behind the last item of each folder
// below it. A stack of its own, so that no nesting exhausts the program's.
template <typename Visit, typename Leave>
void WalkTree(const Json& top, Visit visit, Leave leave) {
  struct Level {
    const Json* children;
    std::size_t next;
  };
  std::vector<Level> levels;
  if (const Json* children = Children(top)) levels.push_back({children, 0});
  while (!levels.empty()) {
    Level& level = levels.back();
    if (level.next == level.children->size()) {
      levels.pop_back();
      if (!levels.empty()) leave();
      continue;
    }
    const Json& node = (*level.children)[level.next++];
    if (IsLink(node)) {
      visit(node);
    } else if (IsFolder(node)) {
      visit(node);
      const Json* children = Children(node);
      if (children) {
        levels.push_back({children, 0});
      } else {
        leave();
      }
    }
  }
}

std::uint32_t CountItems(const Json& folder) {
  std::uint32_t count = 0;
  WalkTree(
      folder, [&](const Json&) { ++count; }, [] {});
  return count;
}

class ChromiumSource final : public BookmarkSource {
 public:
  explicit ChromiumSource(platform::File& file) : file_(file) {}

  std::optional<std::uint32_t> survey() override {
    std::string text;
    char block[64 * 1024];
    while (std::size_t got = file_.read(block, sizeof block)) text.append(block, got);
    if (file_.readFailed()) return std::nullopt;
    document_ = Json::parse(text, nullptr, false);
    const Json* roots = Member(document_, "roots");
    if (document_.is_discarded() || !roots || !roots->is_object()) {
      failure_ = "not a Bookmarks file of a Chromium-family browser";
      return std::nullopt;
    }
    std::uint32_t count = 0;
    for (const Root& root : kRoots) {
      if (const Json* node = Member(*roots, root.key); node && CountItems(*node) > 0) {
        count += 1 + CountItems(*node);
      }
    }
    return count;
  }

  bool read(BookmarkItemSink& sink, const ui::ProgressDialog& progress) override {
    const Json& roots = *Member(document_, "roots");
    for (const Root& root : kRoots) {
      const Json* node = Member(roots, root.key);
      if (!node || CountItems(*node) == 0) continue;
      ui::ProgressStep(progress);
      TakeRootFolder(sink, root.name, [&](const auto& endOfList) {
        WalkTree(
            *node, [&](const Json& item) { take(item, sink, progress); }, endOfList);
      });
    }
    return true;
  }

  SourceFailure failure() const override { return {failure_}; }

 private:
  static void take(const Json& item, BookmarkItemSink& sink, const ui::ProgressDialog& progress) {
    ui::ProgressStep(progress);
    const std::string name = NameFromText(StringMember(item, "name"));
    if (IsFolder(item)) {
      sink.take({ItemKind::FolderHeading, {}, name, DateAdded(item)});
    } else {
      const std::string url = UrlFromText(StringMember(item, "url"));
      sink.take({ItemKind::Shortcut, url, name, DateAdded(item)});
    }
  }

  platform::File& file_;
  Json document_;
  std::string failure_;
};

}  // namespace

std::unique_ptr<BookmarkSource> OpenChromiumSource(platform::File& file) {
  return std::make_unique<ChromiumSource>(file);
}

}  // namespace pelmo

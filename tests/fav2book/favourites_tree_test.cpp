#include "fav2book/favourites_tree.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "favourites_fixture.h"
#include "platform/directory.h"
#include "support/child_process.h"

namespace pelmo {
namespace {

using testing::TempDir;
using testing::WriteFile;
using testing::WriteShortcut;

// The tree as text: "name{...}" for a folder, "name=url" for a shortcut, ";" after each.
std::string Dump(const TreeNode& folder) {
  std::string text;
  for (const ListNode* node = folder.children.head(); node->next != nullptr; node = node->next) {
    const TreeNode* entry = &EntryNode(*node);
    text += entry->name();
    // Appended piece by piece: "{" + string trips a false -Wrestrict in GCC 12.
    if (entry->kind == NodeKind::Folder) {
      text += '{';
      text += Dump(*entry);
      text += '}';
    } else {
      text += '=';
      text += entry->url();
    }
    text += ';';
  }
  return text;
}

struct Collected {
  std::uint32_t count = 0;
  std::string tree;
  std::uint32_t unreadable = 0;
  bool outOfMemory = false;
};

Collected Collect(const TempDir& dir, const NodeMaker& makeNode = MakeTreeNode) {
  FavouritesTree tree;
  std::optional<ScanChain> scan = ScanOpen(dir / "*.*");
  if (!scan) return {};
  ui::ProgressDialog none;
  const Collection collection = CollectFavourites(*scan, tree, none, makeNode);
  return {collection.collected, Dump(tree.root()), collection.unreadable, collection.outOfMemory};
}

// The text in UTF-16 with its byte-order mark.
std::string Utf16(std::u16string_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

TEST(ReadShortcut, ReadsWholeUrlsUpToTheBound) {
  TempDir dir;
  const std::string longUrl = "http://example.com/" + std::string(1000, 'x');
  const std::string text =
      "[InternetShortcut]\r\nURL=" + longUrl + "\r\nIconFile=C:\\i.ico\r\nIconIndex=1\r\n";
  WriteFile(dir / "s.url", text);
  const std::string farUrl = "http://far/";
  WriteFile(dir / "big.url", std::string(100000, '\n') + "[InternetShortcut]\nURL=" + farUrl);
  WriteFile(dir / "nul.url", std::string("[InternetShortcut]\nURL=\0http://hidden/\n", 38));
  std::filesystem::create_directory(dir / "folder.url");
  std::filesystem::create_symlink("/proc/self/mem", dir / "error.url");  // fails to read
  // The exact URL in the Unicode section, the ANSI one in windows-1251.
  const std::string cyrillic = "http://\xD1\x82\xD0\xB5\xD0\xBF\xD0\xBB\xD0\xBE.\xD1\x80\xD1\x84/";
  WriteFile(dir / "w.url",
            "[InternetShortcut]\r\nURL=http://\xF2\xE5\xEF\xEB\xEE.\xF0\xF4/\r\n"
            "[InternetShortcut.W]\r\nURL=http://+BEIENQQ/BDsEPg-.+BEAERA-/\r\n");
  // A tool wrote UTF-8 as the ANSI value; the Unicode section reads it in windows-1252.
  WriteFile(dir / "utf8.url",
            "[InternetShortcut]\nURL=http://caf\xC3\xA9/\n[InternetShortcut.W]\nURL=http://"
            "caf+AMMAqQ-/\n");
  WriteFile(dir / "badw.url",
            "[InternetShortcut]\nURL=http://a/\n[InternetShortcut.W]\nURL=http://+2D3-/\n");
  WriteFile(dir / "ansi.url", "[InternetShortcut]\nURL=http://\xF2\xE5/\xE9\n");
  WriteFile(dir / "lacking.url", "[InternetShortcut]\nURL=http://a/\x81\xE9\n");
  WriteFile(dir / "utf16le.url", Utf16(u"[InternetShortcut]\r\nURL=h:/\u0442\r\n", false));
  WriteFile(dir / "utf16be.url", Utf16(u"[InternetShortcut]\nURL=h:/\U0001F600", true));
  const struct {
    const char* file;
    std::size_t limit;
    bool readable;
    std::string url;
    unsigned codePage = 0;
  } cases[] = {
      {"s.url", kShortcutFileLimit, true, longUrl},
      {"big.url", kShortcutFileLimit, true, farUrl},
      {"s.url", text.size(), true, longUrl},  // after a larger file, in the same buffer
      {"s.url", text.size() - 1, false, ""},
      {"big.url", 100000, false, ""},
      {"nul.url", kShortcutFileLimit, true, ""},
      {"missing.url", kShortcutFileLimit, true, ""},
      {"folder.url", kShortcutFileLimit, true, ""},
      {"error.url", kShortcutFileLimit, false, ""},
      {"w.url", kShortcutFileLimit, true, cyrillic},
      {"utf8.url", kShortcutFileLimit, true, "http://caf\xC3\xA9/"},
      {"badw.url", kShortcutFileLimit, true, "http://a/"},  // a lone surrogate: not taken
      {"ansi.url", kShortcutFileLimit, true, "http://\xC3\xB2\xC3\xA5/\xC3\xA9"},
      {"ansi.url", kShortcutFileLimit, true, "http://\xD1\x82\xD0\xB5/\xD0\xB9", 1251},
      {"lacking.url", kShortcutFileLimit, true, "http://a/%81\xC3\xA9"},  // not in windows-1252
      {"utf16le.url", kShortcutFileLimit, true, "h:/\xD1\x82"},
      {"utf16be.url", kShortcutFileLimit, true, "h:/\xF0\x9F\x98\x80"},
  };
  std::optional<platform::DirectoryListing> listing = platform::DirectoryListing::open(dir.str());
  ASSERT_TRUE(listing);
  platform::ReadBuffer buffer;
  for (const auto& c : cases) {
    ShortcutReader reader(c.codePage);
    const ShortcutRead read = ReadShortcut(*listing, c.file, buffer, reader, c.limit);
    EXPECT_EQ(read.readable, c.readable) << c.file << " " << c.limit;
    EXPECT_EQ(read.shortcut.url, c.url) << c.file << " " << c.limit;
  }
}

TEST(CollectFavourites, KeepsEveryShortcutInItsOwnFolder) {
  // Empty folders and folders without shortcuts among files, at several depths:
  // whatever order the system lists them in, each entry lands where it lives. Only
  // "." and ".." are passed over, not other names of dots.
  TempDir dir;
  for (const char* folder : {"a/e1", "a/e2", "a/b/c/e3", "a/b/d", "z/e4", "e5", "...", "..a"}) {
    std::filesystem::create_directories(dir.path() / folder);
  }
  for (const char* file : {"1.url", "a/2.url", "a/b/3.url", "a/b/c/4.url", "z/5.url", "6.url",
                           ".../7.url", "..a/8.url"}) {
    WriteShortcut(dir.path() / file, std::string("u") + file[std::string(file).size() - 5]);
  }
  // Shortcuts are known by their content, whatever the file is called.
  WriteShortcut(dir.path() / "a" / "Notes.txt", "http://notes/");
  WriteShortcut(dir.path() / "a" / "abc", "http://abc/");
  WriteFile(dir.path() / "a" / "Blank.url", "[InternetShortcut]\r\nURL=\r\n");
  WriteFile(dir.path() / "a" / "Other.url", "[Other]\r\nURL=http://other/\r\n");
  Collected got = Collect(dir);
  EXPECT_EQ(got.count, 10u);
  EXPECT_EQ(
      got.tree,
      "...{7=u7;};..a{8=u8;};1=u1;6=u6;a{2=u2;abc=http://abc/;b{3=u3;c{4=u4;e3{};};d{};};e1{};e2{};"
      "Notes=http://notes/;};e5{};z{5=u5;e4{};};");
}

TEST(CollectFavourites, SortsCaseInsensitivelyWithEqualNamesInListingOrder) {
  TempDir dir;
  for (const char* name : {"b.url", "A.url", "^x.url", "C.url", "a.htm", "news.url"}) {
    WriteShortcut(dir.path() / name, "u");
  }
  std::filesystem::create_directories(dir.path() / "News");
  // A and a compare equal, as do News and news: they keep the order listed.
  std::vector<std::string> listed;
  auto listing = platform::DirectoryListing::open(dir.str());
  ASSERT_TRUE(listing.has_value());
  for (platform::DirectoryEntry entry; listing->next(entry);) listed.push_back(entry.name);
  auto before = [&](const char* first, const char* second) {
    return std::find(listed.begin(), listed.end(), first) <
           std::find(listed.begin(), listed.end(), second);
  };
  const std::string as = before("A.url", "a.htm") ? "A=u;a=u;" : "a=u;A=u;";
  const std::string news = before("News", "news.url") ? "News{};news=u;" : "news=u;News{};";
  EXPECT_EQ(Collect(dir).tree, as + "b=u;C=u;" + news + "^x=u;");
}

TEST(CollectFavourites, ANodeThatCannotBeMadeStopsTheCollection) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "Outer" / "Broken" / "Inner");
  WriteShortcut(dir.path() / "Outer" / "Broken" / "x.url", "x");
  WriteShortcut(dir.path() / "Outer" / "Broken" / "Inner" / "y.url", "y");
  for (const char* name : {"a.url", "m.url", "z.url"}) {
    WriteShortcut(dir.path() / "Outer" / name, name);
  }
  WriteShortcut(dir.path() / "top.url", "top");
  for (const char* refused : {"Broken", "y", "top"}) {
    for (bool throws : {false, true}) {
      auto refuse = [&](NodeKind kind, std::string_view name, const NodeDetails& details) {
        if (name != refused) return MakeTreeNode(kind, name, details);
        if (throws) throw std::bad_alloc();
        return TreeNodePointer();
      };
      EXPECT_TRUE(Collect(dir, refuse).outOfMemory) << refused << throws;
    }
  }
  EXPECT_FALSE(Collect(dir).outOfMemory);
}

TEST(CollectFavourites, ADirectoryThatCannotBeEnteredStaysAnEmptyFolder) {
  // Links back to a directory being walked, one and two levels up, and a second way
  // into one directory: each is walked once, where the listing first reaches it.
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "A");
  std::filesystem::create_directory_symlink(dir.path(), dir.path() / "A" / "loop");
  std::filesystem::create_directory_symlink(dir.path() / "A", dir.path() / "A" / "self");
  std::filesystem::create_directory_symlink(dir.path() / "A", dir.path() / "sideways");
  for (const char* name : {"a.url", "m.url", "z.url"}) WriteShortcut(dir.path() / "A" / name, "u");
  WriteShortcut(dir.path() / "top.url", "t");
  const std::string a = "{a=u;loop{};m=u;self{};z=u;};";
  std::vector<std::string> listed;
  auto listing = platform::DirectoryListing::open(dir.str());
  ASSERT_TRUE(listing.has_value());
  for (platform::DirectoryEntry entry; listing->next(entry);) listed.push_back(entry.name);
  const bool aFirst = std::find(listed.begin(), listed.end(), "A") <
                      std::find(listed.begin(), listed.end(), "sideways");
  const std::string first = aFirst ? "A" + a : "A{};";
  const std::string second = aFirst ? "sideways{};" : "sideways" + a;
  Collected got = Collect(dir);
  EXPECT_EQ(got.tree, first + second + "top=t;");
  EXPECT_EQ(got.count, 4u);
  EXPECT_EQ(got.unreadable, 0u);

  // What cannot be read is counted; what is nothing to read (a pipe, a dangling
  // link) is not, and never stalls the walk.
  std::filesystem::create_directories(dir.path() / "B" / "Locked");
  for (const char* name : {"a.url", "m.url", "z.url"}) WriteShortcut(dir.path() / "B" / name, "u");
  WriteShortcut(dir.path() / "B" / "Locked" / "hidden.url", "h");
  WriteShortcut(dir.path() / "B" / "secret.url", "s");
  WriteShortcut(dir.path() / "B" / "huge.url", std::string(kShortcutFileLimit, 'h'));
  // A .url file that begins as a shortcut and gives no URL was cut; other files that
  // are no shortcut are no loss, whatever their size, nor are PELMO's temporary files.
  WriteFile(dir.path() / "B" / "cut.url", "[InternetShortcut]\r\nUR");
  WriteFile(dir.path() / "B" / "Cut2.URL", "\xEF\xBB\xBF[internetshortcut]\r\nURL=\r\n");
  WriteFile(dir.path() / "B" / "empty.url", "");
  WriteFile(dir.path() / "B" / "notes.url", "no shortcut");
  WriteFile(dir.path() / "B" / "photo.jpg", std::string(3 * 1024 * 1024, 'j'));
  WriteShortcut(dir.path() / "B" / ".pelmo-abcdefghij.tmp", "http://half-written/");
  ASSERT_EQ(::mkfifo((dir / "B/pipe.url").c_str(), 0600), 0);
  std::filesystem::create_symlink(dir.path() / "nowhere", dir.path() / "B" / "gone.url");
  ASSERT_EQ(::chmod((dir / "B/Locked").c_str(), 0), 0);
  ASSERT_EQ(::chmod((dir / "B/secret.url").c_str(), 0), 0);
  const std::string expected = first + "B{a=u;Locked{};m=u;z=u;};" + second + "top=t;";
  auto run = [&] {
    if (!testing::BecomePlainUserIfRoot(dir.path())) return 2;
    got = Collect(dir);
    return got.tree == expected && got.unreadable == 5 ? 0 : 1;
  };
  EXPECT_EQ(testing::RunInChild(run), 0);
}

}  // namespace
}  // namespace pelmo

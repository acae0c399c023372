#include "fav2book/favourites_tree.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
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
std::string Dump(TreeNode& folder) {
  std::string text;
  for (ListNode* node = folder.children.head(); node->next != nullptr; node = node->next) {
    TreeNode* entry = AsTreeNode(node);
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
};

Collected Collect(const TempDir& dir, const NodeMaker& makeNode = MakeTreeNode) {
  FavouritesTree tree;
  FolderScan* top = ScanOpen(dir / "*.*");
  if (top == nullptr) return {};
  ui::ProgressDialog none;
  Collected result;
  result.count = CollectFavourites(top, tree.root(), none, makeNode);
  result.tree = Dump(tree.root());
  return result;
}

TEST(ShortcutName, DropsADotAndThreeCharactersAtTheEnd) {
  const struct {
    const char* file;
    const char* name;
  } cases[] = {{"Page.htm", "Page"}, {"Index.html", "Index.html"}, {"a.b", "a.b"},
               {".url", ""},         {"x.y.zzz", "x.y"},           {"...", "..."}};
  for (const auto& c : cases) EXPECT_EQ(ShortcutName(c.file), c.name) << c.file;
}

TEST(ReadShortcutUrl, ReadsWholeUrlsFromRegularFilesOnly) {
  TempDir dir;
  const std::string longUrl = "http://example.com/" + std::string(1000, 'x');
  WriteFile(dir / "s.url",
            "[InternetShortcut]\r\nURL=" + longUrl + "\r\nIconFile=C:\\i.ico\r\nIconIndex=1\r\n");
  EXPECT_EQ(ReadShortcutUrl(dir / "s.url"), longUrl);
  EXPECT_EQ(ReadShortcutUrl(dir / "missing.url"), "");
  EXPECT_EQ(ReadShortcutUrl(dir.str()), "");
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

TEST(CollectFavourites, AFolderThatCannotBeMadeGivesItsEntriesToTheEnclosingFolder) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "Outer" / "Broken" / "Inner");
  WriteShortcut(dir.path() / "Outer" / "Broken" / "x.url", "x");
  WriteShortcut(dir.path() / "Outer" / "Broken" / "Inner" / "y.url", "y");
  for (const char* name : {"a.url", "m.url", "z.url"}) {
    WriteShortcut(dir.path() / "Outer" / name, name);
  }
  WriteShortcut(dir.path() / "top.url", "top");
  auto refuseBroken = [](NodeKind kind, std::string_view name, std::string_view url) {
    return name == "Broken" ? nullptr : MakeTreeNode(kind, name, url);
  };
  Collected got = Collect(dir, refuseBroken);
  EXPECT_EQ(got.count, 6u);
  EXPECT_EQ(got.tree, "Outer{a=a.url;Inner{y=y;};m=m.url;x=x;z=z.url;};top=top;");
}

TEST(CollectFavourites, ADirectoryThatCannotBeEnteredStaysAnEmptyFolder) {
  // Links back to a directory being walked, one and two levels up; a link elsewhere
  // is walked like a directory.
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "A");
  std::filesystem::create_directory_symlink(dir.path(), dir.path() / "A" / "loop");
  std::filesystem::create_directory_symlink(dir.path() / "A", dir.path() / "A" / "self");
  std::filesystem::create_directory_symlink(dir.path() / "A", dir.path() / "sideways");
  for (const char* name : {"a.url", "m.url", "z.url"}) WriteShortcut(dir.path() / "A" / name, "u");
  WriteShortcut(dir.path() / "top.url", "t");
  const std::string a = "{a=u;loop{};m=u;self{};z=u;};";
  EXPECT_EQ(Collect(dir).tree, "A" + a + "sideways" + a + "top=t;");

  std::filesystem::create_directories(dir.path() / "B" / "Locked");
  for (const char* name : {"a.url", "m.url", "z.url"}) WriteShortcut(dir.path() / "B" / name, "u");
  WriteShortcut(dir.path() / "B" / "Locked" / "hidden.url", "h");
  ASSERT_EQ(::chmod((dir / "B/Locked").c_str(), 0), 0);
  const std::string expected = "A" + a + "B{a=u;Locked{};m=u;z=u;};sideways" + a + "top=t;";
  auto run = [&] {
    if (!testing::BecomePlainUserIfRoot(dir.path())) return 2;
    return Collect(dir).tree == expected ? 0 : 1;
  };
  EXPECT_EQ(testing::RunInChild(run), 0);
}

}  // namespace
}  // namespace pelmo

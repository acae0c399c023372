#include <gtest/gtest.h>

#include <filesystem>

#include "conversion_test_support.h"
#include "platform/charset_detection.h"

namespace pelmo::testing {
namespace {

const std::filesystem::path kFixtures = PELMO_BOOK2FAV_FIXTURES;

struct ExportCase {
  const char* fixture;
  Tree tree;
};

TEST_F(ConversionTest, BrowserExportsConvertWithNothingLost) {
  const ExportCase cases[] = {
      {"firefox.html",
       {{"Browser Help/", ""},
        {"Browser Help/Get Help.URL", Shortcut("https://support.example.org/products/browser")},
        {"Browser Help/Customize & Extend.URL",
         Shortcut("https://addons.example.org/list?type=theme&sort=rating")},
        {"Bookmarks Toolbar/", ""},
        {"Bookmarks Toolbar/Example Domain.URL", Shortcut("https://www.example.com/")},
        {"Bookmarks Toolbar/Suche a b.URL", Shortcut("https://search.example.com/?q=a%20b&hl=de")},
        {"Other Bookmarks/", ""},
        {"Other Bookmarks/Release 15 notes.URL",
         Shortcut("https://blog.example.net/2023/05/post.html")},
        {"Other Bookmarks/Caf\xC3\xA9 Menu.URL", Shortcut("https://caf\xC3\xA9.example.fr/menu")}}},
      {"chrome.html",
       {{"Bookmarks bar/", ""},
        {"Bookmarks bar/Talk C++ & Rust.URL",
         Shortcut("https://video.example.com/watch?v=abc&t=42s")},
        {"Bookmarks bar/Work/", ""},
        {"Bookmarks bar/Work/Sprint board.URL", Shortcut("https://tracker.example.com/board/12")},
        {"Bookmarks bar/Work/Sprint board (2).URL",
         Shortcut("https://tracker.example.com/board/13")},
        {"Bookmarks bar/Empty folder/", ""},
        {"Other bookmarks/", ""},
        {"Other bookmarks/It's news.URL", Shortcut("https://news.example.org/")}}},
      {"edge.html",
       {{"Favorites bar/", ""},
        {"Favorites bar/Portal  Start.URL",
         Shortcut("https://portal.example.com/start?form=MX01&ocid=edge")},
        {"Favorites bar/Office \xE2\x80\x93 Home.URL", Shortcut("https://office.example.com/")},
        {"Travel/", ""},
        {"Travel/Flights ZRH  LIS.URL",
         Shortcut("https://flights.example.com/search?from=ZRH&to=LIS")}}},
      {"safari.html",
       {{"Favorites/", ""},
        {"Favorites/Example University.URL", Shortcut("https://www.example.edu/")},
        {"Favorites/Maps.URL", Shortcut("https://maps.example.com/?ll=47.37,8.54&z=14")},
        {"Bookmarks Menu/", ""},
        {"Reading List/", ""},
        {"Reading List/A long story.URL", Shortcut("https://longreads.example.com/story/1")}}},
      {"netscape.html",
       {{"Personal Toolbar Folder/", ""},
        {"Personal Toolbar Folder/Home Page.URL", Shortcut("http://home.example.com/")},
        {"Personal Toolbar Folder/R&D Search.URL",
         Shortcut("http://www.example.com/cgi-bin/search?q=x&y=1")},
        {"FTP Archive.URL", Shortcut("ftp://ftp.example.com/pub/")}}},
      {"icab.html",
       {{"Lesson one.URL", Shortcut("http://lessons.example.com/one/")},
        {"Podcasts/", ""},
        {"Podcasts/Early Hour.URL", Shortcut("http://audio.example.org/early")},
        {"Podcasts/Late Hour.URL", Shortcut("http://audio.example.org/late/")},
        {"Towns/", ""},
        {"Towns/Northtown/", ""},
        {"Towns/Southtown/", ""},
        {"Towns/Town Stage.URL", Shortcut("http://stage.example.com/")},
        {"Bistro Caf\xC3\xA9 \xE2\x80\xA2 Carte.URL", Shortcut("http://bistro.example.fr/")}}},
      {"netscape4-latin1.html",
       {{"Zubeh\xC3\xB6r/", ""},
        {"Zubeh\xC3\xB6r/\xE2\x80\x9CParts\xE2\x80\x9D \xC2\xA9 1999\xE2\x84\xA2.URL",
         Shortcut("http://parts.example.de/")},
        {"Zubeh\xC3\xB6r/blankexamplede.URL", Shortcut("http://blank.example.de/")}}},
      {"ie11-bom.html",
       {{"Links/", ""},
        {"Links/Start \xE2\x80\x93 Page.URL", Shortcut("https://www.example.com/")},
        {"Docs.URL", Shortcut("https://docs.example.com/a?b=c&d=e")}}},
      {"scuttle.html",
       {{"Glossary.URL", Shortcut("http://glossary.example.eu/?q=list&lang=en")},
        {"Words - ENFR (& IT).URL", Shortcut("http://words.example.net/find")}}},
      {"semanticscuttle.html", {{"Vinyl Notes.URL", Shortcut("http://vinyl.example.com")}}},
      {"delicious-shaarli.html",
       {{"A snippet.URL", Shortcut("https://snippets.example.com/42")},
        {"Reading Lists--Notes on Their Use.URL", Shortcut("http://papers.example.org/paper.pdf")},
        {"untitledexampleorg.URL", Shortcut("http://untitled.example.org/")},
        {"Thumbnail.URL", Shortcut("http://thumbs.example.org/?x1")}}},
  };
  for (const ExportCase& c : cases) {
    Reset();
    ConversionSettings settings = Settings();
    settings.bookmarkFile = (kFixtures / c.fixture).string();
    EXPECT_TRUE(ConvertBookmarksToFavourites(settings, backend)) << c.fixture;
    EXPECT_EQ(Favourites(), c.tree) << c.fixture;
    EXPECT_TRUE(backend.messages.empty()) << c.fixture;
    EXPECT_TRUE(InFavourites()) << c.fixture;
  }
}

// An export that names no character set and is not UTF-8: the detector finds GBK.
TEST_F(ConversionTest, AnUndeclaredGbkExportGivesItsChineseTitles) {
  if (!platform::CharsetDetector::available()) GTEST_SKIP() << "built without a detector";
  ConversionSettings settings = Settings();
  settings.bookmarkFile = (kFixtures / "ie-gbk.html").string();
  EXPECT_TRUE(ConvertBookmarksToFavourites(settings, backend));
  const std::string bar = "\xE6\x94\xB6\xE8\x97\x8F\xE5\xA4\xB9\xE6\xA0\x8F/";
  const std::string study = "\xE5\xAD\xA6\xE4\xB9\xA0\xE8\xB5\x84\xE6\x96\x99/";
  EXPECT_EQ(
      Favourites(),
      (Tree{{bar, ""},
            {bar + "\xE6\x96\xB0\xE9\x97\xBB\xE4\xB8\xAD\xE5\xBF\x83 - "
                   "\xE4\xBB\x8A\xE6\x97\xA5\xE8\xA6\x81\xE9\x97\xBB.URL",
             Shortcut("http://news.example.cn/")},
            {bar + "\xE5\x9C\xB0\xE5\x9B\xBE\xE6\x90\x9C\xE7\xB4\xA2.URL",
             Shortcut("http://map.example.cn/")},
            {study, ""},
            {study + "\xE7\xBD\x91\xE4\xB8\x8A\xE5\xA4\xA7\xE5\xAD\xA6\xE8\xAF\xBE\xE7\xA8\x8B"
                     "\xE8\xA1\xA8.URL",
             Shortcut("http://edu.example.cn/course")},
            {study + "\xE8\x80\x83\xE8\xAF\x95\xE6\x88\x90\xE7\xBB\xA9\xE6\x9F\xA5\xE8\xAF\xA2"
                     "\xE7\xB3\xBB\xE7\xBB\x9F.URL",
             Shortcut("http://edu.example.cn/exam")},
            {"\xE7\x94\xB5\xE5\xAD\x90\xE9\x82\xAE\xE4\xBB\xB6\xE7\x99\xBB\xE5\xBD\x95.URL",
             Shortcut("http://mail.example.cn/")},
            {"\xE6\xB8\xB8\xE6\x88\x8F\xE4\xB8\xAD\xE5\xBF\x83.URL",
             Shortcut("http://game.example.cn/")}}));
  // Cyrillic in windows-1251 is found too.
  Reset();
  ASSERT_TRUE(
      Convert("<DT><A HREF=\"u\">\xCC\xEE\xF1\xEA\xE2\xE0 \xED\xEE\xE2\xEE\xF1\xF2\xE8</A>\n"));
  EXPECT_EQ(Favourites(), (Tree{{"\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0 "
                                 "\xD0\xBD\xD0\xBE\xD0\xB2\xD0\xBE\xD1\x81\xD1\x82\xD0\xB8.URL",
                                 Shortcut("u")}}));
  // A code page the user names wins over the detector's guess.
  Reset();
  settings.codePage = 1252;
  EXPECT_TRUE(ConvertBookmarksToFavourites(settings, backend));
  EXPECT_EQ(
      Favourites().count("\xC3\x93\xC3\x8E\xC3\x8F\xC2\xB7\xC3\x96\xC3\x90\xC3\x90\xC3\x84.URL"),
      1u);
}

TEST_F(ConversionTest, ExampleFileConvertsEveryBookmark) {
  ConversionSettings settings = Settings();
  settings.bookmarkFile = PELMO_EXAMPLE_BOOKMARKS;
  ASSERT_TRUE(ConvertBookmarksToFavourites(settings, backend));
  int shortcuts = 0;
  for (const auto& [path, bytes] : Favourites()) shortcuts += path.ends_with(".URL") ? 1 : 0;
  EXPECT_EQ(shortcuts, 25);
  EXPECT_EQ(ReadFile(favourites() + "/Bookmarks Toolbar/Development/Q&A for new developers.URL"),
            Shortcut("https://wiki.example.dev/Q%26A"));
}

}  // namespace
}  // namespace pelmo::testing

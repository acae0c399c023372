#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "conversion_test_support.h"
#include "support/firefox_places_schema.h"

namespace pelmo::testing {
namespace {

namespace fs = std::filesystem;

using Times = std::map<std::string, std::int64_t>;  // seconds since 1970, by path

std::int64_t ModificationTime(const fs::path& path) {
  const auto time = std::chrono::file_clock::to_sys(fs::last_write_time(path));
  return std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count();
}

// The modification time of each shortcut file below the folder.
Times ShortcutTimes(const fs::path& folder) {
  Times times;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.path().extension() == ".URL") {
      times[fs::relative(entry.path(), folder).string()] = ModificationTime(entry.path());
    }
  }
  return times;
}

// Chromium's "date_added": microseconds since 1601, as a decimal string.
std::string ChromiumDate(std::int64_t secondsSince1970) {
  return std::to_string((secondsSince1970 + 11644473600) * 1000000);
}

// A Chromium node as the browser writes it: members in alphabetical order, so a
// folder's children come before its name and type.
std::string Link(std::string_view name, std::string_view url, std::int64_t added) {
  return R"({"date_added": ")" + ChromiumDate(added) +
         R"(", "guid": "g", "id": "1", "meta_info": {"name": "not this"}, "name": ")" +
         std::string(name) + R"(", "type": "url", "url": ")" + std::string(url) + "\"}";
}
std::string Folder(std::string_view name, const std::vector<std::string>& children) {
  std::string json = R"({"children": [)";
  for (std::size_t i = 0; i < children.size(); ++i) json += (i ? ", " : "") + children[i];
  return json + R"(], "date_added": "13000000000000000", "name": ")" + std::string(name) +
         R"(", "type": "folder"})";
}
std::string ChromiumFile(std::string_view bar, std::string_view other, std::string_view synced) {
  return "{\n  \"checksum\": \"0\",\n  \"roots\": {\n    \"bookmark_bar\": " + std::string(bar) +
         ",\n    \"other\": " + std::string(other) + ",\n    \"synced\": " + std::string(synced) +
         "\n  },\n  \"version\": 1\n}\n";
}

// Builds a places.sqlite in Firefox's table layout: the roots with their guids, then
// the rows given (links of type 1 with a URL, folders 2, separators 3).
struct PlacesRow {
  int id;
  int type;
  int parent;
  int position;
  std::string title;
  std::string url;     // for links
  std::int64_t added;  // microseconds since 1970
};

void WritePlaces(const fs::path& path, const std::vector<PlacesRow>& rows) {
  fs::remove(path);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  std::string sql = kFirefoxPlacesSchema;
  for (const PlacesRow& row : rows) {
    const std::string id = std::to_string(row.id);
    std::string fk = "NULL";
    if (!row.url.empty()) {
      sql += "INSERT INTO moz_places (id, url, guid) VALUES (" + id + ", '" + row.url + "', 'p" +
             id + "');";
      fk = id;
    }
    sql +=
        "INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, dateAdded, guid) "
        "VALUES (" +
        id + ", " + std::to_string(row.type) + ", " + fk + ", " + std::to_string(row.parent) +
        ", " + std::to_string(row.position) + ", '" + row.title + "', " +
        std::to_string(row.added) + ", 'b" + id + "');";
  }
  // A keyword for a link lives outside the tree and adds nothing.
  sql += "INSERT INTO moz_keywords (keyword, place_id) VALUES ('kw', 10);";
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
      << (error ? error : "");
  sqlite3_free(error);
  sqlite3_close(db);
}

constexpr std::int64_t kMicro = 1000000;

// The menu holds a link, a separator and a nested folder, its rows out of order; the
// toolbar, unfiled and mobile a link each; tags a tag folder for the menu's link.
const std::vector<PlacesRow> kPlaces = {
    {12, 1, 11, 0, "Deep", "https://deep.example/", 1600000400 * kMicro},
    {10, 1, 2, 2, "Menu last", "https://menu.example/last", 1600000200 * kMicro},
    {8, 3, 2, 1, "", "", 1},
    {7, 1, 2, 0, "Menu first", "https://menu.example/", 1600000100 * kMicro},
    {9, 2, 2, 3, "Menu folder", "", 1600000300 * kMicro},
    {11, 2, 9, 0, "Deeper", "", 1600000300 * kMicro},
    {13, 2, 9, 1, "Empty", "", 1},
    {14, 1, 3, 0, "Toolbar link", "https://toolbar.example/", 1600000500 * kMicro},
    {15, 2, 4, 0, "tagged", "", 1},
    {16, 1, 15, 0, "", "https://menu.example/", 1},
    {17, 1, 6, 0, "Phone", "https://phone.example/", 1600000700 * kMicro},
    {18, 1, 5, 0, "Unfiled", "https://unfiled.example/", 1600000600 * kMicro},
};

const Tree kPlacesTree = {
    {"Menu first.URL", Shortcut("https://menu.example/")},
    {"Menu last.URL", Shortcut("https://menu.example/last")},
    {"Menu folder/", ""},
    {"Menu folder/Deeper/", ""},
    {"Menu folder/Deeper/Deep.URL", Shortcut("https://deep.example/")},
    {"Menu folder/Empty/", ""},
    {"Bookmarks Toolbar/", ""},
    {"Bookmarks Toolbar/Toolbar link.URL", Shortcut("https://toolbar.example/")},
    {"Other Bookmarks/", ""},
    {"Other Bookmarks/Unfiled.URL", Shortcut("https://unfiled.example/")},
    {"Mobile Bookmarks/", ""},
    {"Mobile Bookmarks/Phone.URL", Shortcut("https://phone.example/")},
};

TEST_F(ConversionTest, ChromiumBookmarksGiveTheBarAsAFolderTheOtherBookmarksAtTheTopAndTheirDates) {
  const std::string json = ChromiumFile(
      Folder("Bookmarks bar",
             {Link("Bar link", "https://bar.example/", 1600000000),
              Folder("Work", {Link("Nested", "https://work.example/a?b&c", 1600000100),
                              Folder("Deeper", {Link("Deep", "https://deep.example/", 1600000200)}),
                              Folder("Empty", {})}),
              R"({"name": "odd", "type": "separator", "children": [)" +
                  Link("Hidden", "https://hidden.example/", 1) + "]}",
              Link("Bar last", "https://bar.example/last", 1600000300)}),
      Folder("Other bookmarks", {Link("Other & more", "https://other.example/", 1600000400)}),
      Folder("Mobile bookmarks", {}));
  // A byte-order mark before the object is allowed.
  ASSERT_TRUE(Convert("\xEF\xBB\xBF" + json));
  EXPECT_EQ(Favourites(),
            (Tree{{"Bookmarks bar/", ""},
                  {"Bookmarks bar/Bar link.URL", Shortcut("https://bar.example/")},
                  {"Bookmarks bar/Work/", ""},
                  {"Bookmarks bar/Work/Nested.URL", Shortcut("https://work.example/a?b&c")},
                  {"Bookmarks bar/Work/Deeper/", ""},
                  {"Bookmarks bar/Work/Deeper/Deep.URL", Shortcut("https://deep.example/")},
                  {"Bookmarks bar/Work/Empty/", ""},
                  {"Bookmarks bar/Bar last.URL", Shortcut("https://bar.example/last")},
                  {"Other & more.URL", Shortcut("https://other.example/")}}));
  EXPECT_EQ(ShortcutTimes(favourites()), (Times{{"Bookmarks bar/Bar link.URL", 1600000000},
                                                {"Bookmarks bar/Work/Nested.URL", 1600000100},
                                                {"Bookmarks bar/Work/Deeper/Deep.URL", 1600000200},
                                                {"Bookmarks bar/Bar last.URL", 1600000300},
                                                {"Other & more.URL", 1600000400}}));
  // One step per root folder that holds anything (the other bookmarks, at the top,
  // are none) and per folder and link in it.
  EXPECT_EQ(backend.progressLog[2], "range:9");
  EXPECT_TRUE(backend.messages.empty());
}

std::vector<std::string> Statuses(const std::vector<std::string>& progressLog) {
  std::vector<std::string> statuses;
  for (const std::string& entry : progressLog) {
    if (entry.starts_with("status:")) statuses.push_back(entry.substr(7));
  }
  return statuses;
}

TEST_F(ConversionTest, ChromiumRootsComeInTheBrowsersOrderAndALinkWithoutADateGetsTheRunsTime) {
  const auto start = ModificationTime(temp.path());
  ASSERT_TRUE(Convert(R"({"roots": {"synced": )" +
                      Folder("", {Link("Phone", "https://phone.example/", -11644473600)}) +
                      R"(, "other": )" +
                      Folder("", {Link("Other", "https://other.example/", 1600000000)}) +
                      R"(, "bookmark_bar": )" + Folder("", {}) + "}}"));
  EXPECT_EQ(Favourites(),
            (Tree{{"Other.URL", Shortcut("https://other.example/")},
                  {"Mobile bookmarks/", ""},
                  {"Mobile bookmarks/Phone.URL", Shortcut("https://phone.example/")}}));
  EXPECT_EQ(Statuses(backend.progressLog),
            (std::vector<std::string>{"Setting up... Please wait...", "https://other.example/",
                                      "https://phone.example/"}));
  EXPECT_GE(ModificationTime(favourites() + "/Mobile bookmarks/Phone.URL"), start - 1);
}

TEST_F(ConversionTest, ABrokenChromiumFileIsRefusedAndNothingIsWritten) {
  const std::string whole = ChromiumFile(Folder("", {Link("A", "https://a.example/", 1)}),
                                         Folder("", {}), Folder("", {}));
  const std::string files[] = {
      whole.substr(0, whole.size() / 2),
      whole.substr(0, whole.size() - 3),
      "{",
      "{\"version\": 1}",
      "{\"roots\": [1, 2]}",
      "{\"roots\": {}} trailing",
      std::string("{\"roots\": {}}\0}", 15),
      "  {\"roots\": {\"other\": {\"children\": [{\"name\": \"\xFF\", \"type\": \"url\"}]}}}",
  };
  for (const std::string& file : files) {
    Reset();
    EXPECT_FALSE(Convert(file)) << file;
    EXPECT_EQ(backend.messageTexts(), std::vector<std::string>{"Unable to read Bookmark file!"})
        << file;
    ASSERT_EQ(backend.failures.size(), 1u) << file;
    EXPECT_EQ(backend.failures[0].reason, "not a Bookmarks file of a Chromium-family browser");
    EXPECT_EQ(Written(), Tree{}) << file;
  }
}

TEST_F(ConversionTest, FirefoxPlacesGiveTheMenuAtTheTopAndTheOtherRootsAsFolders) {
  WritePlaces(bookmarks(), kPlaces);
  ASSERT_TRUE(Run());
  EXPECT_EQ(Favourites(), kPlacesTree);
  EXPECT_EQ(ShortcutTimes(favourites()), (Times{{"Menu first.URL", 1600000100},
                                                {"Menu last.URL", 1600000200},
                                                {"Menu folder/Deeper/Deep.URL", 1600000400},
                                                {"Bookmarks Toolbar/Toolbar link.URL", 1600000500},
                                                {"Other Bookmarks/Unfiled.URL", 1600000600},
                                                {"Mobile Bookmarks/Phone.URL", 1600000700}}));
  // Three roots' folders, three folders and six links.
  EXPECT_EQ(backend.progressLog[2], "range:12");
  EXPECT_EQ(Statuses(backend.progressLog),
            (std::vector<std::string>{"Setting up... Please wait...", "https://menu.example/",
                                      "https://menu.example/last", "https://deep.example/",
                                      "https://toolbar.example/", "https://unfiled.example/",
                                      "https://phone.example/"}));
  EXPECT_TRUE(backend.messages.empty());
}

// A running Firefox keeps its latest changes in places.sqlite-wal until it checkpoints;
// they are read too, and neither file is changed by the reading.
TEST_F(ConversionTest, FirefoxPlacesIncludeWhatTheJournalStillHolds) {
  WritePlaces(bookmarks(), kPlaces);
  sqlite3* browser = nullptr;
  ASSERT_EQ(sqlite3_open(bookmarks().c_str(), &browser), SQLITE_OK);
  ASSERT_EQ(
      sqlite3_exec(browser,
                   "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
                   "INSERT INTO moz_places (id, url, guid) VALUES (30, 'https://new.example/',"
                   " 'p30'); INSERT INTO moz_bookmarks (id, type, fk, parent, position, title,"
                   " dateAdded, guid) VALUES (30, 1, 30, 3, 1, 'New', 1600000800000000, 'b30');",
                   nullptr, nullptr, nullptr),
      SQLITE_OK);
  const fs::path journal = bookmarks() + "-wal";
  ASSERT_GT(fs::file_size(journal), 0u);
  const auto databaseSize = fs::file_size(bookmarks());
  const auto journalSize = fs::file_size(journal);

  ASSERT_TRUE(Run());
  Tree expected = kPlacesTree;
  expected.emplace("Bookmarks Toolbar/New.URL", Shortcut("https://new.example/"));
  EXPECT_EQ(Favourites(), expected);
  EXPECT_EQ(fs::file_size(bookmarks()), databaseSize);
  EXPECT_EQ(fs::file_size(journal), journalSize);
  sqlite3_close(browser);
}

// The kind of store is told by the file's first bytes, whatever its name says.
TEST_F(ConversionTest, TheStoreIsRecognisedByItsContentNotItsName) {
  struct Case {
    const char* name;
    void (*write)(const fs::path& file);
    Tree tree;
  };
  const Case cases[] = {
      {"Bookmarks", [](const fs::path& file) { WritePlaces(file, kPlaces); }, kPlacesTree},
      {"places.sqlite",
       [](const fs::path& file) {
         WriteFile(file, ChromiumFile(Folder("", {Link("J", "https://j.example/", 1)}),
                                      Folder("", {}), Folder("", {})));
       },
       {{"Bookmarks bar/", ""}, {"Bookmarks bar/J.URL", Shortcut("https://j.example/")}}},
      {"Bookmarks.json",
       [](const fs::path& file) { WriteFile(file, "<DT><A HREF=\"h\">{roots}</A>\n"); },
       {{"{roots}.URL", Shortcut("h")}}},
      {"Bookmarks.bak",
       [](const fs::path& file) {
         const std::size_t depth = 1000000;
         WriteFile(file, "\xEF\xBB\xBF{\"deep\": " + std::string(depth, '[') +
                             std::string(depth, ']') + R"(, "roots": {"other": )" +
                             Folder("", {Link("K", "https://k.example/", 1)}) + "}}");
       },
       {{"K.URL", Shortcut("https://k.example/")}}},
  };
  for (const Case& c : cases) {
    Reset();
    const fs::path file = temp / c.name;
    c.write(file);
    ConversionSettings settings = Settings();
    settings.bookmarkFile = file.string();
    EXPECT_TRUE(ConvertBookmarksToFavourites(settings, backend)) << c.name;
    EXPECT_EQ(Favourites(), c.tree) << c.name;
    fs::remove(file);
  }
}

TEST_F(ConversionTest, HtmlAddDatesBecomeTheShortcutFilesTimes) {
  const auto start = ModificationTime(temp.path());
  ASSERT_TRUE(
      Convert("<DT><H3 ADD_DATE=\"1500000000\">F</H3>\n<DL><p>\n"
              "<DT><A HREF=\"a\" ADD_DATE=\"1600000000\" LAST_MODIFIED=\"1700000000\">Seconds</A>\n"
              "</DL><p>\n<DT><A HREF=\"b\" ADD_DATE=\"1600000000123\">Milliseconds</A>\n"
              "<DT><A HREF=\"c\" ADD_DATE=\"soon\">Unreadable</A>\n<DT><A HREF=\"d\">None</A>\n"));
  Times times = ShortcutTimes(favourites());
  EXPECT_EQ(times["F/Seconds.URL"], 1600000000);
  EXPECT_EQ(times["Milliseconds.URL"], 1600000000);
  EXPECT_GE(times["Unreadable.URL"], start - 1);
  EXPECT_GE(times["None.URL"], start - 1);
}

}  // namespace
}  // namespace pelmo::testing

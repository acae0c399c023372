#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fav2book/bookmark_writer.h"
#include "fav2book/favourites_to_bookmarks.h"
#include "favourites_fixture.h"
#include "platform/paths.h"
#include "support/child_process.h"
#include "support/scripted_backend.h"

namespace pelmo {
namespace {

using testing::ReadFile;
using testing::ScriptedBackend;
using testing::TempDir;
using testing::WriteFile;
using testing::WriteShortcut;

constexpr const char* kTitle = "Favourites converted by PELMO";

const std::string kHeader = std::string("<TITLE>") + kTitle + "</TITLE>\r\n\r\n<H1>" + kTitle +
                            "</H1>\r\n\r\n\r\n<DL><p>\r\n\r\n";
// The entries of the worked example, from its first folder to the closing line.
const std::string kEntries =
    "\t<DT><H3 FOLDED>Empty</H3>\r\n\r\n\t<DL><P>\r\n\r\n\t</DL><P>\r\n\r\n"
    "\t<DT><A HREF=\"file:///C:/news.htm\">News</A>\r\n\r\n"
    "\t<DT><H3 FOLDED>Tools && Tips</H3>\r\n\r\n\t<DL><P>\r\n\r\n"
    "\t\t<DT><A HREF=\"file:///C:/search.htm\">Search</A>\r\n\r\n"
    "\t</DL><P>\r\n\r\n"
    "</DL><P>\r\n\r\n";

class ConvertTest : public ::testing::Test {
 protected:
  ConvertTest() {
    std::filesystem::create_directories(favourites());
    settings.favouritesFolder = favourites().string();
    settings.bookmarkFile = bookmarks();
    settings.bookmarkTitle = kTitle;
  }

  std::filesystem::path favourites() const { return dir.path() / "Favorites"; }
  std::string bookmarks() const { return (dir.path() / "out" / "bookmarks.html").string(); }
  std::filesystem::path outDir() const { return dir.path() / "out"; }

  void MakeWorkedExample() {
    std::filesystem::create_directories(favourites() / "Empty");
    std::filesystem::create_directories(favourites() / "Tools & Tips");
    WriteShortcut(favourites() / "News.url", "file:///C:/news.htm");
    WriteShortcut(favourites() / "Tools & Tips" / "Search.url", "file:///C:/search.htm");
    WriteFile(favourites() / "desktop.ini", "[.ShellClassInfo]\r\nIconIndex=1\r\n");
  }
  // An existing bookmark file in a directory of its own, so leftovers can be seen.
  void MakeBookmarks(std::string_view bytes) {
    std::filesystem::create_directories(outDir());
    WriteFile(bookmarks(), bytes);
  }
  bool Convert() { return ConvertFavouritesToBookmarks(settings, backend); }

  TempDir dir;
  ConversionSettings settings;
  ScriptedBackend backend;
};

TEST_F(ConvertTest, WritesTheWorkedExampleByteForByte) {
  MakeWorkedExample();
  std::filesystem::create_directories(outDir());
  ASSERT_TRUE(Convert());
  const std::string written = ReadFile(bookmarks());
  EXPECT_EQ(written, kHeader + kEntries);
  EXPECT_EQ(written.size(), 332u);
  EXPECT_TRUE(backend.messages.empty());
  EXPECT_EQ(backend.overwriteQuestions, 0);
  // Two shortcuts: collected in listing order, then written in tree order.
  std::vector<std::string> log = backend.progressLog;
  ASSERT_EQ(log.size(), 12u);
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 3),
            (std::vector<std::string>{"open", "range:800", "step:1"}));
  EXPECT_EQ(log[4], "step");
  EXPECT_EQ(log[6], "step");
  EXPECT_EQ(std::vector<std::string>(log.begin() + 7, log.end()),
            (std::vector<std::string>{"status:Writing converted file...", "position:798", "step",
                                      "step", "close"}));

  // Merging the same folder: the old text up to its last list end, the marker, the
  // entries again.
  backend.overwriteAnswers = {ui::OverwriteChoice::Merge};
  ASSERT_TRUE(Convert());
  const std::string oldHead = written.substr(0, written.size() - 12);
  EXPECT_EQ(ReadFile(bookmarks()), oldHead + "\t<HR>\r\n\r\n" + kEntries);
  EXPECT_EQ(backend.overwriteQuestions, 1);
  EXPECT_EQ(testing::NamesIn(outDir()), "bookmarks.html;");
}

TEST_F(ConvertTest, MergeNeverLeavesOldBytesBehind) {
  MakeWorkedExample();
  const std::string before = "<DL><p>\r\n\t<DT><A HREF=\"http://old/\">Old</A>\r\n";
  const struct {
    const char* what;
    std::string old;
    std::string expected;
  } cases[] = {
      {"long tail after the last list end", before + "</DL><P>\r\n" + std::string(5000, 'x'),
       before + "\t<HR>\r\n\r\n" + kEntries},
      {"merge point is the last of several", "</DL>a</DL>b</DL>c",
       "</DL>a</DL>b\t<HR>\r\n\r\n" + kEntries},
      {"no merge point keeps the whole text", "just text\r\n",
       "just text\r\n" + kHeader + kEntries},
      {"lower-case tags are no merge point", "<dl></dl>", "<dl></dl>" + kHeader + kEntries},
      {"a list end at offset 0 counts as none", "</DL>x", "</DL>x" + kHeader + kEntries},
      {"an empty file gets the header", "", kHeader + kEntries},
  };
  for (const auto& c : cases) {
    MakeBookmarks(c.old);
    backend.overwriteAnswers = {ui::OverwriteChoice::Merge};
    EXPECT_TRUE(Convert()) << c.what;
    EXPECT_EQ(ReadFile(bookmarks()), c.expected) << c.what;
  }
  EXPECT_TRUE(backend.messages.empty());
}

TEST_F(ConvertTest, ReplaceAndAutomaticModeWriteAFreshFile) {
  MakeWorkedExample();
  MakeBookmarks("<DL>old</DL>" + std::string(1000, 'o'));
  backend.overwriteAnswers = {ui::OverwriteChoice::Replace};
  ASSERT_TRUE(Convert());
  EXPECT_EQ(ReadFile(bookmarks()), kHeader + kEntries);

  MakeBookmarks("<DL>old</DL>");
  settings.automatic = true;
  ASSERT_TRUE(Convert());
  EXPECT_EQ(ReadFile(bookmarks()), kHeader + kEntries);
  EXPECT_EQ(backend.overwriteQuestions, 1);  // only the interactive run asked
}

TEST_F(ConvertTest, CancelTouchesNothing) {
  MakeWorkedExample();
  MakeBookmarks("old");
  EXPECT_FALSE(Convert());  // the script answers Cancel
  EXPECT_EQ(ReadFile(bookmarks()), "old");
  EXPECT_TRUE(backend.messages.empty());
  EXPECT_TRUE(backend.progressLog.empty());
  EXPECT_EQ(testing::NamesIn(outDir()), "bookmarks.html;");
}

TEST_F(ConvertTest, EmptyFavouritesGiveTheHeaderAndTheClosingLine) {
  std::filesystem::create_directories(outDir());
  settings.quiet = true;
  ASSERT_TRUE(Convert());
  EXPECT_EQ(ReadFile(bookmarks()), kHeader + "</DL><P>\r\n\r\n");
  EXPECT_TRUE(backend.progressLog.empty());
}

TEST_F(ConvertTest, EscapesMarkupInNamesAndQuotesInUrls) {
  std::filesystem::create_directories(outDir());
  std::filesystem::create_directories(favourites() / "R&D <new>");
  WriteShortcut(favourites() / "a & b.url", "http://x/?a=1&b=2");
  WriteShortcut(favourites() / "say \"hi\".url", "http://x/\"><script>");
  WriteShortcut(favourites() / "caf\xE9.url", "http://caf\xE9/");
  ASSERT_TRUE(Convert());
  EXPECT_EQ(
      ReadFile(bookmarks()),
      kHeader + "\t<DT><A HREF=\"http://x/?a=1&b=2\">a && b</A>\r\n\r\n" +
          "\t<DT><A HREF=\"http://caf\xE9/\">caf\xE9</A>\r\n\r\n" +
          "\t<DT><H3 FOLDED>R&&D &lt;new&gt;</H3>\r\n\r\n\t<DL><P>\r\n\r\n\t</DL><P>\r\n\r\n" +
          "\t<DT><A HREF=\"http://x/%22><script>\">say \"hi\"</A>\r\n\r\n" + "</DL><P>\r\n\r\n");
}

TEST(EscapeName, DoublesAmpersandsAndReferencesAngleBrackets) {
  EXPECT_EQ(EscapeName(""), "");
  EXPECT_EQ(EscapeName("&&"), "&&&&");
  EXPECT_EQ(EscapeName("<&>"), "&lt;&&&gt;");
  EXPECT_EQ(EscapeName(std::string(255, '&')), std::string(510, '&'));  // never cut
  EXPECT_EQ(EscapeUrl("a\"b\"&<>"), "a%22b%22&<>");
}

TEST_F(ConvertTest, IndentsEveryLevelBeyondForty) {
  std::filesystem::create_directories(outDir());
  std::filesystem::path deepest = favourites();
  for (int level = 0; level < 45; ++level) deepest /= "d";
  std::filesystem::create_directories(deepest);
  WriteShortcut(deepest / "s.url", "u");
  ASSERT_TRUE(Convert());
  std::string expected = kHeader;
  for (int depth = 1; depth <= 45; ++depth) {
    expected += std::string(depth, '\t') + "<DT><H3 FOLDED>d</H3>\r\n\r\n" +
                std::string(depth, '\t') + "<DL><P>\r\n\r\n";
  }
  expected += std::string(46, '\t') + "<DT><A HREF=\"u\">s</A>\r\n\r\n";
  for (int depth = 45; depth >= 1; --depth)
    expected += std::string(depth, '\t') + "</DL><P>\r\n\r\n";
  EXPECT_EQ(ReadFile(bookmarks()), expected + "</DL><P>\r\n\r\n");
}

TEST_F(ConvertTest, ScansTheCurrentDirectoryForAnEmptyFolderPath) {
  MakeWorkedExample();
  std::filesystem::create_directories(outDir());
  testing::CurrentDirectoryGuard guard;
  std::filesystem::current_path(favourites());
  settings.favouritesFolder.clear();
  ASSERT_TRUE(Convert());
  EXPECT_EQ(ReadFile(bookmarks()), kHeader + kEntries);
}

TEST_F(ConvertTest, ReportsWhatCannotBeOpened) {
  const struct {
    const char* what;
    std::string folder;
    std::string file;
    std::string message;
  } cases[] = {
      {"missing folder", (dir.path() / "none").string(), bookmarks(),
       "Unable to open Favourites folder!"},
      {"folder path too long", std::string(platform::MaxPathSize() - 3, 'f'), bookmarks(),
       "Unable to open Favourites folder!"},
      {"folder before file", (dir.path() / "none").string(), "",
       "Unable to open Favourites folder!"},
      {"empty file path", favourites().string(), "", "Unable to open Bookmark file!"},
      {"file is a directory", favourites().string(), dir.str(), "Unable to open Bookmark file!"},
      {"missing directory", favourites().string(), (dir.path() / "no" / "b.html").string(),
       "Unable to open Bookmark file!"},
  };
  for (const auto& c : cases) {
    ScriptedBackend local;
    local.overwriteAnswers = {ui::OverwriteChoice::Replace};
    settings.favouritesFolder = c.folder;
    settings.bookmarkFile = c.file;
    EXPECT_FALSE(ConvertFavouritesToBookmarks(settings, local)) << c.what;
    ASSERT_EQ(local.messages.size(), 1u) << c.what;
    EXPECT_EQ(local.messages[0].text, c.message) << c.what;
    EXPECT_EQ(local.messages[0].icon, ui::Icon::Warning) << c.what;
    EXPECT_EQ(local.overwriteQuestions, 0) << c.what;
    EXPECT_TRUE(local.progressLog.empty()) << c.what;
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir.path()));
}

TEST_F(ConvertTest, LeavesTheOldFileWhenItCannotBeReadOrReplaced) {
  MakeWorkedExample();
  MakeBookmarks("old</DL>");
  auto run = [this] {
    if (!testing::BecomePlainUserIfRoot(dir.path())) return 2;
    ::chmod(bookmarks().c_str(), 0200);  // Merge needs to read it
    backend.overwriteAnswers = {ui::OverwriteChoice::Merge};
    const bool merged = Convert();
    ::chmod(bookmarks().c_str(), 0600);

    ::chmod(outDir().c_str(), 0500);  // no temporary file beside it
    backend.overwriteAnswers = {ui::OverwriteChoice::Replace};
    const bool replaced = Convert();
    ::chmod(outDir().c_str(), 0700);
    const bool told =
        backend.messageTexts() ==
        std::vector<std::string>{"Unable to open Bookmark file!", "Unable to open Bookmark file!"};
    return !merged && !replaced && told ? 0 : 1;
  };
  EXPECT_EQ(testing::RunInChild(run), 0);
  EXPECT_EQ(ReadFile(bookmarks()), "old</DL>");
  EXPECT_EQ(testing::NamesIn(outDir()), "bookmarks.html;");
}

TEST_F(ConvertTest, AFullDiskLeavesTheOldFileAndReportsTheFailure) {
  for (int i = 0; i < 50; ++i) {
    WriteShortcut(favourites() / ("link" + std::to_string(i) + ".url"), "http://example.com/");
  }
  MakeBookmarks("old</DL>");
  auto run = [this] {
    // The output is far above the limit, the old file below it.
    testing::LimitFileSize(1024);
    settings.automatic = true;
    const bool converted = Convert();
    const bool reported =
        backend.messageTexts() == std::vector<std::string>{"Unable to write Bookmark file!"} &&
        backend.messages[0].icon == ui::Icon::Warning;
    return !converted && reported ? 0 : 1;
  };
  EXPECT_EQ(testing::RunInChild(run), 0);
  EXPECT_EQ(ReadFile(bookmarks()), "old</DL>");
  EXPECT_EQ(testing::NamesIn(outDir()), "bookmarks.html;");
}

}  // namespace
}  // namespace pelmo

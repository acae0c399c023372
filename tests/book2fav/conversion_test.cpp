#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "conversion_test_support.h"
#include "support/child_process.h"

namespace pelmo::testing {
namespace {

namespace fs = std::filesystem;
using Tree = std::map<std::string, std::string>;

const std::string kNotWritten = "Unable to write some shortcut files!";

TEST_F(ConversionTest, WorkedExampleWithProgress) {
  ASSERT_TRUE(
      Convert("<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<TITLE>Bookmarks</TITLE>\r\n"
              "<H1>Bookmarks</H1>\r\n<DL><p>\r\n<DT><H3>News</H3>\r\n<DL><p>\r\n"
              "<DT><A HREF=\"U1\">Q&A Corner</A>\r\n</DL><p>\r\n"
              "<DT><A HREF=\"U2\">A/B Test</A>\r\n</DL><p>\r\n"));
  EXPECT_EQ(Favourites(), (Tree{{"News/", ""},
                                {"News/QA Corner.URL", Shortcut("U1")},
                                {"AB Test.URL", Shortcut("U2")}}));
  std::vector<std::string> expected{"open", "status:Setting up... Please wait...", "range:10",
                                    "step:1"};
  expected.insert(expected.end(), 7, "step");
  expected.insert(expected.end(), {"status:U1", "step", "step", "status:U2", "step", "close"});
  EXPECT_EQ(backend.progressLog, expected);
  EXPECT_TRUE(backend.messages.empty());
  EXPECT_TRUE(InFavourites());
}

TEST_F(ConversionTest, QuietAndMissingProgressMakeNoProgressOperations) {
  ASSERT_TRUE(Convert("<DT><A HREF=\"u\">T</A>\n", true));
  EXPECT_TRUE(backend.progressLog.empty());
  backend.progressAvailable = false;
  ASSERT_TRUE(Run());
  EXPECT_TRUE(backend.progressLog.empty());
  EXPECT_EQ(Favourites(), (Tree{{"T.URL", Shortcut("u")}}));
}

TEST_F(ConversionTest, EmptyFileStillCreatesTheFolder) {
  ASSERT_TRUE(Convert(""));
  EXPECT_TRUE(fs::is_directory(favourites()));
  EXPECT_EQ(backend.progressLog,
            (std::vector<std::string>{"open", "status:Setting up... Please wait...", "range:0",
                                      "step:1", "close"}));
}

TEST_F(ConversionTest, RangeIsTheLineCountModulo65536) {
  ASSERT_TRUE(Convert(std::string(70000, '\n')));
  EXPECT_EQ(backend.progressLog[2], "range:4464");
  EXPECT_EQ(std::count(backend.progressLog.begin(), backend.progressLog.end(), "step"), 70000);
}

// Each case is a bookmark file with LF line ends and the tree it gives.
struct WalkCase {
  const char* what;
  std::string file;
  Tree tree;
};

TEST_F(ConversionTest, LinesGiveTheirTree) {
  const WalkCase cases[] = {
      {"shortcut and list end on one line keep the folder open",
       "<DT><H3>F</H3>\n<DT><A HREF=\"u\">In</A></DL><p>\n<DT><A HREF=\"v\">Too</A>\n",
       {{"F/", ""}, {"F/In.URL", Shortcut("u")}, {"F/Too.URL", Shortcut("v")}}},
      {"lower-case end tags stay in the name",
       "<DT><H3 FOLDED>News</h3>\n<DT><A HREF=\"u\">Docs</a>\n",
       {{"Newsh3/", ""}, {"Newsh3/Docsa.URL", Shortcut("u")}}},
      {"no quotes give an empty URL and name", "<DT><A HREF=x>T</A>\n", {{".URL", Shortcut("")}}},
      {"one quote gives a URL to the line's end",
       "<DT><A HREF=\"u>T\n",
       {{".URL", Shortcut("u>T")}}},
      {"a title filtered to nothing", "<DT><A HREF=\"u\">...</A>\n", {{".URL", Shortcut("u")}}},
      {"surplus list ends at the top are ignored",
       "</DL><p>\n</DL><p>\n<DT><A HREF=\"u\">T</A>\n",
       {{"T.URL", Shortcut("u")}}},
      {"a surplus list end closes the folder early",
       "<DT><H3>F</H3>\n<DL><p>\n</DL><p>\n<DT><A HREF=\"u\">T</A>\n</DL><p>\n",
       {{"F/", ""}, {"T.URL", Shortcut("u")}}},
      {"headings of one name share a directory and its names",
       "<DT><H3>F</H3>\n<DT><A HREF=\"1\">T</A>\n</DL><p>\n<DT><H3>G</H3>\n</DL><p>\n"
       "<DT><H3>F</H3>\n<DT><A HREF=\"2\">T</A>\n</DL><p>\n",
       {{"F/", ""}, {"G/", ""}, {"F/T.URL", Shortcut("1")}, {"F/T (2).URL", Shortcut("2")}}},
      {"repeated titles are numbered, case ignored",
       "<DT><A HREF=\"1\">Same</A>\n<DT><A HREF=\"22\">SAME</A>\n<DT><A HREF=\"333\">same</A>\n",
       {{"Same.URL", Shortcut("1")},
        {"SAME (2).URL", Shortcut("22")},
        {"same (3).URL", Shortcut("333")}}},
      {"CR LF, lone CR, lone LF and an unterminated last line",
       "<DT><A HREF=\"1\">A</A>\r\n<DT><A HREF=\"2\">B</A>\r<DT><A HREF=\"3\">C</A>\n"
       "<DT><A HREF=\"4\">D</A>",
       {{"A.URL", Shortcut("1")},
        {"B.URL", Shortcut("2")},
        {"C.URL", Shortcut("3")},
        {"D.URL", Shortcut("4")}}},
      {"references decoded in URL and title",
       "<DT><A HREF=\"http://a/?x=1&amp;y=&#50;&z\">Q&amp;A &lt;b&gt; Caf&#233;</A>\n",
       {{"Q&A b Caf\xC3\xA9.URL", Shortcut("http://a/?x=1&y=2&z")}}},
      {"a zero byte ends the line's text",
       std::string("<DT><A HREF=\"u\">A\0B</A>\n", 24),
       {{"A.URL", Shortcut("u")}}},
  };
  for (const WalkCase& c : cases) {
    TempDir favouritesRoot;
    ConversionSettings settings = Settings();
    settings.favouritesFolder = favouritesRoot / "Favourites";
    WriteFile(bookmarks(), c.file);
    CurrentDirectoryGuard restore;
    EXPECT_TRUE(ConvertBookmarksToFavourites(settings, backend)) << c.what;
    EXPECT_EQ(ReadTree(settings.favouritesFolder), c.tree) << c.what;
  }
}

TEST_F(ConversionTest, LongLinesUrlsAndNamesAreKeptOrFitted) {
  std::string icon = "data:image/png;base64," + std::string(20000, 'Q');
  std::string url = "http://example.com/" + std::string(3000, 'u');
  std::string title(300, 't');
  ASSERT_TRUE(Convert("<DT><H3 ADD_DATE=\"1\">" + std::string(300, 'h') + "</H3>\n<DT><A HREF=\"" +
                      url + "\" ICON=\"" + icon + "\">" + title + "</A>\n<DT><A HREF=\"v\">" +
                      title + "</A>\n"));
  std::string folder = std::string(255, 'h') + "/";
  EXPECT_EQ(Favourites(), (Tree{{folder, ""},
                                {folder + std::string(251, 't') + ".URL", Shortcut(url)},
                                {folder + std::string(247, 't') + " (2).URL", Shortcut("v")}}));
}

TEST_F(ConversionTest, AddsToAnExistingFolder) {
  fs::create_directories(favourites() + "/News");
  WriteFile(favourites() + "/News/Old.URL", "old");
  WriteFile(favourites() + "/News/Keep.URL", "keep");
  ASSERT_TRUE(Convert("<DT><H3>News</H3>\n<DT><A HREF=\"new\">Old</A>\n</DL><p>\n"));
  EXPECT_EQ(Favourites(),
            (Tree{{"News/", ""}, {"News/Old.URL", Shortcut("new")}, {"News/Keep.URL", "keep"}}));
}

TEST_F(ConversionTest, RelativeBookmarkPathIsTakenFromTheStartingDirectory) {
  fs::create_directories(temp / "in");
  fs::create_directories(favourites() + "/in");
  WriteFile(temp / "in/b.html", "<DT><A HREF=\"right\">R</A>\n");
  WriteFile(favourites() + "/in/b.html", "<DT><A HREF=\"wrong\">W</A>\n");
  fs::current_path(temp.path());
  ConversionSettings settings = Settings();
  settings.bookmarkFile = "in/b.html";
  ASSERT_TRUE(ConvertBookmarksToFavourites(settings, backend));
  EXPECT_EQ(ReadFile(favourites() + "/R.URL"), Shortcut("right"));
  EXPECT_FALSE(fs::exists(favourites() + "/W.URL"));
}

TEST_F(ConversionTest, BookmarkFileThatCannotBeOpened) {
  fs::create_directories(temp / "dir.html");
  for (std::string path : {temp / "missing.html", temp / "dir.html"}) {
    ConversionSettings settings = Settings();
    settings.bookmarkFile = path;
    ScriptedBackend fresh;
    EXPECT_FALSE(ConvertBookmarksToFavourites(settings, fresh)) << path;
    EXPECT_EQ(fresh.messageTexts(), std::vector<std::string>{"Unable to open Bookmark file!"});
    EXPECT_TRUE(fresh.progressLog.empty());
  }
  EXPECT_TRUE(fs::is_directory(favourites()));
}

TEST_F(ConversionTest, ShortcutThatCannotBeCreatedIsReported) {
  fs::create_directories(favourites() + "/Blocked.URL");
  ASSERT_FALSE(Convert("<DT><A HREF=\"a\">Blocked</A>\n<DT><A HREF=\"b\">Fine</A>\n"));
  EXPECT_EQ(Favourites(), (Tree{{"Blocked.URL/", ""}, {"Fine.URL", Shortcut("b")}}));
  ASSERT_EQ(backend.messages.size(), 1u);
  EXPECT_EQ(backend.messages[0].text, kNotWritten);
  EXPECT_EQ(backend.messages[0].icon, ui::Icon::Warning);
}

TEST_F(ConversionTest, FailedWriteLeavesNoTruncatedFile) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  fs::create_directories(favourites());
  fs::create_symlink("/dev/full", favourites() + "/Full.URL");
  ASSERT_FALSE(Convert("<DT><A HREF=\"a\">Full</A>\n<DT><A HREF=\"b\">Fine</A>\n"));
  EXPECT_EQ(Favourites(), (Tree{{"Fine.URL", Shortcut("b")}}));
  EXPECT_EQ(backend.messageTexts(), std::vector<std::string>{kNotWritten});
}

TEST_F(ConversionTest, FolderThatCannotBeEnteredIsSkippedAndReported) {
  fs::create_directories(favourites());
  WriteFile(favourites() + "/Blocked", "a file");
  ASSERT_FALSE(
      Convert("<DT><H3>Blocked</H3>\n<DL><p>\n<DT><A HREF=\"1\">In</A>\n<DT><H3>Sub</H3>\n<DL><p>\n"
              "<DT><A HREF=\"2\">Deeper</A>\n</DL><p>\n</DL><p>\n<DT><A HREF=\"3\">After</A>\n"
              "<DT><H3>...</H3>\n<DT><A HREF=\"4\">Nameless</A>\n</DL><p>\n"));
  EXPECT_EQ(Favourites(), (Tree{{"Blocked", "a file"}, {"After.URL", Shortcut("3")}}));
  EXPECT_EQ(backend.messageTexts(), std::vector<std::string>{kNotWritten});
  EXPECT_TRUE(InFavourites());
}

TEST_F(ConversionTest, LinkedFolderIsNotEnteredSoNothingLandsOutside) {
  fs::create_directories(favourites());
  fs::create_directories(temp / "Elsewhere/Deeper");
  fs::create_directory_symlink(temp / "Elsewhere/Deeper", favourites() + "/News");
  ASSERT_FALSE(
      Convert("<DT><H3>News</H3>\n<DL><p>\n<DT><A HREF=\"1\">In</A>\n</DL><p>\n"
              "<DT><A HREF=\"2\">After</A>\n"));
  EXPECT_TRUE(fs::is_empty(temp / "Elsewhere/Deeper"));
  EXPECT_EQ(ReadTree(temp / "Elsewhere"), (Tree{{"Deeper/", ""}}));
  EXPECT_TRUE(fs::exists(favourites() + "/After.URL"));
  EXPECT_EQ(backend.messageTexts(), std::vector<std::string>{kNotWritten});
  EXPECT_TRUE(InFavourites());
}

// Locks the current directory before the fourth line is handled, so that the walk
// cannot go back up from it.
class LockingBackend : public ScriptedBackend {
 public:
  std::unique_ptr<ui::ProgressView> openProgress() override {
    return std::make_unique<LockingProgress>();
  }

 private:
  class LockingProgress : public ui::ProgressView {
   public:
    void setStatus(std::string_view) override {}
    void setRange(std::uint16_t) override {}
    void setStep(int) override {}
    void step() override {
      if (++steps_ == 4) fs::permissions(fs::current_path(), fs::perms::none);
    }
    void setPosition(int) override {}

   private:
    int steps_ = 0;
  };
};

TEST_F(ConversionTest, LosingTheWayUpCountsTheRestAsNotWritten) {
  WriteFile(bookmarks(),
            "<DT><A HREF=\"a\">First</A>\n<DT><H3>Doomed</H3>\n<DT><A HREF=\"x\">X</A>\n"
            "</DL><p>\n<DT><A HREF=\"b\">Later</A>\n<DT><H3>Other</H3>\n");
  auto run = [this] {
    if (!BecomePlainUserIfRoot(temp.path())) std::_Exit(2);
    LockingBackend locking;
    bool result = ConvertBookmarksToFavourites(Settings(), locking);
    fs::permissions(favourites() + "/Doomed", fs::perms::owner_all);
    bool sound =
        !result && locking.messageTexts() == std::vector<std::string>{kNotWritten} &&
        Favourites() ==
            Tree{{"First.URL", Shortcut("a")}, {"Doomed/", ""}, {"Doomed/X.URL", Shortcut("x")}};
    std::_Exit(sound ? 0 : 1);
  };
  EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "");
}

TEST_F(ConversionTest, UnwritableFolderIsReported) {
  fs::create_directories(favourites());
  WriteFile(bookmarks(), "<DT><A HREF=\"u\">T</A>\n<DT><H3>F</H3>\n<DT><A HREF=\"v\">U</A>\n");
  auto run = [this] {
    if (!BecomePlainUserIfRoot(temp.path())) std::_Exit(2);
    fs::permissions(favourites(), fs::perms::owner_read | fs::perms::owner_exec);
    ScriptedBackend fresh;
    bool result = ConvertBookmarksToFavourites(Settings(), fresh);
    bool sound = !result && fresh.messageTexts() == std::vector<std::string>{kNotWritten} &&
                 fs::is_empty(favourites());
    std::_Exit(sound ? 0 : 1);
  };
  EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "");
}

TEST_F(ConversionTest, DeepNestingNeedsNoPathLimit) {
  std::string file;
  for (int level = 0; level < 1000; ++level) file += "<DT><H3>d</H3>\n<DL><p>\n";
  file += "<DT><A HREF=\"deep\">Deep</A>\n";
  for (int level = 0; level < 1000; ++level) file += "</DL><p>\n";
  file += "<DT><A HREF=\"top\">Top</A>\n";
  ASSERT_TRUE(Convert(file, true));
  std::string deepest = favourites();
  for (int level = 0; level < 1000; ++level) deepest += "/d";
  EXPECT_EQ(ReadFile(deepest + "/Deep.URL"), Shortcut("deep"));
  EXPECT_EQ(ReadFile(favourites() + "/Top.URL"), Shortcut("top"));
  EXPECT_TRUE(InFavourites());
}

// Everything the run wrote lies in the Favourites folder.
void ExpectOnlyFavouritesWritten(const TempDir& temp) {
  for (const auto& [path, bytes] : ReadTree(temp.path())) {
    EXPECT_TRUE(path == "bookmarks.html" || path.starts_with("Favourites/")) << path;
  }
}

TEST_F(ConversionTest, GarbageNeverLeavesTheFavouritesFolder) {
  const std::vector<std::string> pieces{"<DT>",
                                        "<H3>",
                                        "</H3>",
                                        "<A HREF=\"",
                                        "\"",
                                        ">",
                                        "</A>",
                                        "</DL><P>",
                                        "..",
                                        "/",
                                        "\\",
                                        "&",
                                        "&#",
                                        ";",
                                        "x",
                                        " ",
                                        "\n",
                                        "\r",
                                        std::string(1, '\0'),
                                        "\xFF"};
  std::mt19937 random(12345);
  for (int round = 0; round < 20; ++round) {
    std::string file;
    for (int i = 0; i < 400; ++i) file += pieces[random() % pieces.size()];
    for (int i = 0; i < 200; ++i) file += static_cast<char>(random() % 256);
    CurrentDirectoryGuard restore;
    ScriptedBackend fresh;
    WriteFile(bookmarks(), file);
    ConversionSettings settings = Settings();
    ConvertBookmarksToFavourites(settings, fresh);
    std::string here = fs::current_path().string();
    EXPECT_TRUE(here.starts_with(favourites())) << here;
  }
  ExpectOnlyFavouritesWritten(temp);
}

TEST_F(ConversionTest, LargeFile) {
  std::string block;
  for (int i = 0; i < 10000; ++i) block += "<DD>" + std::string(95, 'x') + "\n";
  {
    std::ofstream out(bookmarks(), std::ios::binary);
    out << "<DT><H3>Big</H3>\n";
    for (int i = 0; i < 52; ++i) out << block;
    out << "<DT><A HREF=\"end\">End</A>\n</DL><p>\n";
  }
  ASSERT_GT(fs::file_size(bookmarks()), 50u * 1000 * 1000);
  ASSERT_TRUE(Run(true));
  EXPECT_EQ(Favourites(), (Tree{{"Big/", ""}, {"Big/End.URL", Shortcut("end")}}));
  ExpectOnlyFavouritesWritten(temp);
}

}  // namespace
}  // namespace pelmo::testing

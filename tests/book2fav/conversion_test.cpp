#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iterator>
#include <random>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "conversion_test_support.h"
#include "support/child_process.h"

namespace pelmo::testing {
namespace {

namespace fs = std::filesystem;

const std::string kNotWritten = "Unable to write some shortcut files!";

TEST_F(ConversionTest, NewsFolderAndTwoLinksWithProgress) {
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

TEST_F(ConversionTest, RangeIsTheWholeLineCountWithOneStepPerLine) {
  struct Case {
    std::string file;
    std::string range;
    std::size_t steps;
  };
  // The empty file comes first: the missing folder is still created for it.
  const Case cases[] = {{"", "range:0", 0}, {std::string(70000, '\n'), "range:70000", 70000}};
  for (const Case& c : cases) {
    backend.progressLog.clear();
    ASSERT_TRUE(Convert(c.file)) << c.range;
    ASSERT_EQ(backend.progressLog.size(), c.steps + 5) << c.range;
    EXPECT_EQ(backend.progressLog[2], c.range);
    EXPECT_EQ(std::count(backend.progressLog.begin(), backend.progressLog.end(), "step"), c.steps);
    EXPECT_TRUE(InFavourites());
  }
}

// The bytes of a UTF-16 file with its byte-order mark.
std::string Utf16(std::u16string_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : text) {
    char high = static_cast<char>(unit >> 8);
    char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

// Each case is a bookmark file and the tree it gives.
struct WalkCase {
  const char* what;
  std::string file;
  Tree tree;
  unsigned codePage = 0;
};

TEST_F(ConversionTest, LinesGiveTheirTree) {
  const std::string url = "http://example.com/" + std::string(3000, 'u');
  const std::string title(300, 't');
  const std::string hugeUrl = "http://example.com/" + std::string(1536 * 1024, 'u');
  const std::string hugeIcon = "data:image/png;base64," + std::string(1536 * 1024, 'Q');
  const std::string folder = std::string(255, 'h') + "/";
  const WalkCase cases[] = {
      {"a shortcut and a list end on one line: written, then the folder closed",
       "<DT><H3>F</H3>\n<DL><p>\n<DT><A HREF=\"u\">In</A></DL><p>\n<DT><A HREF=\"v\">Too</A>\n",
       {{"F/", ""}, {"F/In.URL", Shortcut("u")}, {"Too.URL", Shortcut("v")}}},
      {"end tags in any letter case end the title",
       "<DT><H3 FOLDED>News</h3>\n<dl><p>\n<DT><A HREF=\"u\">Docs</a>\n</dl>\n<DT><A "
       "HREF=\"v\">Top</A>\n",
       {{"News/", ""}, {"News/Docs.URL", Shortcut("u")}, {"Top.URL", Shortcut("v")}}},
      {"HREF values unquoted, single-quoted, spaced, not first, or missing",
       "<DT><A HREF=x>T</A>\n<dt><a href='y' >U</a>\n<DT><A  HREF = \"z\">V</A>\n"
       "<DT><A UPDATE=\"1\" Href=\"w\" TAGS='a\"b'>W</A>\n<DT><A NAME=\"n\">Anchor</A>\n"
       "<DT><A HREF>Empty</A>\n",
       {{"T.URL", Shortcut("x")},
        {"U.URL", Shortcut("y")},
        {"V.URL", Shortcut("z")},
        {"W.URL", Shortcut("w")},
        {"Empty.URL", Shortcut("")}}},
      {"several items on one line, in their order",
       "<DL><p><DT><H3>F</H3><DL><p><DT><A HREF=\"1\">A</A><DT><A HREF=\"2\">B</A></DL><p>"
       "<DT><A HREF=\"3\">C</A></DL><p>",
       {{"F/", ""},
        {"F/A.URL", Shortcut("1")},
        {"F/B.URL", Shortcut("2")},
        {"C.URL", Shortcut("3")}}},
      {"tags and titles over several lines",
       "<DT><A HREF=\"u\" DESCRIPTION=\"one\ntwo\"\n ADD_DATE=\"1\">Long\ntitle</A>\n"
       "<DT><H3\nFOLDED>Multi\r\nline</H3>\n<DL><p>\n<DT><A\nHREF=\"v\">In</A>\n</DL><p>\n",
       {{"Long title.URL", Shortcut("u")},
        {"Multi line/", ""},
        {"Multi line/In.URL", Shortcut("v")}}},
      {"a heading without a list of its own is an empty folder",
       "<DT><H3>Outer</H3>\n<DL>\n<DT><H3>Empty</H3>\n<DT><H3>Next</H3>\n<DT><A HREF=\"u\">In</A>\n"
       "</DL>\n<DT><H3>Last</H3>\n</DL>\n<DT><A HREF=\"v\">Top</A>\n",
       {{"Outer/", ""},
        {"Outer/Empty/", ""},
        {"Outer/Next/", ""},
        {"Outer/In.URL", Shortcut("u")},
        {"Last/", ""},
        {"Top.URL", Shortcut("v")}}},
      {"a quote left open across a line ends at the line's end",
       "<DT><A HREF=\"u\" TAGS=\"open\n<DT><A HREF=\"v\">V</A>\n",
       {{"(untitled).URL", Shortcut("u")}, {"V.URL", Shortcut("v")}}},
      {"a tag never closed loses nothing behind it",
       "<DT><A HREF=\"u\" \n<DT><A HREF=\"v\">V</A>\n<DT><H3 FOLDED\n<DT><A HREF=\"w\">W</A>\n",
       {{"V.URL", Shortcut("v")}, {"W.URL", Shortcut("w")}}},
      {"one quote gives a URL to the line's end",
       "<DT><A HREF=\"u>T\n",
       {{"(untitled).URL", Shortcut("u>T")}}},
      {"surplus list ends at the top are ignored",
       "</DL><p>\n</DL><p>\n<DT><A HREF=\"u\">T</A>\n",
       {{"T.URL", Shortcut("u")}}},
      {"a surplus list end closes the folder early",
       "<DT><H3>F</H3>\n<DL><p>\n</DL><p>\n<DT><A HREF=\"u\">T</A>\n</DL><p>\n",
       {{"F/", ""}, {"T.URL", Shortcut("u")}}},
      {"headings of one name share a directory and its names",
       "<DT><H3>F</H3>\n<DL><p>\n<DT><A HREF=\"1\">T</A>\n</DL><p>\n<DT><H3>G</H3>\n<DL><p>\n"
       "</DL><p>\n<DT><H3>F</H3>\n<DL><p>\n<DT><A HREF=\"2\">t</A>\n</DL><p>\n<DT><H3>F</H3>\n"
       "<DL><p>\n<DT><A HREF=\"3\">T</A>\n</DL><p>\n",
       {{"F/", ""},
        {"G/", ""},
        {"F/T.URL", Shortcut("1")},
        {"F/t (2).URL", Shortcut("2")},
        {"F/T (3).URL", Shortcut("3")}}},
      {"headings that differ only in letter case fill one folder",
       "<DT><H3>News</H3>\n<DL><p>\n<DT><A HREF=\"1\">A</A>\n</DL><p>\n<DT><H3>NEWS</H3>\n<DL><p>\n"
       "<DT><A HREF=\"2\">a</A>\n</DL><p>\n<DT><H3>news</H3>\n<DL><p>\n<DT><H3>In</H3>\n"
       "<DL><p>\n</DL><p>\n<DT><H3>IN</H3>\n<DL><p>\n<DT><A HREF=\"3\">B</A>\n</DL><p>\n",
       {{"News/", ""},
        {"News/A.URL", Shortcut("1")},
        {"News/a (2).URL", Shortcut("2")},
        {"News/In/", ""},
        {"News/In/B.URL", Shortcut("3")}}},
      {"repeated titles are numbered, case ignored",
       "<DT><A HREF=\"1\">Same</A>\n<DT><A HREF=\"22\">SAME</A>\n<DT><A HREF=\"333\">same</A>\n",
       {{"Same.URL", Shortcut("1")},
        {"SAME (2).URL", Shortcut("22")},
        {"same (3).URL", Shortcut("333")}}},
      {"references decoded in URL and title",
       "<DT><A HREF=\"http://a/?x=1&amp;y=&#50;&z\">Q&amp;A &lt;b&gt; Caf&#233;</A>\n",
       {{"Q&A b Caf\xC3\xA9.URL", Shortcut("http://a/?x=1&y=2&z")}}},
      {"a declared character set is converted, in titles and URLs",
       "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=ISO-8859-1\">\n"
       "<DT><A HREF=\"http://x/caf\xE9\">Caf\xE9</A>\n",
       {{"Caf\xC3\xA9.URL", Shortcut("http://x/caf\xC3\xA9")}}},
      {"undeclared and not UTF-8: windows-1252; a byte it lacks is replaced",
       "<DT><A HREF=\"u\">\x80 sign</A>\n<DT><A HREF=\"v\">A\x81Z</A>\n",
       {{"\xE2\x82\xAC sign.URL", Shortcut("u")}, {"A\xEF\xBF\xBDZ.URL", Shortcut("v")}}},
      {"undeclared Latin text is not left to a detector's guess (Mac Central European)",
       "<DT><A HREF=\"u\">\xC6r\xF8 K\xF8"
       "benhavn</A>\n",
       {{"\xC3\x86r\xC3\xB8 K\xC3\xB8"
         "benhavn.URL",
         Shortcut("u")}}},
      {"undeclared and not UTF-8, with the code page named",
       "<DT><A HREF=\"http://x/\xE9\">\xCC\xEE\xF1\xEA\xE2\xE0</A>\n",
       {{"\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0.URL", Shortcut("http://x/\xD0\xB9")}},
       1251},
      {"declared Latin-1 is read as windows-1252, as browsers do",
       "<meta charset=\"iso-8859-1\"><DT><A HREF=\"u\">A \x97 B</A>\n",
       {{"A \xE2\x80\x94 B.URL", Shortcut("u")}}},
      {"HTML's named references, in titles and URLs",
       "<DT><A HREF=\"http://a/K&ouml;ln?a&amp;b\">K&ouml;ln &mdash; Caf&eacute;&hellip; "
       "&Ouml;&nbsp;"
       "&bogus; &apos;&#39;</A>\n",
       {{"K\xC3\xB6ln \xE2\x80\x94 Caf\xC3\xA9\xE2\x80\xA6 \xC3\x96\xC2\xA0"
         "bogus; ''.URL",
         Shortcut("http://a/K\xC3\xB6ln?a&b")}}},
      {"an empty name: the URL's host through the filter, else (untitled), numbered",
       "<DT><A HREF=\"https://user@www.example.org:8080/x\"></A>\n<DT><A HREF=\"http://[::1]/\">"
       "<IMG></A>\n<DT><A HREF=\"mailto:a@b\"></A>\n<DT><A HREF=\"file:///c\"> </A>\n"
       "<DT><A HREF=\"https://www.example.org/y\">.</A>\n",
       {{"wwwexampleorg.URL", Shortcut("https://user@www.example.org:8080/x")},
        {"wwwexampleorg (2).URL", Shortcut("https://www.example.org/y")},
        {"1.URL", Shortcut("http://[::1]/")},
        {"(untitled).URL", Shortcut("mailto:a@b")},
        {"(untitled) (2).URL", Shortcut("file:///c")}}},
      {"a file cannot be in the 16-bit encoding it declares, if it has no byte-order mark",
       "<META CONTENT=\"text/html; charset=UTF-16\"><DT><A HREF=\"u\">Caf\xC3\xA9</A>\n",
       {{"Caf\xC3\xA9.URL", Shortcut("u")}}},
      {"declared UTF-8 with a byte that is no character: the name has U+FFFD for it",
       "<meta charset=\"utf-8\"><DT><A HREF=\"u\">Bad \xE9</A>\n",
       {{"Bad \xEF\xBF\xBD.URL", Shortcut("u")}}},
      {"UTF-16, little-endian",
       Utf16(u"<DT><A HREF=\"u\">Caf\u00E9 \U0001F600</A>\n", false),
       {{"Caf\xC3\xA9 \xF0\x9F\x98\x80.URL", Shortcut("u")}}},
      {"UTF-16, big-endian, CR LF",
       Utf16(u"<DL><p>\r\n<DT><A HREF=\"v\">\u65E5</A>\r\n", true),
       {{"\xE6\x97\xA5.URL", Shortcut("v")}}},
      {"control bytes never leave the URL's line",
       "<DT><A HREF=\"http://a/&#13;&#10;IconFile=x&#9;y\x01\x7F\">T</A>\n",
       {{"T.URL", Shortcut("http://a/IconFile=xy%01%7F")}}},
      {"a zero byte ends the line's text",
       std::string("<DT><A HREF=\"u\">A\0B</A>\n", 24),
       {{"A.URL", Shortcut("u")}}},
      {"long lines and URLs are kept whole, names are fitted",
       "<DT><H3 ADD_DATE=\"1\">" + std::string(300, 'h') + "</H3>\n<DL><p>\n<DT><A HREF=\"" + url +
           "\" ICON=\"data:image/png;base64," + std::string(20000, 'Q') + "\">" + title +
           "</A>\n<DT><A HREF=\"v\">" + title + "</A>\n",
       {{folder, ""},
        {folder + std::string(251, 't') + ".URL", Shortcut(url)},
        {folder + std::string(247, 't') + " (2).URL", Shortcut("v")}}},
      {"a tag or title over 1 MiB is read whole when it is closed",
       "<DT><A HREF=\"" + hugeUrl + "\">Huge</A>\n<DT><A HREF=\"v\" ICON=\"" + hugeIcon +
           "\">Icon title</A>\n<DT><A HREF=\"w\">" + std::string(1536 * 1024, 'w') + "</A>\n",
       {{"Huge.URL", Shortcut(hugeUrl)},
        {"Icon title.URL", Shortcut("v")},
        {std::string(251, 'w') + ".URL", Shortcut("w")}}},
      {"a name cut at a space loses it, so it reads back the same",
       "<DT><H3>" + std::string(253, 'h') + " . . x</H3>\n<DL><p>\n<DT><A HREF=\"u\">" +
           std::string(250, 't') + " &nbsp;x</A>\n<DT><A HREF=\"v\">" + std::string(250, 't') +
           "  y</A>\n",
       {{std::string(253, 'h') + "/", ""},
        {std::string(253, 'h') + "/" + std::string(250, 't') + ".URL", Shortcut("u")},
        {std::string(253, 'h') + "/" + std::string(247, 't') + " (2).URL", Shortcut("v")}}},
  };
  for (const WalkCase& c : cases) {
    Reset();
    codePage = c.codePage;
    EXPECT_TRUE(Convert(c.file)) << c.what;
    EXPECT_EQ(Favourites(), c.tree) << c.what;
  }
}

// An existing shortcut file is replaced by a new one, never rewritten in place: a
// hard link elsewhere keeps the old bytes.
TEST_F(ConversionTest, AddsToAnExistingFolder) {
  fs::create_directories(favourites() + "/News");
  WriteFile(favourites() + "/News/Old.URL", "old");
  WriteFile(favourites() + "/News/Keep.URL", "keep");
  fs::create_hard_link(favourites() + "/News/Old.URL", temp / "elsewhere");
  ASSERT_TRUE(Convert("<DT><H3>News</H3>\n<DL><p>\n<DT><A HREF=\"new\">Old</A>\n</DL><p>\n"));
  EXPECT_EQ(Favourites(),
            (Tree{{"News/", ""}, {"News/Old.URL", Shortcut("new")}, {"News/Keep.URL", "keep"}}));
  EXPECT_EQ(ReadFile(temp / "elsewhere"), "old");
}

// Names from earlier runs are written over, never counted as taken: the second run
// leaves the folder exactly as the first left it, folder headings repeated or not.
TEST_F(ConversionTest, ARerunLeavesTheFolderAsTheFirstRunLeftIt) {
  std::string file;
  for (int round = 0; round < 3; ++round) {
    file += "<DT><H3>News</H3>\n<DL><p>\n<DT><A HREF=\"" + std::to_string(round) +
            "\">A</A>\n<DT><A HREF=\"x\">A</A>\n</DL><p>\n<DT><A HREF=\"t\">Top</A>\n";
  }
  ASSERT_TRUE(Convert(file));
  const Tree first = Favourites();
  EXPECT_EQ(first.size(), 10u);
  ASSERT_TRUE(Run());
  EXPECT_EQ(Favourites(), first);
}

// Writes beyond 64 bytes fail as on a full disk: the old file stays whole, and no
// new or temporary file is left.
TEST_F(ConversionTest, AFailedWriteLeavesTheOldFileAndNothingElse) {
  fs::create_directories(favourites());
  WriteFile(favourites() + "/Old.URL", "old");
  const std::string url(100, 'u');
  WriteFile(bookmarks(),
            "<DT><A HREF=\"" + url + "\">Old</A>\n<DT><A HREF=\"" + url + "\">New</A>\n");
  EXPECT_EQ(RunInChild([&] {
              LimitFileSize(64);
              bool result = Run();
              return !result && backend.messageTexts() == std::vector<std::string>{kNotWritten} &&
                             Favourites() == Tree{{"Old.URL", "old"}}
                         ? 0
                         : 1;
            }),
            0);
}

// Each case puts something in the way before the run, which then writes what it can
// and reports the rest; the tree is all that lies beside the bookmark file afterwards.
struct ObstacleCase {
  const char* what;
  void (*place)(const fs::path& favourites);
  std::string file;
  Tree tree;
};

TEST_F(ConversionTest, WhatCannotBeWrittenIsSkippedAndReported) {
  const std::string f = "Favourites/";
  const ObstacleCase cases[] = {
      {"a directory where a shortcut goes",
       [](const fs::path& favs) { fs::create_directory(favs / "Blocked.URL"); },
       "<DT><A HREF=\"a\">Blocked</A>\n<DT><A HREF=\"b\">Fine</A>\n",
       {{f, ""}, {f + "Blocked.URL/", ""}, {f + "Fine.URL", Shortcut("b")}}},
      {"a link to a device is not written through",
       [](const fs::path& favs) { fs::create_symlink("/dev/null", favs / "Null.URL"); },
       "<DT><A HREF=\"a\">Null</A>\n<DT><A HREF=\"b\">Fine</A>\n",
       {{f, ""}, {f + "Null.URL", "-> /dev/null"}, {f + "Fine.URL", Shortcut("b")}}},
      {"a link to a file outside leaves that file as it was",
       [](const fs::path& favs) {
         WriteFile(favs / "../outside", "outside");
         fs::create_symlink("../outside", favs / "Link.URL");
       },
       "<DT><A HREF=\"a\">Link</A>\n",
       {{f, ""}, {f + "Link.URL", "-> ../outside"}, {"outside", "outside"}}},
      {"a dangling link creates nothing where it points",
       [](const fs::path& favs) { fs::create_symlink("../created", favs / "Dangling.URL"); },
       "<DT><A HREF=\"a\">Dangling</A>\n",
       {{f, ""}, {f + "Dangling.URL", "-> ../created"}}},
      {"a named pipe neither blocks the run nor is written",
       [](const fs::path& favs) { ::mkfifo((favs / "Pipe.URL").c_str(), 0600); },
       "<DT><A HREF=\"a\">Pipe</A>\n<DT><A HREF=\"b\">Fine</A>\n",
       {{f, ""}, {f + "Pipe.URL", "<pipe>"}, {f + "Fine.URL", Shortcut("b")}}},
      {"a read-only shortcut file is never replaced, whoever runs",
       [](const fs::path& favs) {
         WriteFile(favs / "Locked.URL", "locked");
         fs::permissions(favs / "Locked.URL", fs::perms::owner_read | fs::perms::group_read);
       },
       "<DT><A HREF=\"a\">Locked</A>\n<DT><A HREF=\"b\">Fine</A>\n",
       {{f, ""}, {f + "Locked.URL", "locked"}, {f + "Fine.URL", Shortcut("b")}}},
      {"a file where a folder goes skips all it holds",
       [](const fs::path& favs) { WriteFile(favs / "Blocked", "a file"); },
       "<DT><H3>Blocked</H3>\n<DL><p>\n<DT><A HREF=\"1\">In</A>\n<DT><H3>Sub</H3>\n<DL><p>\n"
       "<DT><A HREF=\"2\">Deeper</A>\n</DL><p>\n</DL><p>\n<DT><A HREF=\"3\">After</A>\n"
       "<DT><H3>...</H3>\n<DL><p>\n<DT><A HREF=\"4\">Nameless</A>\n</DL><p>\n",
       {{f, ""}, {f + "Blocked", "a file"}, {f + "After.URL", Shortcut("3")}}},
      {"a linked folder is not entered, so nothing lands outside",
       [](const fs::path& favs) {
         fs::create_directories(favs / "../Elsewhere/Deeper");
         fs::create_directory_symlink("../Elsewhere/Deeper", favs / "News");
       },
       "<DT><H3>News</H3>\n<DL><p>\n<DT><A HREF=\"1\">In</A>\n</DL><p>\n"
       "<DT><A HREF=\"2\">After</A>\n",
       {{f, ""},
        {f + "News", "-> ../Elsewhere/Deeper"},
        {f + "After.URL", Shortcut("2")},
        {"Elsewhere/", ""},
        {"Elsewhere/Deeper/", ""}}},
  };
  for (const ObstacleCase& c : cases) {
    Reset();
    fs::create_directory(favourites());
    c.place(favourites());
    EXPECT_FALSE(Convert(c.file)) << c.what;
    EXPECT_EQ(Written(), c.tree) << c.what;
    ASSERT_EQ(backend.messages.size(), 1u) << c.what;
    EXPECT_EQ(backend.messages[0].text, kNotWritten) << c.what;
    EXPECT_EQ(backend.messages[0].icon, ui::Icon::Warning) << c.what;
    EXPECT_TRUE(InFavourites()) << c.what;
  }
}

// Meddles with the current directory before the fourth line is handled.
struct MeddlingProgress : ui::ProgressView {
  explicit MeddlingProgress(std::function<void()> meddle) : meddle(std::move(meddle)) {}
  void setStatus(std::string_view) override {}
  void setRange(std::uint32_t) override {}
  void setStep(int) override {}
  void setPosition(int) override {}
  void step() override {
    if (++steps == 4) meddle();
  }
  std::function<void()> meddle;
  int steps = 0;
};

struct MeddlingBackend : ScriptedBackend {
  explicit MeddlingBackend(std::function<void()> meddle) : meddle(std::move(meddle)) {}
  std::unique_ptr<ui::ProgressView> openProgress() override {
    return std::make_unique<MeddlingProgress>(meddle);
  }
  std::function<void()> meddle;
};

// Locks hold only for a plain user, so the run happens in a child that is one. True
// when the child's check found everything sound.
template <typename Check>
bool SoundAsPlainUser(const TempDir& temp, Check check) {
  return RunInChild([&] { return BecomePlainUserIfRoot(temp.path()) ? (check() ? 0 : 1) : 2; }) ==
         0;
}

struct WayUpCase {
  const char* what;
  void (*meddle)(const fs::path& temp);
  Tree written;
};

TEST_F(ConversionTest, LosingTheWayUpCountsTheRestAsNotWritten) {
  const std::string f = "Favourites/";
  const WayUpCase cases[] = {
      {"the folder cannot be left",
       [](const fs::path&) { fs::permissions(fs::current_path(), fs::perms::none); },
       {{f, ""},
        {f + "First.URL", Shortcut("a")},
        {f + "Doomed/", ""},
        {f + "Doomed/X.URL", Shortcut("x")}}},
      {"the folder was moved out of the Favourites folder",
       [](const fs::path& temp) { fs::rename(fs::current_path(), temp / "Moved"); },
       {{f, ""}, {f + "First.URL", Shortcut("a")}, {"Moved/", ""}, {"Moved/X.URL", Shortcut("x")}}},
  };
  for (const WayUpCase& c : cases) {
    Reset();
    WriteFile(bookmarks(),
              "<DT><A HREF=\"a\">First</A>\n<DT><H3>Doomed</H3><DL><p>\n<DT><A HREF=\"x\">X</A>\n"
              "</DL><p>\n<DT><A HREF=\"b\">Later</A>\n<DT><H3>Other</H3>\n");
    EXPECT_TRUE(SoundAsPlainUser(temp, [&] {
      MeddlingBackend meddling([&] { c.meddle(temp.path()); });
      bool result = ConvertBookmarksToFavourites(Settings(), meddling);
      std::error_code ignored;
      fs::permissions(favourites() + "/Doomed", fs::perms::owner_all, ignored);
      return !result && meddling.messageTexts() == std::vector<std::string>{kNotWritten} &&
             Written() == c.written && InFavourites();
    })) << c.what;
  }
}

TEST_F(ConversionTest, UnwritableFolderIsReported) {
  fs::create_directories(favourites());
  WriteFile(bookmarks(), "<DT><A HREF=\"u\">T</A>\n<DT><H3>F</H3>\n<DT><A HREF=\"v\">U</A>\n");
  EXPECT_TRUE(SoundAsPlainUser(temp, [this] {
    fs::permissions(favourites(), fs::perms::owner_read | fs::perms::owner_exec);
    return !Run() && backend.messageTexts() == std::vector<std::string>{kNotWritten} &&
           fs::is_empty(favourites());
  }));
}

// A bookmark file that cannot be opened or read is found out before the Favourites
// folder is entered, so a missing folder is not created for it. Locks hold only for a
// plain user, so each run happens in a child that is one.
TEST_F(ConversionTest, AnUnreadableBookmarkFileLeavesNoFavouritesFolder) {
  const std::string notOpened = "Unable to open Bookmark file!";
  const std::string notRead = "Unable to read Bookmark file!";
  struct Case {
    const char* what;
    void (*place)(const fs::path& bookmarks);
    std::string message;
  };
  const Case cases[] = {
      {"missing", [](const fs::path&) {}, notOpened},
      {"a directory", [](const fs::path& file) { fs::create_directory(file); }, notOpened},
      {"no permission to read",
       [](const fs::path& file) {
         WriteFile(file, "<DT><A HREF=\"u\">T</A>\n");
         fs::permissions(file, fs::perms::none);
       },
       notOpened},
      {"broken JSON",
       [](const fs::path& file) { WriteFile(file, "{\"roots\": {\"other\": {\"children\": ["); },
       notRead},
      {"a JSON object without roots",
       [](const fs::path& file) { WriteFile(file, "{\"version\": 1}"); }, notRead},
      {"not a database behind its header",
       [](const fs::path& file) {
         WriteFile(file, std::string("SQLite format 3\0", 16) + std::string(4096, 'x'));
       },
       notRead},
  };
  for (const Case& c : cases) {
    Reset();
    fs::remove_all(bookmarks());
    c.place(bookmarks());
    EXPECT_TRUE(SoundAsPlainUser(temp, [&] {
      return !Run() && backend.messageTexts() == std::vector<std::string>{c.message} &&
             backend.failures.size() == 1 && !backend.failures[0].reason.empty() &&
             !fs::exists(favourites());
    })) << c.what;
  }
}

// Reading a process's memory from its first byte fails with an I/O error, which a
// plain file on a healthy disk never does.
TEST_F(ConversionTest, AReadErrorIsReportedNotTakenForTheEnd) {
  if (!fs::exists("/proc/self/mem")) GTEST_SKIP() << "no /proc";
  ConversionSettings settings = Settings();
  settings.bookmarkFile = "/proc/self/mem";
  EXPECT_FALSE(ConvertBookmarksToFavourites(settings, backend));
  EXPECT_EQ(backend.messageTexts(), std::vector<std::string>{"Unable to read Bookmark file!"});
  EXPECT_EQ(backend.messages[0].icon, ui::Icon::Warning);
}

// The Favourites folder, or a folder in it, moved away while the run writes into it:
// a bounded number of files land there, then the run stops and says so.
TEST_F(ConversionTest, FoldersMovedAwayStopTheWritingWithinAFewFiles) {
  struct Case {
    const char* what;
    std::string from;  // below the temporary directory
  };
  const Case cases[] = {{"the Favourites folder renamed", "Favourites"},
                        {"a folder moved out of it", "Favourites/Sub"}};
  std::string file = "<DT><H3>Sub</H3>\n<DL><p>\n";
  for (int link = 0; link < 1000; ++link) {
    file += "<DT><A HREF=\"u\">L" + std::to_string(link) + "</A>\n";
  }
  file += "</DL><p>\n<DT><A HREF=\"v\">After</A>\n";
  for (const Case& c : cases) {
    Reset();
    WriteFile(bookmarks(), file);
    MeddlingBackend meddling([&] { fs::rename(temp / c.from, temp / "Moved"); });
    EXPECT_FALSE(ConvertBookmarksToFavourites(Settings(), meddling)) << c.what;
    EXPECT_EQ(meddling.messageTexts(), std::vector<std::string>{kNotWritten}) << c.what;
    const std::size_t landed = ReadTree(temp / "Moved").size();
    EXPECT_LE(landed, 70u) << c.what;
    EXPECT_FALSE(fs::exists(favourites() + "/After.URL")) << c.what;
  }
}

// With the address space bounded, a closed tag larger than the memory left cannot be
// held: the run gives up with its message instead of aborting.
TEST_F(ConversionTest, RunningOutOfMemoryIsReported) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than any bound";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "the address sanitizer reserves more address space than any bound";
#endif
#endif
  WriteFile(bookmarks(), "<DT><A HREF=\"u\">Before</A>\n<DT><A HREF=\"" +
                             std::string(std::size_t{48} << 20, 'u') + "\">Huge</A>\n");
  EXPECT_EQ(RunInChild([&] {
              LimitAddressSpace(std::size_t{32} << 20);
              bool result = Run(true);
              return !result && backend.messageTexts() == std::vector<std::string>{kNotWritten} &&
                             ReadFile(favourites() + "/Before.URL") == Shortcut("u") &&
                             !fs::exists(favourites() + "/Huge.URL")
                         ? 0
                         : 1;
            }),
            0);
}

TEST_F(ConversionTest, DeepNestingNeedsNoPathLimit) {
  std::string file = "<DT><A HREF=\"deep\">Deep</A>\n";
  std::string deepest = favourites();
  for (int level = 0; level < 1000; ++level) {
    file = "<DT><H3>d</H3>\n<DL><p>\n" + file + "</DL><p>\n";
    deepest += "/d";
  }
  ASSERT_TRUE(Convert(file + "<DT><A HREF=\"top\">Top</A>\n", true));
  EXPECT_EQ(ReadFile(deepest + "/Deep.URL"), Shortcut("deep"));
  EXPECT_EQ(ReadFile(favourites() + "/Top.URL"), Shortcut("top"));
  EXPECT_TRUE(InFavourites());
}

TEST_F(ConversionTest, GarbageNeverLeavesTheFavouritesFolder) {
  using namespace std::string_view_literals;
  const std::string_view pieces[] = {
      "<DT>", "<H3>", "</H3>", "<A HREF=\"", "\"", ">", "</A>", "</DL><P>", "..",   "/",
      "\\",   "&",    "&#",    ";",          "x",  " ", "\n",   "\r",       "\0"sv, "\xFF"};
  std::mt19937 random(12345);
  for (int round = 0; round < 20; ++round) {
    std::string file;
    for (int i = 0; i < 400; ++i) file += pieces[random() % std::size(pieces)];
    for (int i = 0; i < 200; ++i) file += static_cast<char>(random() % 256);
    CurrentDirectoryGuard restore;
    Convert(file);
    std::string here = fs::current_path().string();
    EXPECT_TRUE(here.starts_with(favourites())) << here;
  }
  for (const auto& [path, bytes] : Written()) {
    EXPECT_TRUE(path.starts_with("Favourites/")) << path;
  }
}

}  // namespace
}  // namespace pelmo::testing

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "fav2book/bookmark_writer.h"
#include "fav2book/classic_bookmarks.h"
#include "fav2book/favourites_to_bookmarks.h"
#include "fav2book/text_encoding.h"
#include "favourites_fixture.h"
#include "platform/paths.h"
#include "support/child_process.h"
#include "support/scripted_backend.h"

// Lets a test make one allocation fail, as on a machine that has run out of memory:
// the allocation that many from now throws, and the later ones succeed again.
constexpr std::size_t kNoFailure = SIZE_MAX;
std::size_t allocationsBeforeFailure = kNoFailure;

void* operator new(std::size_t size) {
  if (allocationsBeforeFailure != kNoFailure && allocationsBeforeFailure-- == 0) {
    allocationsBeforeFailure = kNoFailure;
    throw std::bad_alloc();
  }
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return ::operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
// The blocks come from malloc above, which the compiler cannot see.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
  std::free(block);
}
#pragma GCC diagnostic pop

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
// The entries of the sample tree (an empty folder, a link, a folder holding a link),
// from its first folder to the closing line.
const std::string kEntries =
    "\t<DT><H3 FOLDED>Empty</H3>\r\n\r\n\t<DL><P>\r\n\r\n\t</DL><P>\r\n\r\n"
    "\t<DT><A HREF=\"file:///C:/news.htm\">News</A>\r\n\r\n"
    "\t<DT><H3 FOLDED>Tools && Tips</H3>\r\n\r\n\t<DL><P>\r\n\r\n"
    "\t\t<DT><A HREF=\"file:///C:/search.htm\">Search</A>\r\n\r\n"
    "\t</DL><P>\r\n\r\n"
    "</DL><P>\r\n\r\n";
const std::string kClose = "</DL><P>\r\n\r\n";
// The old file is read in pieces of this size.
constexpr std::size_t kReadPiece = 64 * 1024;
// An export that ends before the end of its top-level list.
const std::string kCutShort =
    "<DL><p>\n<DT><H3>F</H3>\n<DL><p>\n<DT><A HREF=\"http://a/\">A</A>\n</DL><p>\n"
    "<DT><A HREF=\"http://b/\">B</A>\n";
const std::string kBookmarklet =
    "<dl><p>\n<dt><a href=\"javascript:x('</dl>')\">k</a>\n<dt><a href=\"http://b/\">B</a>\n";

// UTF-16 in either byte order, from UTF-16 text or from ASCII.
std::string Utf16(std::u16string_view text, bool bigEndian) {
  std::string bytes;
  for (char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}
std::string Utf16(std::string_view ascii, bool bigEndian) {
  return Utf16(std::u16string(ascii.begin(), ascii.end()), bigEndian);
}

class ConvertTest : public ::testing::Test {
 protected:
  ConvertTest() {
    std::filesystem::create_directories(favourites());
    std::filesystem::create_directories(outDir());
    settings.favouritesFolder = favourites().string();
    settings.bookmarkFile = bookmarks();
    settings.bookmarkTitle = kTitle;
  }

  std::filesystem::path favourites() const { return dir.path() / "Favorites"; }
  std::string bookmarks() const { return (dir.path() / "out" / "bookmarks.html").string(); }
  std::filesystem::path outDir() const { return dir.path() / "out"; }

  void MakeSampleTree() {
    std::filesystem::create_directories(favourites() / "Empty");
    std::filesystem::create_directories(favourites() / "Tools & Tips");
    WriteShortcut(favourites() / "News.url", "file:///C:/news.htm");
    WriteShortcut(favourites() / "Tools & Tips" / "Search.url", "file:///C:/search.htm");
    WriteFile(favourites() / "desktop.ini", "[.ShellClassInfo]\r\nIconIndex=1\r\n");
  }
  // The bookmark file has a directory of its own, so leftovers can be seen.
  void ExpectOnlyBookmarks(const std::string& bytes, std::string_view what = "") {
    EXPECT_EQ(testing::ReadTree(outDir()),
              (std::map<std::string, std::string>{{"bookmarks.html", bytes}}))
        << what;
  }
  bool Convert() { return ConvertFavouritesToBookmarks(settings, backend); }

  TempDir dir;
  ConversionSettings settings;
  ScriptedBackend backend;
};

TEST_F(ConvertTest, WritesTheSampleTreeByteForByte) {
  MakeSampleTree();
  ASSERT_TRUE(Convert());
  const std::string written = ReadFile(bookmarks());
  EXPECT_EQ(written, kHeader + kEntries);
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
  ExpectOnlyBookmarks(oldHead + "\t<HR>\r\n\r\n" + kEntries);
  EXPECT_EQ(backend.overwriteQuestions, 1);
}

TEST_F(ConvertTest, AnswersToTheOverwriteQuestionNeverLeaveOldBytesBehind) {
  MakeSampleTree();
  using ui::OverwriteChoice;
  const std::string before = "<DL><p>\r\n\t<DT><A HREF=\"http://old/\">Old</A>\r\n";
  const struct {
    const char* what;
    OverwriteChoice choice;
    std::string old;
    std::string expected;
  } cases[] = {
      {"cancel touches nothing", OverwriteChoice::Cancel, "old", "old"},
      {"replace writes a fresh file", OverwriteChoice::Replace,
       "<DL>old</DL>" + std::string(1000, 'o'), kHeader + kEntries},
      {"a tail after the list end stays after the new list", OverwriteChoice::Merge,
       before + "</DL><P>\r\n" + std::string(5000, 'x'),
       before + "\t<HR>\r\n\r\n" + kEntries + std::string(5000, 'x')},
      {"the list end that closes no heading ends the top list", OverwriteChoice::Merge,
       "<DL><DT><H3>F</H3><DL>a</DL>b</DL>c",
       "<DL><DT><H3>F</H3><DL>a</DL>b\t<HR>\r\n\r\n" + kEntries + "c"},
      {"no merge point keeps the whole text", OverwriteChoice::Merge, "just text\r\n",
       "just text\r\n" + kHeader + kEntries},
      {"list ends count in any letter case", OverwriteChoice::Merge, "<dl></dl>",
       "<dl>\t<HR>\r\n\r\n" + kEntries},
      {"a list end at offset 0 counts as none", OverwriteChoice::Merge, "</DL>x",
       "</DL>x" + kHeader + kEntries},
      {"an empty file gets the header", OverwriteChoice::Merge, "", kHeader + kEntries},
      {"a list end across two reads", OverwriteChoice::Merge,
       std::string(kReadPiece - 2, 'a') + "</DL>tail",
       std::string(kReadPiece - 2, 'a') + "\t<HR>\r\n\r\n" + kEntries + "tail"},
      {"a long tail behind an early list end", OverwriteChoice::Merge,
       "head</DL>" + std::string(3 * kReadPiece, 't'),
       "head\t<HR>\r\n\r\n" + kEntries + std::string(3 * kReadPiece, 't')},
      {"an export cut short before its last list end is kept whole", OverwriteChoice::Merge,
       kCutShort, kCutShort + kHeader + kEntries},
      {"an export cut inside a URL gets the URL closed", OverwriteChoice::Merge,
       "<DL><p>\n<DT><A HREF=\"http://cu",
       "<DL><p>\n<DT><A HREF=\"http://cu\">" + kHeader + kEntries},
      {"a list end in a bookmarklet's URL ends nothing", OverwriteChoice::Merge,
       kBookmarklet + "</dl><p>\n", kBookmarklet + "\t<HR>\r\n\r\n" + kEntries},
      {"a list end in a trailing comment ends nothing", OverwriteChoice::Merge,
       before + "</DL><p>\n<!-- </DL> -->\n",
       before + "\t<HR>\r\n\r\n" + kEntries + "<!-- </DL> -->\n"},
      {"UTF-16 is merged in UTF-16", OverwriteChoice::Merge,
       Utf16(u"\uFEFF<DL><p>\r\n<DT><A HREF=\"http://\u00E9/\">\u00E9</A>\r\n</DL><p>\r\n", false),
       Utf16(u"\uFEFF<DL><p>\r\n<DT><A HREF=\"http://\u00E9/\">\u00E9</A>\r\n", false) +
           Utf16(u"\t<HR>\r\n\r\n", false) + Utf16(kEntries, false)},
      {"big-endian UTF-16 too, also when cut short", OverwriteChoice::Merge,
       Utf16(u"\uFEFF<DL><p>\n<DT><A HREF=\"x\">", true) + "\x01",
       Utf16(u"\uFEFF<DL><p>\n<DT><A HREF=\"x\">", true) + "\x01" + std::string(1, '\0') +
           Utf16(kHeader + kEntries, true)},
  };
  for (const auto& c : cases) {
    WriteFile(bookmarks(), c.old);
    ScriptedBackend local;
    local.overwriteAnswers = {c.choice};
    const bool cancelled = c.choice == OverwriteChoice::Cancel;
    EXPECT_EQ(ConvertFavouritesToBookmarks(settings, local), !cancelled) << c.what;
    ExpectOnlyBookmarks(c.expected, c.what);
    EXPECT_TRUE(local.messages.empty()) << c.what;
    EXPECT_EQ(local.overwriteQuestions, 1) << c.what;
    EXPECT_EQ(local.progressLog.empty(), cancelled) << c.what;
  }
}

TEST_F(ConvertTest, EmptyFavouritesGiveTheHeaderAndTheClosingLine) {
  settings.quiet = true;
  ASSERT_TRUE(Convert());
  EXPECT_EQ(ReadFile(bookmarks()), kHeader + kClose);
  EXPECT_TRUE(backend.progressLog.empty());
}

TEST_F(ConvertTest, EscapesMarkupInNamesAndQuotesInUrls) {
  std::filesystem::create_directories(favourites() / "R&D <new>");
  WriteShortcut(favourites() / "a & b.url", "http://x/?a=1&b=2");
  WriteShortcut(favourites() / "say \"hi\".url", "http://x/\"><script>");
  WriteShortcut(favourites() / "caf\xE9.url", "http://caf\xE9/");
  WriteShortcut(favourites() / "ref\x01s\t.url", "http://x/?q=&amp;&#65;&lt&x=1&");
  ASSERT_TRUE(Convert());
  EXPECT_EQ(
      ReadFile(bookmarks()),
      kHeader + "\t<DT><A HREF=\"http://x/?a=1&b=2\">a && b</A>\r\n\r\n" +
          // A name and a URL that are not UTF-8 are read in windows-1252.
          "\t<DT><A HREF=\"http://caf\xC3\xA9/\">caf\xC3\xA9</A>\r\n\r\n" +
          "\t<DT><H3 FOLDED>R&&D &lt;new&gt;</H3>\r\n\r\n\t<DL><P>\r\n\r\n\t</DL><P>\r\n\r\n" +
          "\t<DT><A HREF=\"http://x/?q=&amp;amp;&amp;#65;&amp;lt&x=1&\">ref&#1;s&#9;</A>\r\n\r\n" +
          "\t<DT><A HREF=\"http://x/&quot;><script>\">say \"hi\"</A>\r\n\r\n" + kClose);
  // A name at the longest a file name can be is never cut once doubled.
  EXPECT_EQ(EscapeName(std::string(255, '&')), std::string(510, '&'));
  // The title is escaped as names are, but for its '&', and cut before a character
  // that would not fit.
  const std::string title = "&lt;b&gt;A & B&amp;lt;&lt;/b&gt;&#10;";
  EXPECT_EQ(BookmarkHeader("<b>A & B&lt;</b>\n"), "<TITLE>" + title + "</TITLE>\r\n\r\n<H1>" +
                                                      title + "</H1>\r\n\r\n\r\n<DL><p>\r\n\r\n");
  const std::string longTitle = std::string(125, 't') + "\xC3\xA9\xE2\x82\xAC";
  EXPECT_EQ(BookmarkHeader(longTitle), BookmarkHeader(longTitle.substr(0, 127)));
  EXPECT_EQ(BookmarkHeader(longTitle), BookmarkHeader(longTitle.substr(0, 128)));
  EXPECT_EQ(BookmarkHeader(longTitle).size(), 45 + 2 * 127u);
}

// The dialect current browsers write: their header, names as HTML, dates from the
// shortcut or its file, web icons, the Links folder as the toolbar; merged the same way.
TEST_F(ConvertTest, ModernWritesWhatBrowsersReadAsMeant) {
  namespace fs = std::filesystem;
  const auto at = [](std::int64_t seconds) {
    return fs::file_time_type::clock::from_sys(
        std::chrono::sys_seconds(std::chrono::seconds(seconds)));
  };
  fs::create_directories(favourites() / "Links" / "Links");
  WriteFile(favourites() / "AT&T.url",
            "[InternetShortcut]\r\nURL=http://att/?a=1&b=2\r\nModified=0080A621C989D601D4\r\n"
            "IconFile=https://att/favicon.ico\r\n");
  WriteFile(favourites() / "Links" / "Tom & Jerry.url",
            "[InternetShortcut]\r\nURL=http://tj/\r\nIconFile=C:\\icons\\tj.ico\r\n");
  WriteShortcut(favourites() / "<b> \"q\"\x01\t.url", "http://b/");
  fs::last_write_time(favourites() / "AT&T.url", at(1700000000));
  fs::last_write_time(favourites() / "Links" / "Tom & Jerry.url", at(1500000000));
  fs::last_write_time(favourites() / "<b> \"q\"\x01\t.url", at(1400000000));
  fs::last_write_time(favourites() / "Links" / "Links", at(1300000000));
  fs::last_write_time(favourites() / "Links", at(1200000000));
  settings.modern = true;
  settings.bookmarkTitle = "Tom & <Jerry>";
  ASSERT_TRUE(Convert());
  const std::string entries =
      "    <DT><A HREF=\"http://b/\" ADD_DATE=\"1400000000\">&lt;b&gt; &quot;q&quot;</A>\n"
      "    <DT><A HREF=\"http://att/?a=1&b=2\" ADD_DATE=\"1600000000\" "
      "ICON_URI=\"https://att/favicon.ico\">AT&amp;T</A>\n"
      "    <DT><H3 ADD_DATE=\"1200000000\" LAST_MODIFIED=\"1200000000\" "
      "PERSONAL_TOOLBAR_FOLDER=\"true\">Links</H3>\n    <DL><p>\n"
      "        <DT><H3 ADD_DATE=\"1300000000\" LAST_MODIFIED=\"1300000000\">Links</H3>\n"
      "        <DL><p>\n        </DL><p>\n"
      "        <DT><A HREF=\"http://tj/\" ADD_DATE=\"1500000000\">Tom &amp; Jerry</A>\n"
      "    </DL><p>\n"
      "</DL><p>\n";
  const std::string written = ReadFile(bookmarks());
  EXPECT_EQ(written,
            "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<!-- This is an automatically generated file.\n"
            "     It will be read and overwritten.\n     DO NOT EDIT! -->\n"
            "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
            "<TITLE>Tom &amp; &lt;Jerry&gt;</TITLE>\n<H1>Tom &amp; &lt;Jerry&gt;</H1>\n<DL><p>\n" +
                entries);

  const struct {
    const char* what;
    std::string old;
    std::string expected;
  } merges[] = {
      {"into its own file", written,
       written.substr(0, written.size() - 9) + "    <HR>\n" + entries},
      {"into a file without a list", "just text\n",
       "just text\n<TITLE>Tom &amp; &lt;Jerry&gt;</TITLE>\n<H1>Tom &amp; &lt;Jerry&gt;</H1>\n"
       "<DL><p>\n" +
           entries},
  };
  for (const auto& c : merges) {
    WriteFile(bookmarks(), c.old);
    ScriptedBackend local;
    local.overwriteAnswers = {ui::OverwriteChoice::Merge};
    EXPECT_TRUE(ConvertFavouritesToBookmarks(settings, local)) << c.what;
    ExpectOnlyBookmarks(c.expected, c.what);
  }
}

// One windows-1251 name among UTF-8 ones changes no other name, and the Unicode
// section gives the exact URL.
TEST_F(ConvertTest, NamesThatAreNotUtf8AreReadInTheNamedCodePage) {
  const std::string moscow = "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0";
  std::filesystem::create_directories(favourites() / "\xCC\xEE\xF1\xEA\xE2\xE0");
  WriteShortcut(favourites() / "\xCC\xEE\xF1\xEA\xE2\xE0" / (moscow + ".url"), "http://a/");
  WriteFile(
      favourites() / "\xF2.url",
      "[InternetShortcut]\r\nURL=http://\xF2/\r\n[InternetShortcut.W]\r\nURL=http://+BEI-/\r\n");
  settings.codePage = 1251;
  settings.quiet = true;
  ASSERT_TRUE(Convert());
  EXPECT_EQ(ReadFile(bookmarks()),
            kHeader + "\t<DT><H3 FOLDED>" + moscow + "</H3>\r\n\r\n\t<DL><P>\r\n\r\n" +
                "\t\t<DT><A HREF=\"http://a/\">" + moscow + "</A>\r\n\r\n\t</DL><P>\r\n\r\n" +
                "\t<DT><A HREF=\"http://\xD1\x82/\">\xD1\x82</A>\r\n\r\n" + kClose);
}

// The new text of a merge into a UTF-16 file: every character in the file's byte
// order, and a byte that is not UTF-8 as U+FFFD, never cut into other characters.
TEST(EncodeTextTest, WritesUtf16InEitherByteOrder) {
  const struct {
    std::string utf8;
    std::u16string utf16;
  } cases[] = {
      {"A\xC3\xA9\xE2\x82\xAC", u"A\u00E9\u20AC"},
      {"\xF0\x9F\x94\x96", u"\U0001F516"},
      {"caf\xE9!", u"caf\uFFFD!"},
      {"\xE2\x82", u"\uFFFD\uFFFD"},
      {"\xC0\xAF\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeText(c.utf8, TextEncoding::Utf16Le), Utf16(c.utf16, false)) << c.utf8;
    EXPECT_EQ(EncodeText(c.utf8, TextEncoding::Utf16Be), Utf16(c.utf16, true)) << c.utf8;
    EXPECT_EQ(EncodeText(c.utf8, TextEncoding::Bytes), c.utf8);
  }
}

TEST_F(ConvertTest, IndentsEveryLevelBeyondFortyAndClimbsBackOut) {
  std::filesystem::path deepest = favourites();
  for (int level = 0; level < 45; ++level) deepest /= "d";
  std::filesystem::create_directories(deepest / "inner");
  WriteShortcut(deepest / "s.url", "u");
  WriteShortcut(favourites() / "top.url", "t");
  ASSERT_TRUE(Convert());
  auto tabs = [](int depth) { return std::string(depth, '\t'); };
  std::string expected = kHeader;
  for (int depth = 1; depth <= 45; ++depth) {
    expected += tabs(depth) + "<DT><H3 FOLDED>d</H3>\r\n\r\n" + tabs(depth) + "<DL><P>\r\n\r\n";
  }
  expected += tabs(46) + "<DT><H3 FOLDED>inner</H3>\r\n\r\n" + tabs(46) + "<DL><P>\r\n\r\n" +
              tabs(46) + kClose + tabs(46) + "<DT><A HREF=\"u\">s</A>\r\n\r\n";
  for (int depth = 45; depth >= 1; --depth) expected += tabs(depth) + kClose;
  EXPECT_EQ(ReadFile(bookmarks()), expected + "\t<DT><A HREF=\"t\">top</A>\r\n\r\n" + kClose);
}

TEST_F(ConvertTest, ScansTheCurrentDirectoryForAnEmptyFolderPath) {
  MakeSampleTree();
  testing::CurrentDirectoryGuard guard;
  std::filesystem::current_path(favourites());
  settings.favouritesFolder.clear();
  ASSERT_TRUE(Convert());
  EXPECT_EQ(ReadFile(bookmarks()), kHeader + kEntries);
}

TEST_F(ConvertTest, WritesWhatCouldBeReadThenReportsWhatCouldNot) {
  MakeSampleTree();
  std::filesystem::create_directories(favourites() / "Locked");
  WriteShortcut(favourites() / "Locked" / "hidden.url", "http://hidden/");
  ASSERT_EQ(::chmod((favourites() / "Locked").string().c_str(), 0), 0);
  const std::string empty =
      "\t<DT><H3 FOLDED>Empty</H3>\r\n\r\n\t<DL><P>\r\n\r\n\t</DL><P>\r\n\r\n";
  const std::string expected =
      kHeader + empty + "\t<DT><H3 FOLDED>Locked</H3>\r\n\r\n\t<DL><P>\r\n\r\n\t</DL><P>\r\n\r\n" +
      kEntries.substr(empty.size());
  auto run = [&] {
    if (!testing::BecomePlainUserIfRoot(dir.path())) return 64;
    settings.automatic = true;
    const bool converted = Convert();
    const bool told =
        backend.messageTexts() == std::vector<std::string>{"Unable to read some Favourites!"} &&
        backend.messages[0].icon == ui::Icon::Warning;
    return (converted ? 1 : 0) | (told ? 0 : 2) | (ReadFile(bookmarks()) == expected ? 0 : 4);
  };
  EXPECT_EQ(testing::RunInChild(run), 0);
}

TEST_F(ConvertTest, ReportsWhatCannotBeOpened) {
  const std::string locked = (outDir() / "locked.html").string();
  WriteFile(locked, "old");
  ::chmod(locked.c_str(), 0444);  // read-only, even for root
  // A browser's own stores, whatever their names.
  const std::string database = (outDir() / "places.html").string();
  const std::string chromium = (outDir() / "Bookmarks").string();
  WriteFile(database, std::string("SQLite format 3\0rest", 20));
  WriteFile(chromium, "\xEF\xBB\xBF {\n   \"checksum\": \"\"}");
  const struct {
    const char* what;
    std::string folder;
    std::string file;
    std::string message;
  } cases[] = {
      {"folder path too long", std::string(platform::MaxPathSize() - 3, 'f'), bookmarks(),
       "Unable to open Favourites folder!"},
      {"folder before file", (dir.path() / "none").string(), "",
       "Unable to open Favourites folder!"},
      {"empty file path", favourites().string(), "", "Unable to open Bookmark file!"},
      {"file is a directory", favourites().string(), dir.str(), "Unable to open Bookmark file!"},
      {"missing directory", favourites().string(), (dir.path() / "no" / "b.html").string(),
       "Unable to open Bookmark file!"},
      {"read-only file, refused before asking", favourites().string(), locked,
       "Unable to open Bookmark file!"},
      {"a browser's database", favourites().string(), database, "Unable to open Bookmark file!"},
      {"a browser's JSON file", favourites().string(), chromium, "Unable to open Bookmark file!"},
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
  EXPECT_EQ(ReadFile(locked), "old");
  EXPECT_EQ(ReadFile(database), std::string("SQLite format 3\0rest", 20));
}

TEST_F(ConvertTest, LeavesTheOldFileWhenItCannotBeReadReplacedOrWritten) {
  MakeSampleTree();
  for (int i = 0; i < 50; ++i) {
    WriteShortcut(favourites() / ("link" + std::to_string(i) + ".url"), "http://example.com/");
  }
  WriteFile(bookmarks(), "old</DL>");
  auto run = [this] {
    if (!testing::BecomePlainUserIfRoot(dir.path())) return 64;
    ::chmod(bookmarks().c_str(), 0200);  // Merge needs to read it
    backend.overwriteAnswers = {ui::OverwriteChoice::Merge};
    const bool merged = Convert();
    ::chmod(bookmarks().c_str(), 0600);

    ::chmod(outDir().string().c_str(), 0500);  // no temporary file beside it
    backend.overwriteAnswers = {ui::OverwriteChoice::Replace};
    const bool replaced = Convert();
    ::chmod(outDir().string().c_str(), 0700);

    // A full disk: the output is far above the limit, the old file below it.
    testing::LimitFileSize(1024);
    settings.automatic = true;
    const bool written = Convert();
    bool told =
        backend.messageTexts() == std::vector<std::string>{"Unable to open Bookmark file!",
                                                           "Unable to open Bookmark file!",
                                                           "Unable to write Bookmark file!"};
    for (const auto& message : backend.messages) told = told && message.icon == ui::Icon::Warning;
    return (merged ? 1 : 0) | (replaced ? 2 : 0) | (written ? 4 : 0) | (told ? 0 : 8);
  };
  EXPECT_EQ(testing::RunInChild(run), 0);
  ExpectOnlyBookmarks("old</DL>");
}

TEST_F(ConvertTest, MergeAsksNothingInAutomaticModeOnly) {
  MakeSampleTree();
  const std::string old = "<DL><p>\r\n\t<DT><A HREF=\"http://old/\">Old</A>\r\n</DL><p>\r\n";
  const struct {
    bool automatic;
    int questions;
    std::string expected;  // the question, when asked, is answered Replace
  } cases[] = {
      {true, 0, "<DL><p>\r\n\t<DT><A HREF=\"http://old/\">Old</A>\r\n\t<HR>\r\n\r\n" + kEntries},
      {false, 1, kHeader + kEntries},
  };
  for (const auto& c : cases) {
    WriteFile(bookmarks(), old);
    settings.automatic = c.automatic;
    settings.merge = true;
    ScriptedBackend local;
    local.overwriteAnswers = {ui::OverwriteChoice::Replace};
    EXPECT_TRUE(ConvertFavouritesToBookmarks(settings, local));
    EXPECT_EQ(local.overwriteQuestions, c.questions);
    ExpectOnlyBookmarks(c.expected);
  }
}

// A backend whose progress window runs the test's code at each status and step.
class HookedBackend : public ScriptedBackend {
 public:
  std::function<void(std::string_view)> onStatus = [](std::string_view) {};
  std::function<void()> onStep = [] {};
  std::function<void()> onClose = [] {};

  std::unique_ptr<ui::ProgressView> openProgress() override {
    return std::make_unique<HookedProgress>(*this);
  }

 private:
  class HookedProgress : public ui::ProgressView {
   public:
    explicit HookedProgress(HookedBackend& backend) : backend_(backend) {}
    ~HookedProgress() override { backend_.onClose(); }
    void setStatus(std::string_view text) override { backend_.onStatus(text); }
    void setRange(std::uint32_t) override {}
    void setStep(int) override {}
    void step() override { backend_.onStep(); }
    void setPosition(int) override {}

   private:
    HookedBackend& backend_;
  };
};

// The walk is the long part of a run: no temporary file stands beside the old
// file while it goes on.
TEST_F(ConvertTest, TheTemporaryFileIsMadeOnlyAfterTheWalk) {
  MakeSampleTree();
  WriteFile(bookmarks(), "old");
  HookedBackend local;
  local.overwriteAnswers = {ui::OverwriteChoice::Replace};
  bool writing = false;
  int stepsWhileWalking = 0;
  local.onStatus = [&](std::string_view text) { writing = text == "Writing converted file..."; };
  local.onStep = [&] {
    if (writing) return;
    ++stepsWhileWalking;
    ExpectOnlyBookmarks("old", "while walking");
  };
  ASSERT_TRUE(ConvertFavouritesToBookmarks(settings, local));
  EXPECT_EQ(stepsWhileWalking, 2);
  ExpectOnlyBookmarks(kHeader + kEntries);
}

// Whichever allocation fails while the file is written, the run ends normally: a
// whole new file, or the old one untouched with the failure reported, and never a
// temporary file left.
TEST_F(ConvertTest, RunningOutOfMemoryWhileWritingLeavesAWholeFile) {
  MakeSampleTree();
  const std::string old = "<DL><p>old</DL><P>\r\n";
  for (std::size_t failing = 0;; ++failing) {
    WriteFile(bookmarks(), old);
    // Armed once the tree is collected, disarmed when the progress window closes.
    HookedBackend local;
    local.onStatus = [failing](std::string_view text) {
      if (text == "Writing converted file...") allocationsBeforeFailure = failing;
    };
    local.onClose = [] { allocationsBeforeFailure = kNoFailure; };
    local.overwriteAnswers = {ui::OverwriteChoice::Merge};
    const bool converted = ConvertFavouritesToBookmarks(settings, local);
    const std::string after = ReadFile(bookmarks());
    if (converted) {
      EXPECT_EQ(after, "<DL><p>old\t<HR>\r\n\r\n" + kEntries) << failing;
      EXPECT_GE(failing, 3u) << "the writing allocates less than expected";
      break;  // no allocation was left to fail
    }
    EXPECT_EQ(after, old) << failing;
    EXPECT_EQ(local.messageTexts(), std::vector<std::string>{"Unable to write Bookmark file!"})
        << failing;
    ExpectOnlyBookmarks(after, std::to_string(failing));
  }
}

}  // namespace
}  // namespace pelmo

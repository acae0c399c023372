#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/charset.h"
#include "platform/directory.h"
#include "platform/favourites_output.h"
#include "platform/names.h"
#include "platform/profile.h"
#include "platform/replace.h"
#include "platform/win32/move_into_place.h"
#include "support/temp_dir.h"

namespace pelmo::platform {
namespace {

using pelmo::testing::ReadFile;
using pelmo::testing::TempDir;
using pelmo::testing::WriteFile;

BOOL WINAPI NotImplemented(LPCSTR, LPCSTR, DWORD) {
  ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return FALSE;
}

BOOL WINAPI MoveFails(LPCSTR, LPCSTR) {
  ::SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}

// Moves only to a backup name: nothing can be moved onto the target any more.
BOOL WINAPI MovesOnlyAside(LPCSTR from, LPCSTR to) {
  if (!std::string_view(to).ends_with(".bak")) return MoveFails(from, to);
  return ::MoveFileA(from, to);
}

int FilesIn(const TempDir& dir) {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    ++count;
  }
  return count;
}

TEST(MoveIntoPlace, FallsBackWhereTheOneStepMoveIsNotImplemented) {
  struct Case {
    const char* label;
    bool targetExists;
    MoveCalls calls;
    bool moved;
    int filesLeft = 2;  // when not moved
  };
  MoveCalls windows95;
  windows95.moveFileEx = NotImplemented;
  MoveCalls windows95Stuck = windows95;
  windows95Stuck.moveFile = MoveFails;
  MoveCalls windows95NoWayBack = windows95;
  windows95NoWayBack.moveFile = MovesOnlyAside;
  const Case cases[] = {
      {"one step", true, {}, true},
      {"backup, move, delete", true, windows95, true},
      {"no old file", false, windows95, true},
      {"moves fail", true, windows95Stuck, false},
      // The old file is copied back from the backup, which stays.
      {"neither file moves back", true, windows95NoWayBack, false, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    WriteFile(dir / "new.tmp", "new");
    if (c.targetExists) WriteFile(dir / "bookmark.htm", "old");
    EXPECT_EQ(MoveIntoPlace(dir / "new.tmp", dir / "bookmark.htm", c.calls), c.moved);
    if (c.moved) {
      EXPECT_EQ(ReadFile(dir / "bookmark.htm"), "new");
      EXPECT_EQ(FilesIn(dir), 1) << "no backup or temporary file left";
    } else {
      EXPECT_EQ(ReadFile(dir / "bookmark.htm"), "old");
      EXPECT_EQ(ReadFile(dir / "new.tmp"), "new");
      EXPECT_EQ(FilesIn(dir), c.filesLeft);
    }
  }
}

TEST(ReplacementFile, KeepsTheHiddenAttribute) {
  TempDir dir;
  const std::string target = dir / "bookmark.htm";
  WriteFile(target, "old");
  ASSERT_TRUE(::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_HIDDEN));
  std::optional<ReplacementFile> replacement = ReplacementFile::create(target);
  ASSERT_TRUE(replacement);
  ASSERT_TRUE(replacement->write("new"));
  ASSERT_TRUE(replacement->commit());
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_TRUE(::GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(FilesIn(dir), 1);
}

TEST(NativeName, MakesNamesTheFileSystemKeeps) {
  struct Case {
    std::string title;
    std::string name;
  };
  const Case cases[] = {
      {"CON", "_CON"},    {"nul", "_nul"},       {"com1.txt", "_com1.txt"}, {"LPT9 ", "_LPT9"},
      {"COM10", "COM10"}, {"COM0", "COM0"},      {"Console", "Console"},    {"Notes. . ", "Notes"},
      {"...", ""},        {"CLOCK$", "_CLOCK$"}, {"clock$.x", "_clock$.x"}, {"CLOCK", "CLOCK"},
  };
  for (const Case& c : cases) EXPECT_EQ(NativeName(c.title), c.name) << c.title;
}

// The test runs with Wine's default ANSI code page, windows-1252.
TEST(TextConverter, ConvertsToTheAnsiCodePage) {
  struct Case {
    const char* charset;
    std::string text;
    std::string converted;
  };
  const Case cases[] = {
      {"UTF-8", "Caf\xC3\xA9", "Caf\xE9"},
      {"utf-8", "\xE6\x97\xA5\xE6\x9C\xAC go", "__ go"},  // characters the code page lacks
      {"UTF-8", "\xF0\x9F\x98\x80", "__"},                // outside the BMP: two halves
      {"UTF-8",
       "a\xE9"
       "b\xC3",
       "a_b_"},  // not UTF-8: each byte replaced
      {"windows-1252", "Caf\xE9", "Caf\xE9"},
      {"ISO-8859-1", "\x80", "\x80"},
      {"x-mac-roman", "Caf\x8E", "Caf\xE9"},
      {"windows-1251", "\xC0", "_"},  // Cyrillic A
      // Look-alikes are no conversion: alpha, fullwidth C.
      {"UTF-8", "\xCE\xB1 \xEF\xBC\xA3", "_ _"},
  };
  for (const Case& c : cases) {
    std::optional<TextConverter> converter = TextConverter::open(c.charset);
    ASSERT_TRUE(converter) << c.charset;
    EXPECT_EQ(converter->convert(c.text), c.converted) << c.charset << " " << c.text;
  }
  EXPECT_FALSE(TextConverter::open("no-such-charset"));
  // Into UTF-8 on every system, and ANSI text stays as it is.
  EXPECT_EQ(TextConverter::openToUtf8("windows-1251")->convert("\xF2\xE5"), "\xD1\x82\xD0\xB5");
  EXPECT_EQ(AnsiText(1251).text("Caf\xE9"), "Caf\xE9");
}

// A title is cut at a character of the ANSI code page, not at a UTF-8 boundary.
TEST(CutAtCharacter, KeepsCharactersOfTheAnsiCodePageWhole) {
  EXPECT_EQ(CutAtCharacter("Caf\xE9", 127), "Caf\xE9");
  EXPECT_EQ(CutAtCharacter("Tsch\xFC\xDF", 127), "Tsch\xFC\xDF");
  EXPECT_EQ(CutAtCharacter("Tsch\xFC\xDF", 5), "Tsch\xFC");
}

TEST(NameKey, MatchesNamesAsTheFileSystemDoes) {
  EXPECT_EQ(NameKey("News.url"), NameKey("NEWS.URL"));
  EXPECT_EQ(NameKey("caf\xE9"), NameKey("CAF\xC9"));
  EXPECT_NE(NameKey("News"), NameKey("News "));
}

// A path near the limit: names are cut to the room it leaves, and a folder that cannot
// be entered leaves the current directory where it was.
TEST(Directory, FitsNamesToThePathLimit) {
  TempDir dir;
  std::string deep = dir.str();
  // Piece by piece: "\\" + string trips a false -Wrestrict in GCC 12.
  while (deep.size() + 41 < 230) deep.append("\\").append(40, 'd');
  deep.append("\\").append(std::max<std::size_t>(1, 229 - deep.size()), 'e');
  ASSERT_TRUE(std::filesystem::create_directories(deep));
  const std::optional<std::string> before = CurrentDirectory();
  ASSERT_EQ(ChangeDirectory(deep), kErrorNone);
  const std::string here = *CurrentDirectory();
  EXPECT_EQ(RoomForName(NewEntry::File), MAX_PATH - 1 - here.size() - 1);
  EXPECT_EQ(RoomForName(NewEntry::Folder), MAX_PATH - 14 - here.size() - 1);
  EXPECT_FALSE(EnterSubdirectory(std::string(RoomForName(NewEntry::Folder) + 1, 'x')));
  EXPECT_EQ(*CurrentDirectory(), here);
  EXPECT_TRUE(EnterSubdirectory(std::string(RoomForName(NewEntry::Folder), 'x')));
  EXPECT_EQ(RoomForName(NewEntry::Folder), 0U);
  EXPECT_FALSE(EnterSubdirectory("y"));
  EXPECT_TRUE(EnterParentDirectory());
  EXPECT_EQ(*CurrentDirectory(), here);
  ChangeDirectory(*before);
}

// Names the ANSI code page cannot show are listed with '_' for its '?', or with a
// look-alike, and read by their short names.
TEST(Directory, ReadsNamesOutsideTheCodePage) {
  TempDir dir;
  const std::wstring folder = std::filesystem::path(dir.str()).wstring() + L"\\\u65E5\u672C";
  ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
  for (const wchar_t* name : {L"\\\u0391 news.url", L"\\\u2229 math.url"}) {
    HANDLE file = ::CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const char bytes[] = "[InternetShortcut]\r\nURL=http://a/\r\n";
    DWORD wrote = 0;
    ::WriteFile(file, bytes, sizeof bytes - 1, &wrote, nullptr);
    ::CloseHandle(file);
  }

  std::optional<DirectoryListing> top = DirectoryListing::open(dir.str());
  ASSERT_TRUE(top);
  DirectoryEntry entry;
  while (top->next(entry) && entry.name != "__") {
  }
  ASSERT_EQ(entry.name, "__");
  ListingOpen child = top->openChild(entry.name);
  ASSERT_TRUE(child.listing);
  ReadBuffer buffer;
  std::vector<std::string> read;
  while (child.listing->next(entry)) {
    if (entry.kind != EntryKind::File) continue;
    ASSERT_EQ(child.listing->readFile(entry.name, 99, buffer), FileReadStatus::Read) << entry.name;
    EXPECT_EQ(FindProfileValue(buffer.bytes(), "InternetShortcut", "URL"), "http://a/")
        << entry.name;
    read.push_back(entry.name);
  }
  EXPECT_EQ(read.size(), 2U);
  EXPECT_NE(std::find(read.begin(), read.end(), "_ news.url"), read.end());
}

}  // namespace
}  // namespace pelmo::platform

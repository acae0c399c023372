#include "app/main_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/paths.h"
#include "res/resource.h"
#include "support/scripted_backend.h"

namespace pelmo {
namespace {

using testing::Click;
using testing::Drop;
using testing::ScriptedBackend;
using testing::Type;
using testing::UserAction;

constexpr ConversionMode kFtb = ConversionMode::FavouritesToBookmarks;
constexpr ConversionMode kBtf = ConversionMode::BookmarksToFavourites;

ConversionSettings Record(ConversionMode mode) {
  ConversionSettings settings;
  settings.mode = mode;
  settings.favouritesFolder = "/home/u/Favorites";
  settings.bookmarkFile = "/home/u/bookmark.htm";
  settings.bookmarkTitle = "Title";
  return settings;
}

struct DialogRun {
  bool accepted;
  ConversionSettings settings;
  ScriptedBackend backend;
};

// Opens the dialog on a record in mode and plays actions; Escape when they run out.
void Play(DialogRun& run, ConversionMode mode, std::vector<UserAction> actions) {
  run.settings = Record(mode);
  run.backend.dialogAvailable = true;
  run.backend.userActions = std::move(actions);
  run.accepted = MainDialog(run.settings, run.backend);
}

bool SameRecord(const ConversionSettings& a, const ConversionSettings& b) {
  return a.mode == b.mode && a.favouritesFolder == b.favouritesFolder &&
         a.bookmarkFile == b.bookmarkFile && a.bookmarkTitle == b.bookmarkTitle;
}

// A dialog that cannot be created counts as Cancel; its message points to --help only
// where there is a console to write it to.
TEST(MainDialog, ThatCannotBeShownEndsAsCancelWithAHint) {
  for (bool console : {true, false}) {
    ConversionSettings settings = Record(ConversionMode::FavouritesToBookmarks);
    ScriptedBackend backend;
    backend.console = console;
    EXPECT_FALSE(MainDialog(settings, backend));
    ASSERT_EQ(backend.messageTexts().size(), 1U);
    const std::string text = backend.messageTexts().front();
    EXPECT_NE(text.find("/auto"), std::string::npos) << text;
    EXPECT_EQ(text.find("--help") != std::string::npos, console) << text;
  }
}

TEST(MainDialog, TheRecordChangesOnOkOnly) {
  const std::string longPath(platform::MaxPathSize() + 10, 'p');
  ConversionSettings typed = Record(kBtf);
  typed.favouritesFolder = "Favs";
  typed.bookmarkFile = "out.html";
  typed.bookmarkTitle = "Mine";
  ConversionSettings cut = Record(kFtb);
  cut.favouritesFolder = longPath.substr(0, platform::MaxPathSize() - 1);
  cut.bookmarkTitle = std::string(127, 't');
  ConversionSettings disabledTitle = Record(kBtf);
  disabledTitle.bookmarkTitle = "Kept";
  struct Case {
    const char* name;
    ConversionMode openedIn;
    std::vector<UserAction> actions;
    bool accepted;
    ConversionSettings expected;
  };
  const Case cases[] = {
      {"ok keeps what was shown", kBtf, {Click(IDOK)}, true, Record(kBtf)},
      {"typed values and direction",
       kFtb,
       {Type(IDC_FAVOURITES_FOLDER, "Favs"), Type(IDC_BOOKMARK_FILE, "out.html"),
        Type(IDC_BOOKMARK_TITLE, "Mine"), Click(IDC_BOOKMARKS_TO_FAVOURITES), Click(IDOK)},
       true,
       typed},
      {"over-long texts are cut",
       kFtb,
       {Type(IDC_FAVOURITES_FOLDER, longPath), Type(IDC_BOOKMARK_TITLE, std::string(200, 't')),
        Click(IDOK)},
       true,
       cut},
      {"a disabled title is still read",
       kBtf,
       {Type(IDC_BOOKMARK_TITLE, "Kept"), Click(IDC_BOOKMARKS_TO_FAVOURITES), Click(IDOK)},
       true,
       disabledTitle},
      {"cancel drops the edits",
       kFtb,
       {Type(IDC_FAVOURITES_FOLDER, "x"), Click(IDC_BOOKMARKS_TO_FAVOURITES), Click(IDCANCEL),
        Click(IDOK)},
       false,
       Record(kFtb)},
      {"escape drops the edits", kFtb, {Type(IDC_BOOKMARK_FILE, "x")}, false, Record(kFtb)},
  };
  for (const Case& c : cases) {
    DialogRun run;
    Play(run, c.openedIn, c.actions);
    EXPECT_EQ(run.accepted, c.accepted) << c.name;
    EXPECT_TRUE(SameRecord(run.settings, c.expected)) << c.name;
  }
}

TEST(MainDialog, TheTitleBoxFollowsTheDirectionFromTheFirstClick) {
  struct Case {
    ConversionMode openedIn;
    std::vector<UserAction> clicks;
    bool titleEnabled;
  };
  const Case cases[] = {
      {kBtf, {}, true},
      {kFtb, {}, true},
      {kBtf, {Click(IDC_BOOKMARKS_TO_FAVOURITES)}, false},
      {kBtf, {Click(IDC_FAVOURITES_TO_BOOKMARKS)}, true},
      {kFtb, {Click(IDC_BOOKMARKS_TO_FAVOURITES), Click(IDC_FAVOURITES_TO_BOOKMARKS)}, true},
  };
  for (const Case& c : cases) {
    DialogRun run;
    Play(run, c.openedIn, c.clicks);
    const testing::ScriptedControls& dialog = run.backend.dialogControls;
    if (c.clicks.empty()) {
      const int button =
          c.openedIn == kFtb ? IDC_FAVOURITES_TO_BOOKMARKS : IDC_BOOKMARKS_TO_FAVOURITES;
      EXPECT_EQ(dialog.checked, std::set<int>{button});
      EXPECT_EQ(dialog.texts.at(IDC_BOOKMARK_FILE), "/home/u/bookmark.htm");
    }
    EXPECT_EQ(!dialog.disabled.contains(IDC_BOOKMARK_TITLE), c.titleEnabled)
        << static_cast<int>(c.openedIn) << " after " << c.clicks.size() << " clicks";
  }
}

TEST(MainDialog, ADroppedNameFillsTheBoxItBelongsIn) {
  struct Case {
    std::string name;
    bool isDirectory;
    std::string folderBox;
    std::string fileBox;
  };
  const std::string folder = "/home/u/Favorites";
  const std::string file = "/home/u/bookmark.htm";
  // A browser's store is known by its file's name, after the system's separator.
  const auto N = [](std::string path) {
    std::replace(path.begin(), path.end(), '/', platform::NativePathStyle().separator);
    return path;
  };
  const Case cases[] = {
      {"/d/Links", true, "/d/Links", file},
      {"/d/links.htm", true, "/d/links.htm", file},
      {"/d/Export.HTML", false, folder, "/d/Export.HTML"},
      {"/d/a.htmx.txt", false, folder, "/d/a.htmx.txt"},
      {"/d/notes.txt", false, folder, file},
      {N("/c/Default/Bookmarks"), false, folder, N("/c/Default/Bookmarks")},
      {N("/p/x.default-esr/places.sqlite"), false, folder, N("/p/x.default-esr/places.sqlite")},
      {N("/p/PLACES.SQLITE"), false, folder, N("/p/PLACES.SQLITE")},
      {N("/p/Bookmarks.bak"), false, folder, file},
      {N("/p/places.sqlite-wal"), false, folder, file},
      {N("/p/Bookmarks/notes"), false, folder, file},
      {N("/p/Bookmarks"), true, N("/p/Bookmarks"), file},
      {"", false, folder, file},
  };
  for (const Case& c : cases) {
    DialogRun run;
    if (c.isDirectory) run.backend.dialogControls.directories.insert(c.name);
    Play(run, kFtb, {Drop(c.name)});
    const testing::ScriptedControls& dialog = run.backend.dialogControls;
    EXPECT_EQ(dialog.texts.at(IDC_FAVOURITES_FOLDER), c.folderBox) << c.name;
    EXPECT_EQ(dialog.texts.at(IDC_BOOKMARK_FILE), c.fileBox) << c.name;
    EXPECT_TRUE(SameRecord(run.settings, Record(kFtb))) << c.name;
  }
}

TEST(MainDialog, BrowsersStartFromTheBoxAndFillItUnlessCancelled) {
  struct Case {
    int button;
    std::string boxText;
    std::optional<std::string> answer;
    std::string directory;  // where the file browser starts
    std::string fileName;
    std::string boxAfter;
  };
  const Case cases[] = {
      {IDC_BROWSE_FILE, "/home/u/bookmark.htm", "/tmp/b.html", "/home/u/", "bookmark.htm",
       "/tmp/b.html"},
      {IDC_BROWSE_FILE, "bookmark.htm", std::nullopt, "", "bookmark.htm", "bookmark.htm"},
      {IDC_BROWSE_FILE, "", std::nullopt, "", "", ""},
      {IDC_BROWSE_FILE, "/home/u/", std::nullopt, "/home/u/", "", "/home/u/"},
      {IDC_BROWSE_FOLDER, "Favs", "/home/u/Links", "", "", "/home/u/Links"},
      {IDC_BROWSE_FOLDER, "Favs", std::nullopt, "", "", "Favs"},
  };
  for (const Case& c : cases) {
    const int box = c.button == IDC_BROWSE_FILE ? IDC_BOOKMARK_FILE : IDC_FAVOURITES_FOLDER;
    DialogRun run;
    run.backend.dialogControls.browseAnswers = {c.answer};
    Play(run, kFtb, {Type(box, c.boxText), Click(c.button)});
    const testing::ScriptedControls& dialog = run.backend.dialogControls;
    EXPECT_EQ(dialog.texts.at(box), c.boxAfter) << c.boxText;
    if (c.button == IDC_BROWSE_FILE) {
      ASSERT_EQ(dialog.fileBrowses.size(), 1u);
      EXPECT_EQ(dialog.fileBrowses[0].title, "Select Bookmarks file");
      EXPECT_EQ(dialog.fileBrowses[0].directory, c.directory) << c.boxText;
      EXPECT_EQ(dialog.fileBrowses[0].fileName, c.fileName) << c.boxText;
    } else {
      EXPECT_EQ(dialog.folderBrowses, std::vector<std::string>{"Select Favourites folder."});
    }
  }
}

}  // namespace
}  // namespace pelmo

// The desktop backend driven as a user would drive it: a private virtual X server, keys
// and clicks sent with xdotool while the dialog runs. Skipped when Xvfb or xdotool is
// missing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <FL/Fl.H>
#include <FL/filename.H>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/overwrite_question.h"
#include "other_client.h"
#include "res/resource.h"
#include "ui/bookmark_file_kinds.h"
#include "ui/fltk/dialog_units.h"
#include "ui/fltk/fltk_backend.h"
#include "ui/fltk/uri_list.h"
#include "xdnd_drop.h"

namespace pelmo::ui {
namespace {

bool OnPath(const std::string& program) {
  return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

pid_t LockHolder(const std::string& lock) {
  std::ifstream in(lock);
  long pid = -1;
  in >> pid;
  return in ? static_cast<pid_t>(pid) : -1;
}

// A virtual X server of this process's own, so that no key lands on a real desktop.
class VirtualDisplay {
 public:
  VirtualDisplay() {
    if (!OnPath("Xvfb") || !OnPath("xdotool")) return;
    for (int number = 87; number < 120 && !backend_; ++number) start(number);
  }
  ~VirtualDisplay() {
    backend_.reset();
    if (server_ > 0) {
      ::kill(server_, SIGTERM);
      ::waitpid(server_, nullptr, 0);
    }
  }
  Backend* backend() { return backend_.get(); }

 private:
  // Starts a server on a display number that no other server holds, and waits for its
  // socket.
  void start(int number) {
    const std::string name = ":" + std::to_string(number);
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
    const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
    if (::access(socket.c_str(), F_OK) == 0 || ::access(lock.c_str(), F_OK) == 0) return;
    server_ = ::fork();
    if (server_ == 0) {
      ::prctl(PR_SET_PDEATHSIG, SIGTERM);  // no server left behind by a test that crashed
      ::execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", "1024x768x24", "-dpi", "96",
               "-nolisten", "tcp", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    for (int tries = 0; tries < 100; ++tries) {
      if (::waitpid(server_, nullptr, WNOHANG) == server_) break;  // it gave up
      // The lock names the server that won the number; suites run side by side may race.
      if (::access(socket.c_str(), F_OK) == 0 && LockHolder(lock) == server_) {
        ::setenv("DISPLAY", name.c_str(), 1);
        backend_ = MakeFltkBackend();
        return;
      }
      ::usleep(100 * 1000);
    }
    ::kill(server_, SIGTERM);
    ::waitpid(server_, nullptr, 0);
    server_ = -1;
  }

  pid_t server_ = -1;
  std::unique_ptr<Backend> backend_;
};

Backend* TestBackend() {
  static VirtualDisplay display;
  return display.backend();
}

// Waits for the first visible window with this title, gives it the focus, then runs each
// xdotool command in turn (a typed text runs to the end of its command).
std::thread Drive(const std::string& title, const std::vector<std::string>& commands) {
  // Bounded, so that a window that never shows fails the test instead of hanging it.
  std::string pattern;
  for (char c : title) {
    if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos) pattern += '\\';
    pattern += c;
  }
  std::string script = "timeout 20 xdotool search --sync --onlyvisible --name '^" + pattern +
                       "$' windowfocus --sync %1";
  for (const std::string& command : commands) script += " && xdotool " + command;
  // How it ended shows in what the dialog received.
  return std::thread([script] {
    [[maybe_unused]] int ended = std::system((script + " >/dev/null 2>&1").c_str());
  });
}

// Stands in for the program's main dialog logic: fills the boxes, follows the radio
// buttons, and keeps what OK read.
class RecordingLogic : public DialogLogic {
 public:
  void opened(DialogControls& controls) override {
    controls.setText(IDC_FAVOURITES_FOLDER, startFolder);
    controls.setText(IDC_BOOKMARK_FILE, "/book.html");
    controls.setText(IDC_BOOKMARK_TITLE, "Title");
    controls.checkRadio(IDC_FAVOURITES_TO_BOOKMARKS, IDC_BOOKMARKS_TO_FAVOURITES, startMode);
    // A dialog that nobody answers must not hang the suite.
    Fl::add_timeout(
        20, [](void* c) { static_cast<DialogControls*>(c)->end(-1); }, &controls);
    controls_ = &controls;
  }
  void command(DialogControls& controls, int controlId) override {
    commands.push_back(controlId);
    if (controlId == IDC_FAVOURITES_TO_BOOKMARKS || controlId == IDC_BOOKMARKS_TO_FAVOURITES) {
      controls.enable(IDC_BOOKMARK_TITLE, controls.isChecked(IDC_FAVOURITES_TO_BOOKMARKS));
    } else if (controlId == IDOK) {
      folder = controls.getText(IDC_FAVOURITES_FOLDER, 260);
      file = controls.getText(IDC_BOOKMARK_FILE, 260);
      title = controls.getText(IDC_BOOKMARK_TITLE, 128);
      favouritesToBookmarks = controls.isChecked(IDC_FAVOURITES_TO_BOOKMARKS);
      controls.end(1);
    } else if (controlId == IDCANCEL) {
      controls.end(0);
    } else if (controlId == IDC_BROWSE_FILE) {
      if (auto chosen = controls.browseFile("Select Bookmarks file", browseFrom, browseName)) {
        controls.setText(IDC_BOOKMARK_FILE, *chosen);
      }
    } else if (controlId == IDC_BROWSE_FOLDER) {
      if (auto chosen = controls.browseFolder("Select Favourites folder.")) {
        controls.setText(IDC_FAVOURITES_FOLDER, *chosen);
      }
    }
  }
  void dropped(DialogControls&, std::string_view name) override { drops.emplace_back(name); }
  ~RecordingLogic() override { Fl::remove_timeout(nullptr, controls_); }

  // What the dialog starts with, and where the file browser is told to start.
  std::string startFolder = "/fav";
  int startMode = IDC_FAVOURITES_TO_BOOKMARKS;
  std::string browseFrom = "/tmp/", browseName;

  std::vector<int> commands;
  std::vector<std::string> drops;
  std::string folder, file, title;
  bool favouritesToBookmarks = false;

 private:
  DialogControls* controls_ = nullptr;
};

// The centre of a main dialog control, in pixels, for a click.
std::string ClickOn(int x, int y, int width, int height) {
  const DialogTemplate* dialogs[] = {FindDialogTemplate(IDD_MAIN)};
  const DialogUnits units = ChooseDialogFont(dialogs).units;
  return "getwindowfocus mousemove --window %1 " + std::to_string(units.toPixelsX(x + width / 2)) +
         " " + std::to_string(units.toPixelsY(y + height / 2)) + " click 1";
}

TEST(FltkBackend, MainDialogFollowsKeysAndClicks) {
  Backend* backend = TestBackend();
  if (!backend) GTEST_SKIP() << "needs Xvfb, xdotool and FLTK";
  // Far wider than its box: the box scrolls sideways and OK reads it whole.
  std::string longPath = "/home/a-user-with-a-long-name/Documents/Browser exports";
  while (longPath.size() < 115) longPath += "/deeper";
  longPath = longPath.substr(0, 115) + ".html";
  struct Row {
    std::string what;
    std::vector<std::string> actions;
    int result;
    std::vector<int> commands;
    std::string file, title;  // as OK read them, with the folder "/fav"
    bool favouritesToBookmarks;
  };
  const Row rows[] = {
      {"Enter is OK", {"key Return"}, 1, {1}, "/book.html", "Title", true},
      {"Escape is Cancel", {"key Escape"}, 0, {2}, "", "", false},
      {"a radio button's mnemonic",
       {"key alt+b Return"},
       1,
       {106, 1},
       "/book.html",
       "Title",
       false},
      {"a label's mnemonic leads to its box",
       {"key alt+t ctrl+a", "type Mine", "key Return"},
       1,
       {1},
       "/book.html",
       "Mine",
       true},
      {"Tab passes over the radio button that is not selected",
       {"key Tab Tab Tab ctrl+a", "type /t.htm", "key Return"},
       1,
       {1},
       "/t.htm",
       "Title",
       true},
      {"tab order: folder, its Browse, file",
       {"key alt+v Tab Tab ctrl+a", "type /b.htm", "key Return"},
       1,
       {1},
       "/b.htm",
       "Title",
       true},
      {"a file name that does not exist yet, from the file browser",
       {"key alt+o",
        "search --sync --onlyvisible --name '^Select Bookmarks file$' windowfocus --sync %1",
        "key ctrl+a", "type /tmp/pelmo-not-there.html", "key Return", "sleep 1",
        "search --sync --onlyvisible --name '^PELMO v1.04$' windowfocus --sync %1",
        "key Tab Return"},
       1,
       {104, 1},
       "/tmp/pelmo-not-there.html",
       "Title",
       true},
      {"Enter presses the focused button", {"key alt+k Tab Tab Tab Return"}, 0, {2}, "", "", false},
      {"a click on a radio button",
       {ClickOn(11, 31, 94, 12), "key Return"},
       1,
       {106, 1},
       "/book.html",
       "Title",
       false},
      {"a 120-character path typed in",
       {"key alt+k ctrl+a", "type '" + longPath + "'", "key Return"},
       1,
       {1},
       longPath,
       "Title",
       true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    RecordingLogic logic;
    std::thread user = Drive("PELMO v1.04", row.actions);
    const std::optional<int> result = backend->runDialog(IDD_MAIN, logic);
    user.join();
    EXPECT_EQ(result, row.result);
    EXPECT_EQ(logic.commands, row.commands);
    EXPECT_EQ(logic.folder, row.result == 1 ? "/fav" : "");
    EXPECT_EQ(logic.file, row.file);
    EXPECT_EQ(logic.title, row.title);
    EXPECT_EQ(logic.favouritesToBookmarks, row.favouritesToBookmarks);
  }
}

// The choosers start where the boxes point; the file chooser opens an existing file for
// Bookmarks to Favourites and takes a new name for Favourites to Bookmarks.
TEST(FltkBackend, ChoosersStartAtTheBoxesPaths) {
  Backend* backend = TestBackend();
  if (!backend) GTEST_SKIP() << "needs Xvfb, xdotool and FLTK";
  const std::string root = ::testing::TempDir() + "pelmo-choosers-" + std::to_string(::getpid());
  std::filesystem::create_directories(root + "/sub");
  std::ofstream(root + "/sub/old.html") << "<DL>\n";
  const std::string chooser =
      "search --sync --onlyvisible --name '^Select (Bookmarks file|Favourites folder\\.)$' "
      "sleep 1 windowfocus --sync %1";
  const std::string back =
      "sleep 1 search --sync --onlyvisible --name '^PELMO v1.04$' windowfocus --sync %1";
  struct Row {
    std::string what;
    int mode;
    std::string browseFrom, browseName;
    std::vector<std::string> actions;
    std::string file, folder;  // as OK read them
  };
  const std::string f2b = "key alt+o";
  const Row rows[] = {
      {"save: the folder of the box's path, with its name",
       IDC_FAVOURITES_TO_BOOKMARKS,
       root + "/sub/",
       "new.html",
       {f2b, chooser, "key Return", back, "key alt+k Return"},
       root + "/sub/new.html",
       root + "/sub"},
      {"save: the nearest folder that exists",
       IDC_FAVOURITES_TO_BOOKMARKS,
       root + "/missing/deeper/",
       "new.html",
       {f2b, chooser, "key Return", back, "key alt+k Return"},
       root + "/new.html",
       root + "/sub"},
      {"open: an existing file",
       IDC_BOOKMARKS_TO_FAVOURITES,
       root + "/sub/",
       "old.html",
       {f2b, chooser, "type old.html", "sleep 0.5", "key Return", back, "key alt+k Return"},
       root + "/sub/old.html",
       root + "/sub"},
      {"the folder chooser opens at the box's folder",
       IDC_FAVOURITES_TO_BOOKMARKS,
       root + "/sub/",
       "",
       {"key alt+r", chooser, "key Return", back, "key alt+k Return"},
       "/book.html",
       root + "/sub"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    RecordingLogic logic;
    logic.startFolder = root + "/sub";
    logic.startMode = row.mode;
    logic.browseFrom = row.browseFrom;
    logic.browseName = row.browseName;
    std::thread user = Drive("PELMO v1.04", row.actions);
    EXPECT_EQ(backend->runDialog(IDD_MAIN, logic), 1);
    user.join();
    EXPECT_EQ(logic.file, row.file);
    EXPECT_EQ(logic.folder, row.folder);
  }
  std::filesystem::remove_all(root);
}

TEST(FltkBackend, FilesDroppedFromAFileManagerReachTheLogic) {
  Backend* backend = TestBackend();
  if (!backend) GTEST_SKIP() << "needs Xvfb, xdotool and FLTK";
  RecordingLogic logic;
  bool taken = false;
  std::thread fileManager([&taken] {
    std::FILE* search =
        ::popen("timeout 20 xdotool search --sync --onlyvisible --name '^PELMO v1\\.04$'", "r");
    unsigned long window = 0;
    if (search && std::fscanf(search, "%lu", &window) == 1) {
      // The dialog stands in the middle of the screen.
      taken = testing::DropUriList(nullptr, window, 512, 384,
                                   "file:///tmp/Book%20marks.HTML\r\nfile:///tmp/other\r\n");
    }
    if (search) ::pclose(search);
    EXPECT_EQ(std::system("xdotool key Escape >/dev/null 2>&1"), 0);
  });
  backend->runDialog(IDD_MAIN, logic);
  fileManager.join();
  EXPECT_TRUE(taken);
  EXPECT_EQ(logic.drops, std::vector<std::string>{"/tmp/Book marks.HTML"});
}

TEST(FltkBackend, QuestionsAnswerAsPressed) {
  Backend* backend = TestBackend();
  if (!backend) GTEST_SKIP() << "needs Xvfb, xdotool and FLTK";
  struct OverwriteRow {
    std::string keys;
    OverwriteChoice expected;
  };
  for (const OverwriteRow& row :
       {OverwriteRow{"Return", OverwriteChoice::Merge},
        OverwriteRow{"Escape", OverwriteChoice::Cancel},
        OverwriteRow{"alt+r", OverwriteChoice::Replace}, OverwriteRow{"m", OverwriteChoice::Merge},
        OverwriteRow{"Tab Tab Return", OverwriteChoice::Cancel}}) {
    SCOPED_TRACE(row.keys);
    std::thread user = Drive("PELMO", {"key " + row.keys});
    EXPECT_EQ(AskOverwrite(*backend), row.expected);
    user.join();
  }
  struct QuestionRow {
    std::string keys;
    bool expected;
  };
  for (const QuestionRow& row : {QuestionRow{"Return", true}, QuestionRow{"Escape", false},
                                 QuestionRow{"Tab Return", false}}) {
    SCOPED_TRACE(row.keys);
    std::thread user = Drive(std::string(kTitleLine), {"key " + row.keys});
    EXPECT_EQ(backend->askOkCancel("Create it?"), row.expected);
    user.join();
  }
}

TEST(FltkBackend, ProgressWindowShowsUntilClosedAndGivesTheInputBack) {
  Backend* backend = TestBackend();
  if (!backend) GTEST_SKIP() << "needs Xvfb, xdotool and FLTK";
  const std::string visible = "xdotool search --onlyvisible --name '^PELMO$' >/dev/null 2>&1";
  {
    std::unique_ptr<ProgressView> progress = backend->openProgress();
    ASSERT_NE(progress, nullptr);
    progress->setStatus("http://example.com/");
    progress->setRange(800);
    progress->setPosition(-5);
    EXPECT_EQ(std::system(visible.c_str()), 0);
    // A message while the window is open still gets its answer.
    std::thread user = Drive(std::string(kTitleLine), {"key Escape"});
    backend->showMessage("Unable to write the file!", Icon::Warning);
    user.join();
  }
  EXPECT_NE(std::system(visible.c_str()), 0);
}

// Waits for a visible window with this title and asks it to close, as its frame's close
// box does.
std::thread CloseWhenShown(const std::string& title) {
  return std::thread([title] {
    const std::string search =
        "timeout 20 xdotool search --sync --onlyvisible --name '^" + title + "$'";
    std::FILE* found = ::popen(search.c_str(), "r");
    unsigned long window = 0;
    if (found && std::fscanf(found, "%lu", &window) == 1) testing::RequestClose(window);
    if (found) ::pclose(found);
  });
}

TEST(FltkBackend, CloseBoxCancelsTheDialogsButNotTheProgressWindow) {
  Backend* backend = TestBackend();
  if (!backend) GTEST_SKIP() << "needs Xvfb, xdotool and FLTK";
  {
    RecordingLogic logic;
    std::thread windowManager = CloseWhenShown("PELMO v1\\.04");
    EXPECT_EQ(backend->runDialog(IDD_MAIN, logic), 0);
    windowManager.join();
    EXPECT_EQ(logic.commands, std::vector<int>{IDCANCEL});
    EXPECT_EQ(logic.file, "");
  }
  {
    std::thread windowManager = CloseWhenShown("PELMO");
    EXPECT_EQ(AskOverwrite(*backend), OverwriteChoice::Cancel);
    windowManager.join();
  }
  {
    std::unique_ptr<ProgressView> progress = backend->openProgress();
    ASSERT_NE(progress, nullptr);
    CloseWhenShown("PELMO").join();
    // The request is handled while the conversion reports its progress.
    for (int i = 0; i < 10; ++i) {
      progress->setStatus("http://example.com/" + std::to_string(i));
      std::this_thread::sleep_for(std::chrono::milliseconds(60));
    }
    EXPECT_EQ(std::system("xdotool search --onlyvisible --name '^PELMO$' >/dev/null 2>&1"), 0);
  }
}

TEST(FltkBackend, AConversionLeavesOtherProgramsTheirInput) {
  Backend* backend = TestBackend();
  if (!backend) GTEST_SKIP() << "needs Xvfb, xdotool and FLTK";
  std::unique_ptr<ProgressView> progress = backend->openProgress();
  ASSERT_NE(progress, nullptr);
  progress->setStatus("http://example.com/");
  {
    testing::OtherProgram other;
    EXPECT_EQ(std::system("xdotool key x"), 0);
    EXPECT_TRUE(other.received(KeyPress));
    EXPECT_EQ(std::system("xdotool mousemove 20 20 click 1"), 0);
    EXPECT_TRUE(other.received(ButtonPress));
  }
  // Enter typed at the progress window answers nothing: the question after the
  // conversion waits for its own answer.
  EXPECT_EQ(
      std::system("xdotool search --onlyvisible --name '^PELMO$' windowfocus --sync key Return"),
      0);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  progress.reset();
  std::thread user = Drive(std::string(kTitleLine), {"sleep 0.5", "key Escape"});
  EXPECT_FALSE(backend->askOkCancel("Create it?"));
  user.join();
}

TEST(DroppedFile, FirstLocalNameOfTheList) {
  struct Row {
    std::string list;
    std::string expected;
  };
  for (const Row& row : {
           Row{"file:///home/a/Book%20marks.HTM\r\nfile:///home/a/b.html\r\n",
               "/home/a/Book marks.HTM"},
           Row{"# from a file manager\nfile://localhost/tmp/x%2", "/tmp/x%2"},
           Row{"FILE:/tmp/%C3%A9t%c3%a9", "/tmp/\xC3\xA9t\xC3\xA9"},
           Row{"/already/plain name\n", "/already/plain name"},
           Row{"file://otherhost/tmp/x", ""},
           Row{"http://example.com/a.htm", ""},
           Row{"file:///tmp/a%00b", ""},
           Row{"", ""},
       }) {
    SCOPED_TRACE(row.list);
    EXPECT_EQ(FirstDroppedFile(row.list), row.expected);
  }
}

// The chooser's filter as FLTK's own matcher reads it: each kind's pattern takes the
// names it is meant for, in any letter case, and no name meant for another kind.
TEST(ChooserFilter, FltkMatchesEachKindByItsPattern) {
  std::vector<std::string> patterns;
  const std::string filter = FltkChooserFilter(BookmarkFileUse::Read);
  for (std::size_t at = 0; at < filter.size();) {
    const std::size_t end = std::min(filter.find('\n', at), filter.size());
    const std::string line = filter.substr(at, end - at);
    patterns.push_back(line.substr(line.find('\t') + 1));
    at = end + 1;
  }
  struct Row {
    std::string name;
    std::vector<int> matches;  // 1 where patterns[i] takes the name
  };
  const Row rows[] = {
      {"export.html", {1, 0, 0}},   {"Export.HTM", {1, 0, 0}},    {"Bookmarks", {0, 1, 0}},
      {"places.sqlite", {0, 0, 1}}, {"Bookmarks.bak", {0, 0, 0}}, {"places.sqlite-wal", {0, 0, 0}},
      {"notes.htmx", {0, 0, 0}},
  };
  ASSERT_EQ(patterns.size(), 3u) << filter;
  for (const Row& row : rows) {
    for (std::size_t i = 0; i < patterns.size(); ++i) {
      EXPECT_EQ(fl_filename_match(row.name.c_str(), patterns[i].c_str()), row.matches[i])
          << row.name << " against " << patterns[i];
    }
  }
}

TEST(DesktopDpi, TheDesktopsSettingOverTheServers) {
  struct Row {
    std::string resources;
    const char* scalingFactor;
    double serverDpi;
    double expected;
  };
  for (const Row& row : {
           Row{"", nullptr, 96, 96},
           Row{"", nullptr, 192, 192},
           Row{"Xft.antialias:\t1\nXft.dpi:\t192\n", nullptr, 96, 192},
           Row{"Xft.dpi: 120\nXft.dpi:\t144", nullptr, 96, 144},
           Row{"*dpi:\t192\nXft.dpiX:\t192\n", nullptr, 96, 96},
           Row{"Xft.dpi:\tlarge\n", nullptr, 120, 120},
           Row{"Xft.dpi:\t9600\n", nullptr, 96, 96},
           Row{"", "2", 96, 192},
           Row{"Xft.dpi:\t120\n", "1.5", 96, 180},
           Row{"", "0", 96, 96},
           Row{"", "two", 96, 96},
           Row{"", "100", 96, 96},
           Row{"", nullptr, 0, 96},
       }) {
    SCOPED_TRACE(row.resources + " / " + (row.scalingFactor ? row.scalingFactor : "unset"));
    EXPECT_DOUBLE_EQ(DesktopDpi(row.resources, row.scalingFactor, row.serverDpi), row.expected);
  }
}

}  // namespace
}  // namespace pelmo::ui

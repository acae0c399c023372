// The main dialog at a terminal, driven through a pseudo-terminal as a person would.
#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"

namespace pelmo::testing {
namespace {

// The program on the slave side of a pseudo-terminal; the test reads its screen and
// types on the master side.
class TerminalSession {
 public:
  // The home folder is directory, so that ~ stays inside the test's own folder.
  TerminalSession(const std::string& directory, std::vector<std::string> words) {
    // Wide enough that the line editor never wraps a prompt.
    winsize size{.ws_row = 50, .ws_col = 250, .ws_xpixel = 0, .ws_ypixel = 0};
    pid_ = ::forkpty(&master_, nullptr, nullptr, &size);
    if (pid_ == 0) {
      ::chdir(directory.c_str());
      ::unsetenv("DISPLAY");
      ::unsetenv("WAYLAND_DISPLAY");
      ::unsetenv("PELMO_UI");
      ::setenv("PELMO_REGISTRY", "no-registry.reg", 1);
      ::setenv("HOME", directory.c_str(), 1);
      std::string program = PELMO_EXECUTABLE;
      std::vector<char*> argv{program.data()};
      for (std::string& word : words) argv.push_back(word.data());
      argv.push_back(nullptr);
      ::execv(program.c_str(), argv.data());
      std::_Exit(127);
    }
  }
  ~TerminalSession() {
    if (master_ >= 0) ::close(master_);
    if (pid_ > 0 && !exited_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }

  // Reads the screen until text appears after what was already matched; false after
  // ten seconds without it.
  bool waitFor(const std::string& text) {
    for (;;) {
      std::size_t found = screen_.find(text, matched_);
      if (found != std::string::npos) {
        matched_ = found + text.size();
        return true;
      }
      pollfd ready{master_, POLLIN, 0};
      if (::poll(&ready, 1, 10000) <= 0) return false;
      char buffer[4096];
      ssize_t got = ::read(master_, buffer, sizeof buffer);
      if (got <= 0) {
        closed_ = true;
        return false;
      }
      screen_.append(buffer, static_cast<std::size_t>(got));
    }
  }
  void type(const std::string& keys) {
    // The end-of-input key is no character: typed while the terminal is still in line
    // mode (before the line editor has taken it), it would be lost at the switch.
    if (keys == "\x04") waitForCharacterMode();
    ASSERT_EQ(::write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }
  // The exit code once the program has closed the terminal; -1 when it is still
  // running after ten seconds (it is then killed) or did not exit normally.
  int exitCode() {
    while (waitFor("\x01never shown")) {
    }
    if (!closed_) return -1;
    int status = 0;
    exited_ = ::waitpid(pid_, &status, 0) == pid_;
    if (!exited_) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  const std::string& screen() const { return screen_; }

 private:
  void waitForCharacterMode() {
    for (int tries = 0; tries < 200; ++tries) {
      termios mode{};
      if (::tcgetattr(master_, &mode) == 0 && (mode.c_lflag & ICANON) == 0) return;
      ::usleep(10000);
    }
  }

  pid_t pid_ = -1;
  int master_ = -1;
  bool closed_ = false;
  bool exited_ = false;
  std::string screen_;
  std::size_t matched_ = 0;
};

TEST(TerminalDialog, AConversionThatGaveUpAsksAgainWithTheValuesThatFailed) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "Favs");
  std::filesystem::copy_file(std::string(PELMO_EXAMPLES) + "/bookmarks.html",
                             dir.path() / "bookmarks.html");
  TerminalSession session(dir.str(), {"/fav", "Favs", "/book", "missing.html"});
  const std::vector<std::pair<std::string, std::string>> script = {
      {"Bookmark title:    Favourites converted by PELMO", ""},
      {"(Enter: Favourites to Bookmarks)", "b\n"},
      {"Favourites folder [Favs]", "\n"},
      {"Bookmark file [missing.html]", "\n"},
      {"[O]K or [C]ancel?", "\n"},
      {"Unable to open Bookmark file!", ""},
      // The conversion left off inside Favs; the relative paths still mean the same.
      // Enter keeps the direction without a click, so the title box stays enabled.
      {"(Enter: Bookmarks to Favourites)", "\n"},
      {"Favourites folder [Favs]", "\n"},
      {"Bookmark file [missing.html]", "bookmarks.html\n"},
      {"Bookmark title [Favourites converted by PELMO] (Enter keeps it, - empties it)", "\n"},
      {"[O]K or [C]ancel?", "\n"},
  };
  for (const auto& [prompt, keys] : script) {
    ASSERT_TRUE(session.waitFor(prompt)) << prompt << "\n--- screen:\n" << session.screen();
    if (!keys.empty()) session.type(keys);
  }
  EXPECT_EQ(session.exitCode(), 1);
  // A click on Bookmarks to Favourites disabled the title on the first showing.
  EXPECT_EQ(session.screen().find("Bookmark title ["), session.screen().rfind("Bookmark title ["));
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "Favs/Recipes/Sourdough Bread.URL"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "Favs/Favs"));
}

// Runs a script of (text to wait for, keys to type) in a session.
void Play(TerminalSession& session,
          const std::vector<std::pair<std::string, std::string>>& script) {
  for (const auto& [prompt, keys] : script) {
    ASSERT_TRUE(session.waitFor(prompt)) << prompt << "\n--- screen:\n" << session.screen();
    if (!keys.empty()) session.type(keys);
  }
}

TEST(TerminalDialog, FavouritesToBookmarksAsksTheTitleAndTheOverwriteQuestion) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "Favs/Sub");
  WriteFile(dir / "Favs/Sub/Page.url", "[InternetShortcut]\r\nURL=http://page/\r\n");
  WriteFile(dir / "out.html", "old");
  TerminalSession session(dir.str(), {"/btf", "/book", "gone.html"});
  Play(session, {
                    {"(Enter: Bookmarks to Favourites)", "f\n"},
                    {"Favourites folder []", "Favs\n"},
                    {"Bookmark file [gone.html]", "out.html\n"},
                    {"Bookmark title [Favourites converted by PELMO]", "My Links\n"},
                    {"[O]K or [C]ancel?", "\n"},
                    // No answer to the question (the end of input) is Cancel: the file
                    // stays, and the dialog shows again with the values typed.
                    {"[M]erge, [R]eplace or [C]ancel?", "\x04"},
                    {"Bookmark title:    My Links", ""},
                    {"(Enter: Favourites to Bookmarks)", "\n"},
                    {"Favourites folder [Favs]", "\n"},
                    {"Bookmark file [out.html]", "\n"},
                    {"Bookmark title [My Links]", "\n"},
                    {"[O]K or [C]ancel?", "\n"},
                    {"[M]erge, [R]eplace or [C]ancel?", "r\n"},
                });
  EXPECT_EQ(session.exitCode(), 1);
  const std::string written = ReadFile(dir / "out.html");
  EXPECT_NE(written.find("<TITLE>My Links</TITLE>"), std::string::npos) << written;
  EXPECT_NE(written.find("http://page/"), std::string::npos);
}

TEST(TerminalDialog, BookmarksToFavouritesEmptiesAFieldAndTakesTheHomeFolder) {
  TempDir dir;
  std::filesystem::copy_file(std::string(PELMO_EXAMPLES) + "/bookmarks.html",
                             dir.path() / "bookmarks.html");
  WriteFile(dir / "plain", "x");
  TerminalSession session(dir.str(), {"/btf", "/fav", "Old", "/book", "bookmarks.html"});
  Play(session, {
                    {"(Enter: Bookmarks to Favourites)", "\n"},
                    {"Favourites folder [Old] (Enter keeps it, - empties it)", "-\n"},
                    {"Bookmark file [bookmarks.html]", "\n"},
                    {"Bookmark title [", "\n"},
                    {"[O]K or [C]ancel?", "\n"},
                    {"Unable to open Favourites folder!", ""},
                    // The folders made before the component that failed stay, and
                    // the dialog shows the whole path again.
                    {"(Enter: Bookmarks to Favourites)", "\n"},
                    {"Favourites folder []", "made/../plain/Favs\n"},
                    {"Bookmark file [bookmarks.html]", "\n"},
                    {"Bookmark title [", "\n"},
                    {"[O]K or [C]ancel?", "\n"},
                    {"Would you like to create it?", ""},
                    {"[O]K or [C]ancel?", "\n"},
                    {"Error creating directory!", ""},
                    {"made/../plain/Favs: Not a directory", ""},
                    {"(Enter: Bookmarks to Favourites)", "\n"},
                    {"Favourites folder [made/../plain/Favs]", "~/Home Favs\n"},
                    {"Bookmark file [bookmarks.html]", "\n"},
                    {"Bookmark title [", "\n"},
                    {"[O]K or [C]ancel?", "\n"},
                    {"Would you like to create it?", ""},
                    {"[O]K or [C]ancel?", "\n"},
                });
  EXPECT_EQ(session.exitCode(), 1);
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "made"));
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "Home Favs/Recipes/Sourdough Bread.URL"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "~"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "Old"));
}

}  // namespace
}  // namespace pelmo::testing

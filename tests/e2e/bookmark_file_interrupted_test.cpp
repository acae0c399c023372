// Favourites to Bookmarks through the built program, killed at random moments and
// run twice at once: the bookmark file is always whole, and an interrupt that the
// program can see leaves no temporary file behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "e2e/run_program.h"

namespace pelmo::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Long URLs make the writing (and its sync) a good share of the run, so that kills
// often land while the temporary file exists.
void MakeFavourites(const fs::path& folder, const std::string& tag, int count,
                    std::size_t urlPadding = 0) {
  fs::create_directories(folder / "sub");
  for (int i = 0; i < count; ++i) {
    const fs::path where = i % 3 == 0 ? folder / "sub" : folder;
    WriteFile(where / (tag + std::to_string(i) + ".url"),
              "[InternetShortcut]\r\nURL=http://" + tag + ".example/" + std::to_string(i) + "/" +
                  std::string(urlPadding, 'p') + "\r\n");
  }
}

pid_t StartConversion(const TempDir& dir, const std::string& favourites) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::chdir(dir.str().c_str());
    const int quiet = ::open("/dev/null", O_RDWR);
    ::dup2(quiet, 0);
    ::dup2(quiet, 1);
    ::dup2(quiet, 2);
    ::setenv("PELMO_REGISTRY", "no-registry.reg", 1);
    ::unsetenv("PELMO_UI");
    ::execl(PELMO_EXECUTABLE, PELMO_EXECUTABLE, "/auto", "/quiet", "/ftb", "/fav",
            favourites.c_str(), "/book", "out/bookmarks.html", static_cast<char*>(nullptr));
    std::_Exit(127);
  }
  return child;
}

// What a run that is not disturbed writes.
std::string Reference(const TempDir& dir, const std::string& favourites) {
  const int status = Wait(StartConversion(dir, favourites));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
  return ReadFile(dir / "out/bookmarks.html");
}

// Everything in the bookmark file's folder except the file itself.
std::vector<std::string> Leftovers(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir / "out")) {
    if (entry.path().filename() != "bookmarks.html") names.push_back(entry.path().filename());
  }
  return names;
}

TEST(BookmarkFileInterrupted, AKilledRunLeavesTheOldFileOrTheNewOneAndNoTemporaryFile) {
  TempDir dir;
  MakeFavourites(dir / "F", "k", 300, 20000);
  fs::create_directory(dir / "out");
  const Clock::time_point started = Clock::now();
  const std::string fresh = Reference(dir, "F");
  const auto runTime =
      std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started);
  const std::string old = "old bookmarks\r\n";

  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<long> moment(0, runTime.count() * 5 / 4);
  const int signals[] = {SIGKILL, SIGTERM, SIGINT};
  int interrupted = 0;
  int killedWhileWriting = 0;
  for (int run = 0, runs = StressRuns(200, 30); run < runs; ++run) {
    WriteFile(dir / "out/bookmarks.html", old);
    // Every other run the file has a second link, which is replaced just as safely.
    const bool linked = run % 2 == 1;
    fs::remove(dir / "elsewhere.html");
    if (linked) fs::create_hard_link(dir / "out/bookmarks.html", dir / "elsewhere.html");
    const int signalNumber = signals[random() % 3];
    const pid_t child = StartConversion(dir, "F");
    std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    ::kill(child, signalNumber);
    const int status = Wait(child);
    const std::string after = ReadFile(dir / "out/bookmarks.html");
    ASSERT_TRUE(after == old || after == fresh)
        << "run " << run << ": " << after.size() << " bytes";
    if (linked) {
      EXPECT_EQ(ReadFile(dir / "elsewhere.html"), old) << run;
    }
    if (WIFEXITED(status)) {
      EXPECT_EQ(WEXITSTATUS(status), 1) << run;
      EXPECT_EQ(after, fresh) << run;
    } else {
      ++interrupted;
      EXPECT_EQ(WTERMSIG(status), signalNumber) << run;
    }
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) {
      // What a SIGKILL leaves shows how often the kills land while the file is written.
      const std::vector<std::string> left = Leftovers(dir);
      if (!left.empty()) ++killedWhileWriting;
      for (const std::string& name : left) fs::remove(dir.path() / "out" / name);
    } else {
      EXPECT_EQ(Leftovers(dir), std::vector<std::string>{}) << "run " << run;
    }
  }
  RecordProperty("interrupted", interrupted);
  RecordProperty("killedWhileWriting", killedWhileWriting);
  EXPECT_GT(interrupted, 0) << "no run was caught while it worked";
}

TEST(BookmarkFileInterrupted, TwoRunsAtOnceLeaveTheWholeFileOfOneOfThem) {
  TempDir dir;
  MakeFavourites(dir / "A", "a", 1500);
  MakeFavourites(dir / "B", "b", 1500);
  fs::create_directory(dir / "out");
  const std::string fromA = Reference(dir, "A");
  const std::string fromB = Reference(dir, "B");
  ASSERT_NE(fromA, fromB);
  for (int run = 0, runs = StressRuns(20, 5); run < runs; ++run) {
    WriteFile(dir / "out/bookmarks.html", "old");
    const pid_t first = StartConversion(dir, "A");
    const pid_t second = StartConversion(dir, "B");
    for (const pid_t child : {first, second}) {
      const int status = Wait(child);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << run;
    }
    const std::string after = ReadFile(dir / "out/bookmarks.html");
    EXPECT_TRUE(after == fromA || after == fromB) << "run " << run << ": " << after.size();
    EXPECT_EQ(Leftovers(dir), std::vector<std::string>{}) << "run " << run;
  }
}

}  // namespace
}  // namespace pelmo::testing

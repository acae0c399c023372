// Runs of Bookmarks to Favourites killed part-way, and two at once into one folder:
// every shortcut file is whole, and only a run killed outright leaves a temporary file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "e2e/run_program.h"

namespace pelmo::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kFolders = 6;
constexpr int kLinksPerFolder = 50;

std::string Shortcut(const std::string& url) {
  return "[InternetShortcut]\r\nURL=" + url + "\r\n";
}

// URLs of a different length for each version, so that a mix of two shows.
std::string Url(const std::string& version, int folder, int link) {
  return "http://" + version + ".example/" + std::to_string(folder) + "/" + std::to_string(link);
}

std::string BookmarkFile(const std::string& version) {
  std::string file = "<DL><p>\n";
  for (int folder = 0; folder < kFolders; ++folder) {
    file += "<DT><H3>Folder " + std::to_string(folder) + "</H3>\n<DL><p>\n";
    for (int link = 0; link < kLinksPerFolder; ++link) {
      file += "<DT><A HREF=\"" + Url(version, folder, link) + "\">Link " + std::to_string(link) +
              "</A>\n";
    }
    file += "</DL><p>\n";
  }
  return file + "</DL><p>\n";
}

// The runs to check against, by the path of each shortcut file.
std::map<std::string, std::vector<std::string>> ExpectedContents(
    const std::vector<std::string>& versions) {
  std::map<std::string, std::vector<std::string>> expected;
  for (int folder = 0; folder < kFolders; ++folder) {
    for (int link = 0; link < kLinksPerFolder; ++link) {
      std::string path =
          "Folder " + std::to_string(folder) + "/Link " + std::to_string(link) + ".URL";
      for (const std::string& version : versions) {
        expected[path].push_back(Shortcut(Url(version, folder, link)));
      }
    }
  }
  return expected;
}

pid_t StartConversion(const TempDir& dir, const std::string& bookmarks) {
  pid_t child = ::fork();
  if (child == 0) {
    if (::chdir(dir.str().c_str()) != 0) ::_exit(127);
    ::setenv("PELMO_REGISTRY", (dir / "no-registry.reg").c_str(), 1);
    ::setenv("PELMO_UI", "none", 1);
    std::string program = PELMO_EXECUTABLE;
    ::execl(program.c_str(), program.c_str(), "/auto", "/quiet", "/btf", "/book", bookmarks.c_str(),
            "/fav", "F", static_cast<char*>(nullptr));
    std::_Exit(127);
  }
  return child;
}

bool IsTemporary(const std::string& name) {
  return name.starts_with(".pelmo-");
}

// Checks every file under F against the versions; returns how many temporary files
// lie there.
int CheckTree(const TempDir& dir, const std::map<std::string, std::vector<std::string>>& expected,
              const std::string& when) {
  int temporaries = 0;
  for (const auto& [path, bytes] : ReadTree(dir / "F")) {
    if (path.ends_with("/")) continue;
    if (IsTemporary(fs::path(path).filename().string())) {
      ++temporaries;
      continue;
    }
    auto found = expected.find(path);
    if (found == expected.end()) {
      ADD_FAILURE() << when << ": unexpected file " << path;
      continue;
    }
    bool whole = false;
    for (const std::string& content : found->second) whole = whole || content == bytes;
    EXPECT_TRUE(whole) << when << ": " << path << " holds \"" << bytes << "\"";
  }
  return temporaries;
}

// New shortcut files are made unnamed and named once whole, so even SIGKILL leaves
// nothing but whole files in a new folder, and no temporary one.
TEST(InterruptedRun, KilledRunsIntoANewFolderLeaveOnlyWholeShortcuts) {
  TempDir dir;
  WriteFile(dir / "new.html", BookmarkFile("newer"));
  const auto expected = ExpectedContents({"newer"});
  auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(WEXITSTATUS(Wait(StartConversion(dir, "new.html"))), 1);
  auto runTime = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);

  std::mt19937 random(20261208);
  std::uniform_int_distribution<long> moment(0, runTime.count());
  int killedWhileWriting = 0;
  for (int run = 0, runs = StressRuns(200, 30); run < runs; ++run) {
    fs::remove_all(dir / "F");
    pid_t child = StartConversion(dir, "new.html");
    std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    ::kill(child, SIGKILL);
    const int status = Wait(child);
    const std::string when = "run " + std::to_string(run);
    if (!fs::exists(dir / "F")) continue;
    EXPECT_EQ(CheckTree(dir, expected, when), 0) << when << " left a temporary file";
    const std::size_t files = ReadTree(dir / "F").size();
    if (WIFSIGNALED(status) && files > 0 && files < kFolders * (kLinksPerFolder + 1)) {
      ++killedWhileWriting;
    }
  }
  RecordProperty("killedWhileWriting", killedWhileWriting);
}

TEST(InterruptedRun, KilledRunsLeaveEveryShortcutWhole) {
  TempDir dir;
  WriteFile(dir / "old.html", BookmarkFile("old"));
  WriteFile(dir / "new.html", BookmarkFile("newer"));
  ASSERT_EQ(WEXITSTATUS(Wait(StartConversion(dir, "old.html"))), 1);
  const auto expected = ExpectedContents({"old", "newer"});

  auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(WEXITSTATUS(Wait(StartConversion(dir, "new.html"))), 1);
  auto runTime = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);

  // SIGQUIT ends a run as it would at a terminal, without a core file here.
  const rlimit noCore{0, 0};
  ::setrlimit(RLIMIT_CORE, &noCore);
  std::mt19937 random(20261207);
  std::uniform_int_distribution<long> moment(0, runTime.count() * 5 / 4);
  const int runs = StressRuns(200, 30);
  int temporaries = 0;
  for (int run = 0; run < runs; ++run) {
    pid_t child = StartConversion(dir, run % 2 == 0 ? "old.html" : "new.html");
    std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    const int signalNumber = run % 3 == 0 ? SIGKILL : run % 3 == 1 ? SIGTERM : SIGQUIT;
    ::kill(child, signalNumber);
    const int status = Wait(child);
    const std::string when = "run " + std::to_string(run);
    int now = CheckTree(dir, expected, when);
    EXPECT_EQ(ReadTree(dir / "F").size() - static_cast<std::size_t>(now),
              static_cast<std::size_t>(kFolders * (kLinksPerFolder + 1)))
        << when;
    // A run that ended by itself, or by SIGTERM or SIGQUIT, cleans up after itself.
    if (signalNumber != SIGKILL || WIFEXITED(status)) {
      EXPECT_EQ(now, temporaries) << when << " left a temporary file";
    }
    temporaries = now;
  }
}

TEST(InterruptedRun, TwoRunsAtOnceLeaveEachShortcutWholeFromOneOfThem) {
  TempDir dir;
  WriteFile(dir / "a.html", BookmarkFile("a"));
  WriteFile(dir / "b.html", BookmarkFile("bb"));
  const auto expected = ExpectedContents({"a", "bb"});
  for (int round = 0; round < 20; ++round) {
    // Every other round starts empty, so that both runs race to create files.
    if (round % 2 == 0) fs::remove_all(dir / "F");
    pid_t first = StartConversion(dir, "a.html");
    pid_t second = StartConversion(dir, "b.html");
    const int firstStatus = Wait(first);
    const int secondStatus = Wait(second);
    const std::string when = "round " + std::to_string(round);
    EXPECT_TRUE(WIFEXITED(firstStatus) && WEXITSTATUS(firstStatus) == 1) << when;
    EXPECT_TRUE(WIFEXITED(secondStatus) && WEXITSTATUS(secondStatus) == 1) << when;
    EXPECT_EQ(CheckTree(dir, expected, when), 0) << when;
    EXPECT_EQ(ReadTree(dir / "F").size(),
              static_cast<std::size_t>(kFolders * (kLinksPerFolder + 1)))
        << when;
  }
}

}  // namespace
}  // namespace pelmo::testing

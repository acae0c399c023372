#include "fav2book/folder_scan.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "favourites_fixture.h"
#include "platform/directory.h"
#include "platform/paths.h"
#include "support/child_process.h"

namespace pelmo {
namespace {

using testing::TempDir;
using testing::WriteShortcut;

struct Walk {
  std::vector<std::string> events;   // "name:levelsLeft", in walk order
  std::vector<std::string> skipped;  // directories given to ScanAdvance but not entered
};

// Drives the scanner as the tree builder does, recording every entry it visits.
Walk WalkScan(FolderScan* level) {
  Walk walk;
  while (level != nullptr) {
    walk.events.push_back(level->entry.name + ":" + std::to_string(level->levelsLeft));
    level->levelsLeft = 0;
    if (level->entry.isDirectory) {
      const std::string name = level->entry.name;
      ScanMove move = ScanAdvance(level);
      if (!move.entered && name != "." && name != "..") walk.skipped.push_back(name);
      level = move.level;
    } else {
      level = ScanNext(level);
    }
  }
  return walk;
}

// The walk a depth-first listing implies, worked out recursively: every level left
// on the way to an entry is counted on that entry.
void ExpectedWalk(const std::string& directory, std::vector<std::string>& events, int& pending) {
  auto listing = platform::DirectoryListing::open(directory);
  ASSERT_TRUE(listing.has_value());
  platform::DirectoryEntry entry;
  while (listing->next(entry)) {
    events.push_back(entry.name + ":" + std::to_string(pending));
    pending = 0;
    if (entry.isDirectory && entry.name != "." && entry.name != "..") {
      ExpectedWalk(directory + "/" + entry.name, events, pending);
    }
  }
  ++pending;
}

std::vector<std::string> ExpectedWalk(const std::string& directory) {
  std::vector<std::string> events;
  int pending = 0;
  ExpectedWalk(directory, events, pending);
  return events;
}

TEST(FolderScan, WalksDepthFirstCountingTheLevelsLeft) {
  TempDir dir;
  // The worked walk (A holding x.url, beside y.url), plus an empty directory and a
  // move off the end of two directories at once.
  std::filesystem::create_directories(dir.path() / "A");
  WriteShortcut(dir.path() / "A" / "x.url", "u");
  WriteShortcut(dir.path() / "y.url", "u");
  std::filesystem::create_directories(dir.path() / "Empty");
  std::filesystem::create_directories(dir.path() / "D1" / "D2");
  WriteShortcut(dir.path() / "D1" / "D2" / "z.url", "u");
  WriteShortcut(dir.path() / "w.url", "u");

  FolderScan* top = ScanOpen(dir / "*.*");
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->directory, dir.str() + "/");
  EXPECT_EQ(top->pattern, "*.*");
  EXPECT_EQ(top->parent, nullptr);
  Walk walk = WalkScan(top);
  EXPECT_EQ(walk.events, ExpectedWalk(dir.str()));
  EXPECT_TRUE(walk.skipped.empty());
  EXPECT_EQ(walk.events.size(), 7u + 3u + 2u + 3u + 3u);  // dots and names
}

TEST(FolderScan, OnlyOneOrTwoDotsAreDotEntries) {
  const struct {
    const char* name;
    bool dot;
  } cases[] = {{".", true},    {"..", true},    {"...", false}, {".a", false},
               {"..a", false}, {".url", false}, {"a.", false},  {"", false}};
  for (const auto& c : cases) {
    FolderScan level;
    level.entry.name = c.name;
    EXPECT_EQ(ScanIsDotEntry(level), c.dot) << '"' << c.name << '"';
  }
}

TEST(FolderScan, OpenFailsOnWhatCannotBeListed) {
  TempDir dir;
  WriteShortcut(dir.path() / "file.url", "u");
  EXPECT_EQ(ScanOpen(dir / "missing/*.*"), nullptr);
  EXPECT_EQ(ScanOpen(dir / "file.url/*.*"), nullptr);
  EXPECT_EQ(ScanOpen(std::string(platform::MaxPathSize(), 'a') + "/*.*"), nullptr);
}

TEST(FolderScan, CloseAllReleasesAnyChain) {
  ScanCloseAll(nullptr);
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "A");
  ScanCloseAll(ScanOpen(dir / "*.*"));  // the top level alone, right after opening
  FolderScan* level = ScanOpen(dir / "*.*");
  while (level->entry.name != "A") level = ScanNext(level);
  ScanMove move = ScanAdvance(level);
  ASSERT_TRUE(move.entered);
  EXPECT_EQ(move.level->directory, dir.str() + "/A/");
  ScanCloseAll(move.level);  // two levels; the sanitizer run shows anything left
}

TEST(FolderScan, PassesOverDirectoriesThatCannotBeListed) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "Locked");
  WriteShortcut(dir.path() / "Locked" / "hidden.url", "u");
  WriteShortcut(dir.path() / "after.url", "u");
  ASSERT_EQ(::chmod((dir / "Locked").c_str(), 0), 0);
  auto run = [&] {
    if (!testing::BecomePlainUserIfRoot(dir.path())) return 2;
    Walk walk = WalkScan(ScanOpen(dir / "*.*"));
    bool hiddenSeen =
        std::any_of(walk.events.begin(), walk.events.end(),
                    [](const std::string& event) { return event.starts_with("hidden"); });
    bool sound = walk.skipped == std::vector<std::string>{"Locked"} &&
                 std::count(walk.events.begin(), walk.events.end(), "after.url:0") == 1 &&
                 !hiddenSeen;
    return sound ? 0 : 1;
  };
  EXPECT_EQ(testing::RunInChild(run), 0);
}

TEST(FolderScan, NeverEntersADirectoryAlreadyOnItsChain) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "A" / "B");
  std::filesystem::create_directory_symlink(dir.path(), dir.path() / "A" / "B" / "top");
  std::filesystem::create_directory_symlink(dir.path() / "A", dir.path() / "A" / "self");
  std::filesystem::create_directory_symlink(dir.path() / "A" / "B", dir.path() / "sideways");
  Walk walk = WalkScan(ScanOpen(dir / "*.*"));
  std::sort(walk.skipped.begin(), walk.skipped.end());
  EXPECT_EQ(walk.skipped, (std::vector<std::string>{"self", "top", "top"}));
  // A link that is not a loop is walked like a directory.
  EXPECT_EQ(std::count(walk.events.begin(), walk.events.end(), "B:0"), 1);
}

// Makes directories below the current one by stepping into each, so the chain may
// grow longer than any path the system accepts at once.
class DeepChain {
 public:
  DeepChain(const std::string& component, int depth) : depth_(depth) {
    for (int i = 0; i < depth; ++i) {
      if (::mkdir(component.c_str(), 0700) != 0 || ::chdir(component.c_str()) != 0) std::abort();
    }
    component_ = component;
  }
  ~DeepChain() {
    for (int i = 0; i < depth_; ++i) {
      std::error_code error;
      for (const auto& entry : std::filesystem::directory_iterator(".", error)) {
        if (!entry.is_directory()) std::filesystem::remove(entry.path(), error);
      }
      if (::chdir("..") != 0) return;
      ::rmdir(component_.c_str());
    }
  }

 private:
  int depth_;
  std::string component_;
};

TEST(FolderScan, PassesOverDirectoriesWhosePathWouldBeTooLong) {
  TempDir dir;
  testing::CurrentDirectoryGuard guard;
  ASSERT_EQ(::chdir(dir.str().c_str()), 0);
  const std::string component(200, 'd');
  const int fitting = static_cast<int>((platform::MaxPathSize() - 1 - 3) / (component.size() + 1));
  {
    DeepChain chain(component, fitting);  // leaves the current directory at its bottom
    WriteShortcut("shallow.url", "u");
    ASSERT_EQ(::mkdir(component.c_str(), 0700), 0);
    WriteShortcut(component + "/deep.url", "u");

    ASSERT_EQ(::chdir(dir.str().c_str()), 0);
    Walk walk = WalkScan(ScanOpen("*.*"));  // relative, so the search paths grow
    EXPECT_EQ(walk.skipped, std::vector<std::string>{component});
    EXPECT_EQ(std::count(walk.events.begin(), walk.events.end(), "shallow.url:0"), 1);
    EXPECT_EQ(std::count(walk.events.begin(), walk.events.end(), "deep.url:0"), 0);

    for (int i = 0; i < fitting; ++i) ASSERT_EQ(::chdir(component.c_str()), 0);
    std::filesystem::remove(component + "/deep.url");
    ::rmdir(component.c_str());
  }
}

}  // namespace
}  // namespace pelmo

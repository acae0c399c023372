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

  Walk walk = WalkScan(ScanOpen(dir / "*.*"));
  EXPECT_EQ(walk.events, ExpectedWalk(dir.str()));
  EXPECT_TRUE(walk.skipped.empty());
  EXPECT_EQ(walk.events.size(), 7u + 3u + 2u + 3u + 3u);  // dots and names
}

TEST(FolderScan, OpenFailsOnWhatCannotBeListed) {
  TempDir dir;
  WriteShortcut(dir.path() / "file.url", "u");
  EXPECT_EQ(ScanOpen(dir / "missing/*.*"), nullptr);
  EXPECT_EQ(ScanOpen(dir / "file.url/*.*"), nullptr);
  EXPECT_EQ(ScanOpen(std::string(platform::MaxPathSize(), 'a') + "/*.*"), nullptr);
}

// Removes what a test made below the current directory one step at a time, as the
// whole path may be longer than the system accepts at once.
void RemoveStepByStep(const std::string& component) {
  if (::chdir(component.c_str()) != 0) return;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(".", error)) {
    if (!entry.is_directory(error)) std::filesystem::remove(entry.path(), error);
  }
  RemoveStepByStep(component);
  if (::chdir("..") == 0) ::rmdir(component.c_str());
}

TEST(FolderScan, PassesOverDirectoriesWhosePathWouldBeTooLong) {
  TempDir dir;
  testing::CurrentDirectoryGuard guard;
  ASSERT_EQ(::chdir(dir.str().c_str()), 0);
  const std::string component(200, 'd');
  const int fitting = static_cast<int>((platform::MaxPathSize() - 1 - 3) / (component.size() + 1));
  struct Cleanup {
    std::string top, component;
    ~Cleanup() {
      if (::chdir(top.c_str()) == 0) RemoveStepByStep(component);
    }
  } cleanup{dir.str(), component};
  // Made by stepping into each directory, so the chain grows past any whole path.
  for (int i = 0; i < fitting; ++i) {
    ASSERT_TRUE(::mkdir(component.c_str(), 0700) == 0 && ::chdir(component.c_str()) == 0);
  }
  WriteShortcut("shallow.url", "u");
  ASSERT_EQ(::mkdir(component.c_str(), 0700), 0);
  WriteShortcut(component + "/deep.url", "u");

  ASSERT_EQ(::chdir(dir.str().c_str()), 0);
  Walk walk = WalkScan(ScanOpen("*.*"));  // relative, so the search paths grow
  EXPECT_EQ(walk.skipped, std::vector<std::string>{component});
  EXPECT_EQ(std::count(walk.events.begin(), walk.events.end(), "shallow.url:0"), 1);
  EXPECT_EQ(std::count(walk.events.begin(), walk.events.end(), "deep.url:0"), 0);
}

}  // namespace
}  // namespace pelmo

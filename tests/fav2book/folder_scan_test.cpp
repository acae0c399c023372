#include "fav2book/folder_scan.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
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
  std::uint32_t unreadable = 0;
};

// Drives the scanner as the tree builder does, recording every entry it visits.
Walk WalkScan(std::optional<ScanChain> scan) {
  Walk walk;
  if (!scan) return walk;
  std::uint32_t levelsLeft = 0;
  while (!scan->atEnd()) {
    walk.events.push_back(scan->entry().name + ":" + std::to_string(levelsLeft));
    if (scan->entry().isDirectory()) {
      const std::string name = scan->entry().name;
      if (!ScanAdvance(*scan) && name != "." && name != "..") walk.skipped.push_back(name);
    } else {
      ScanNext(*scan);
    }
    levelsLeft = scan->takeLevelsLeft();
  }
  walk.unreadable = scan->unreadable();
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
    if (entry.isDirectory() && entry.name != "." && entry.name != "..") {
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
  // A holding x.url beside y.url, plus an empty directory and a
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
  EXPECT_FALSE(ScanOpen(dir / "missing/*.*"));
  EXPECT_FALSE(ScanOpen(dir / "file.url/*.*"));
  EXPECT_FALSE(ScanOpen(std::string(platform::MaxPathSize(), 'a') + "/*.*"));
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

TEST(FolderScan, WalksBelowTheLongestPathUntilDescriptorsRunOut) {
  TempDir dir;
  testing::CurrentDirectoryGuard guard;
  ASSERT_EQ(::chdir(dir.str().c_str()), 0);
  const std::string component(200, 'd');
  const int beyond = static_cast<int>(platform::MaxPathSize() / (component.size() + 1)) + 3;
  struct Cleanup {
    std::string top, component;
    ~Cleanup() {
      if (::chdir(top.c_str()) == 0) RemoveStepByStep(component);
    }
  } cleanup{dir.str(), component};
  // Made by stepping into each directory, so the chain grows past any whole path.
  for (int i = 0; i < beyond; ++i) {
    ASSERT_TRUE(::mkdir(component.c_str(), 0700) == 0 && ::chdir(component.c_str()) == 0);
  }
  WriteShortcut("deep.url", "u");

  ASSERT_EQ(::chdir(dir.str().c_str()), 0);
  Walk walk = WalkScan(ScanOpen("*.*"));
  EXPECT_TRUE(walk.skipped.empty());
  EXPECT_EQ(walk.unreadable, 0u);
  EXPECT_EQ(std::count(walk.events.begin(), walk.events.end(), "deep.url:0"), 1);

  // One descriptor per level: a folder that cannot be opened for want of one is lost.
  auto run = [] {
    const rlimit few{12, 12};
    if (::setrlimit(RLIMIT_NOFILE, &few) != 0) return 2;
    Walk limited = WalkScan(ScanOpen("*.*"));
    const bool lost = limited.unreadable == 1 && limited.skipped.size() == 1 &&
                      std::count(limited.events.begin(), limited.events.end(), "deep.url:0") == 0;
    return lost ? 0 : 1;
  };
  EXPECT_EQ(testing::RunInChild(run), 0);
}

TEST(FolderScan, WalksEachDirectoryOnceHoweverManyLinksLeadToIt) {
  // Eight links to the next level on each of three levels, and links back up.
  TempDir dir;
  const char* levels[] = {"L1", "L2", "L3", "L4"};
  for (const char* level : levels) std::filesystem::create_directories(dir.path() / level);
  for (int i = 0; i + 1 < 4; ++i) {
    for (int link = 0; link < 8; ++link) {
      std::filesystem::create_directory_symlink(
          dir.path() / levels[i + 1], dir.path() / levels[i] / ("to" + std::to_string(link)));
    }
  }
  std::filesystem::create_directory_symlink(dir.path(), dir.path() / "L4" / "up");
  WriteShortcut(dir.path() / "L4" / "x.url", "u");

  Walk walk = WalkScan(ScanOpen(dir / "*.*"));
  EXPECT_EQ(std::count(walk.events.begin(), walk.events.end(), "x.url:0"), 1);
  EXPECT_EQ(walk.skipped.size(), 4u + 3u * 8u + 1u - 4u);  // all but one way into each
  EXPECT_EQ(walk.unreadable, 0u);
}

}  // namespace
}  // namespace pelmo

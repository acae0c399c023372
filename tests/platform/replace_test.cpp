#include "platform/replace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "support/temp_dir.h"

namespace pelmo::platform {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::ReadTree;
using testing::TempDir;
using testing::WriteFile;
using Tree = std::map<std::string, std::string>;

TEST(ReplacementFileTest, CommitPutsTheNewContentInPlace) {
  const struct {
    std::string name;
    bool existed;
  } cases[] = {{"bookmark.htm", false}, {"bookmark.htm", true}, {std::string(200, 'b'), true}};
  const std::string content = "new " + std::string(100000, 'n');
  for (const auto& c : cases) {
    TempDir dir;
    const std::string target = dir / c.name;
    if (c.existed) WriteFile(target, "old");
    std::optional<ReplacementFile> file = ReplacementFile::open(target);
    ASSERT_TRUE(file) << c.name.size();
    EXPECT_EQ(file->existing() != nullptr, c.existed);
    EXPECT_EQ(ReadTree(dir.path()).size(), c.existed ? 1u : 0u) << "a temporary file before begin";
    ASSERT_TRUE(file->begin());
    EXPECT_EQ(ReadFile(target), c.existed ? "old" : "");  // untouched until commit
    ASSERT_TRUE(file->write("new ") && file->write(content.substr(4)));
    ASSERT_TRUE(file->commit());
    file.reset();
    EXPECT_EQ(ReadTree(dir.path()), (Tree{{c.name, content}})) << "a temporary file was left";
  }
}

TEST(ReplacementFileTest, DroppingWithoutCommitKeepsTheOldFile) {
  TempDir dir;
  WriteFile(dir / "bookmark.htm", "old");
  {
    std::optional<ReplacementFile> file = ReplacementFile::create(dir / "bookmark.htm");
    ASSERT_TRUE(file);
    file->write("never committed");
    std::optional<ReplacementFile> moved = std::move(file);
  }
  EXPECT_EQ(ReadTree(dir.path()), (Tree{{"bookmark.htm", "old"}}));
}

TEST(ReplacementFileTest, RefusesWhatIsNoRegularFileOrIsReadOnly) {
  TempDir dir;
  fs::create_directory(dir / "folder");
  WriteFile(dir / "read-only", "old");
  fs::permissions(dir / "read-only", fs::perms::owner_read | fs::perms::group_read |
                                         fs::perms::others_read);  // refused even for root
  for (const char* name : {"folder", "missing/bookmark.htm", "read-only", "folder/"}) {
    EXPECT_FALSE(ReplacementFile::open(dir / name)) << name;
  }
  EXPECT_EQ(ReadTree(dir / "folder"), Tree{});
  EXPECT_EQ(ReadFile(dir / "read-only"), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

// Files are written only through ReplacementFile, whose temporary file is a File:
// small writes are gathered, large ones go straight through, in order.
TEST(ReplacementFileTest, GatheredAndLargeWritesArriveInOrder) {
  TempDir dir;
  WriteFile(dir / "out", "old content that must go");
  std::optional<ReplacementFile> file = ReplacementFile::create(dir / "out");
  ASSERT_TRUE(file);
  const std::string large(200 * 1024 + 17, 'L');
  std::string expected;
  for (int i = 0; i < 5000; ++i) {
    const std::string piece = "line " + std::to_string(i) + "\r\n";
    ASSERT_TRUE(file->write(piece));
    expected += piece;
  }
  ASSERT_TRUE(file->write(large) && file->write("tail"));
  expected += large + "tail";
  EXPECT_TRUE(file->commit());
  EXPECT_EQ(ReadTree(dir.path()), (Tree{{"out", expected}}));
}

}  // namespace
}  // namespace pelmo::platform

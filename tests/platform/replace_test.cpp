#include "platform/replace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "support/child_process.h"
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
  } cases[] = {{"bookmark.htm", false}, {"bookmark.htm", true}, {std::string(255, 'b'), true}};
  const std::string content = "new " + std::string(100000, 'n');
  for (const auto& c : cases) {
    TempDir dir;
    const std::string target = dir / c.name;
    if (c.existed) WriteFile(target, "old");
    std::optional<ReplacementFile> file = ReplacementFile::create(target);
    ASSERT_TRUE(file) << c.name.size();
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

// The links stay links, and the file they lead to keeps its permission bits.
TEST(ReplacementFileTest, ReplacesWhatALinkPointsTo) {
  TempDir dir;
  fs::create_directory(dir / "real");
  const std::string real = dir / "real/bookmark.htm";
  WriteFile(real, "old");
  ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
  fs::create_symlink("real/bookmark.htm", dir / "link.htm");
  fs::create_symlink("link.htm", dir / "chain.htm");
  std::optional<ReplacementFile> file = ReplacementFile::create(dir / "chain.htm");
  ASSERT_TRUE(file && file->write("new") && file->commit());
  EXPECT_TRUE(fs::is_symlink(dir / "chain.htm"));
  EXPECT_EQ(fs::read_symlink(dir / "link.htm"), "real/bookmark.htm");
  EXPECT_EQ(ReadTree(dir / "real"), (Tree{{"bookmark.htm", "new"}}));
  struct stat status {};
  ASSERT_EQ(::stat(real.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST(ReplacementFileTest, RefusesWhatIsNoRegularFile) {
  TempDir dir;
  fs::create_directory(dir / "folder");
  EXPECT_FALSE(ReplacementFile::create(dir / "folder"));
  EXPECT_FALSE(ReplacementFile::create(dir / "missing/bookmark.htm"));
  EXPECT_EQ(ReadTree(dir.path()), (Tree{{"folder/", ""}}));
}

// A write beyond RLIMIT_FSIZE fails as on a full disk.
TEST(ReplacementFileTest, FullDiskLeavesTheOldFileAndNoTemporaryFile) {
  TempDir dir;
  const std::string target = dir / "bookmark.htm";
  WriteFile(target, "old");
  const int status = testing::RunInChild([&] {
    testing::LimitFileSize(50 * 1024);
    std::optional<ReplacementFile> file = ReplacementFile::create(target);
    if (!file) return 1;
    for (int i = 0; i < 100; ++i) file->write(std::string(1000, 'x'));
    return file->commit() ? 2 : 0;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadTree(dir.path()), (Tree{{"bookmark.htm", "old"}}));
}

TEST(ReplacementFileTest, ReadOnlyDirectoryLeavesTheOldFile) {
  TempDir dir;
  const std::string target = dir / "bookmark.htm";
  WriteFile(target, "old");
  const int status = testing::RunInChild([&] {
    if (!testing::BecomePlainUserIfRoot(dir.path())) return 1;
    ::chmod(dir.str().c_str(), 0500);  // no room for a temporary file beside it
    const bool refused = !ReplacementFile::create(target);
    ::chmod(dir.str().c_str(), 0700);
    return refused ? 0 : 2;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadTree(dir.path()), (Tree{{"bookmark.htm", "old"}}));
}

}  // namespace
}  // namespace pelmo::platform

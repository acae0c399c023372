#include "platform/replace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

TEST(ReplacementFileTest, CommitPutsTheNewContentInPlace) {
  TempDir dir;
  for (bool existed : {false, true}) {
    const std::string target = dir / "bookmark.htm";
    if (existed) WriteFile(target, "old");
    std::optional<ReplacementFile> file = ReplacementFile::create(target);
    ASSERT_TRUE(file);
    EXPECT_EQ(ReadFile(target), existed ? "old" : "");  // untouched until commit
    ASSERT_TRUE(file->write("new "));
    ASSERT_TRUE(file->write(std::string(100000, 'n')));
    ASSERT_TRUE(file->commit());
    EXPECT_EQ(ReadFile(target), "new " + std::string(100000, 'n'));
    file.reset();
    EXPECT_EQ(ReadTree(dir.path()).size(), 1u) << "a temporary file was left behind";
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
  const std::map<std::string, std::string> expected = {{"bookmark.htm", "old"}};
  EXPECT_EQ(ReadTree(dir.path()), expected);
}

TEST(ReplacementFileTest, KeepsPermissionBits) {
  TempDir dir;
  const std::string target = dir / "bookmark.htm";
  WriteFile(target, "old");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  std::optional<ReplacementFile> file = ReplacementFile::create(target);
  ASSERT_TRUE(file && file->write("new") && file->commit());
  struct stat status {};
  ASSERT_EQ(::stat(target.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST(ReplacementFileTest, ReplacesWhatALinkPointsTo) {
  TempDir dir;
  fs::create_directory(dir / "real");
  WriteFile(dir / "real/bookmark.htm", "old");
  fs::create_symlink("real/bookmark.htm", dir / "link.htm");
  fs::create_symlink("link.htm", dir / "chain.htm");
  std::optional<ReplacementFile> file = ReplacementFile::create(dir / "chain.htm");
  ASSERT_TRUE(file && file->write("new") && file->commit());
  EXPECT_TRUE(fs::is_symlink(dir / "link.htm"));
  EXPECT_TRUE(fs::is_symlink(dir / "chain.htm"));
  EXPECT_EQ(ReadFile(dir / "real/bookmark.htm"), "new");
  EXPECT_EQ(fs::read_symlink(dir / "link.htm"), "real/bookmark.htm");
  const std::map<std::string, std::string> realTree = {{"bookmark.htm", "new"}};
  EXPECT_EQ(ReadTree(dir / "real"), realTree);
}

TEST(ReplacementFileTest, LongTargetNameStillGetsATemporaryFile) {
  TempDir dir;
  const std::string target = dir / std::string(255, 'b');
  WriteFile(target, "old");
  std::optional<ReplacementFile> file = ReplacementFile::create(target);
  ASSERT_TRUE(file && file->write("new") && file->commit());
  EXPECT_EQ(ReadFile(target), "new");
}

TEST(ReplacementFileTest, RefusesWhatIsNoRegularFile) {
  TempDir dir;
  fs::create_directory(dir / "folder");
  EXPECT_FALSE(ReplacementFile::create(dir / "folder"));
  EXPECT_FALSE(ReplacementFile::create(dir / "missing/bookmark.htm"));
  EXPECT_EQ(ReadTree(dir.path()).size(), 1u);
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
  const std::map<std::string, std::string> expected = {{"bookmark.htm", "old"}};
  EXPECT_EQ(ReadTree(dir.path()), expected);
}

// The superuser ignores permissions, so the attempt runs as an ordinary user.
TEST(ReplacementFileTest, ReadOnlyDirectoryLeavesTheOldFile) {
  TempDir dir;
  fs::create_directory(dir / "locked");
  const std::string target = dir / "locked/bookmark.htm";
  WriteFile(target, "old");
  fs::permissions(dir.path(),
                  fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec |
                                      fs::perms::group_exec | fs::perms::others_exec);
  fs::permissions(target, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_write);
  const int status = testing::RunInChild([&] {
    if (::geteuid() == 0 && ::setuid(65534) != 0) return 1;
    return ReplacementFile::create(target) ? 2 : 0;
  });
  EXPECT_EQ(status, 0);
  const std::map<std::string, std::string> expected = {{"bookmark.htm", "old"}};
  EXPECT_EQ(ReadTree(dir / "locked"), expected);
}

}  // namespace
}  // namespace pelmo::platform

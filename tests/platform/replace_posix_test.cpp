#include "platform/replace.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/directory.h"
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

// The links stay links, and the file they lead to keeps its permission bits.
// The temporary file fits beside a target of the longest name.
TEST(ReplacementFileTest, ATargetOfTheLongestNameIsReplaced) {
  TempDir dir;
  const std::string name(255, 'b');
  WriteFile(dir / name, "old");
  std::optional<ReplacementFile> file = ReplacementFile::create(dir / name);
  ASSERT_TRUE(file && file->write("new") && file->commit());
  EXPECT_EQ(ReadTree(dir.path()), (Tree{{name, "new"}}));
}

TEST(ReplacementFileTest, RefusesAPipe) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  EXPECT_FALSE(ReplacementFile::open(dir / "pipe"));  // and does not block
}

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

// The kernel's rule for links in a sticky, world-writable directory such as /tmp:
// followed only when the link is the user's own or the directory owner's, whether the
// link is the bookmark file or a folder on the way to it, and also for a folder that
// is listed or made current.
TEST(ReplacementFileTest, FollowsALinkInAStickyDirectoryOnlyForItsOwners) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs links owned by other users";
  constexpr uid_t kNobody = 65534;
  const struct {
    const char* what;
    uid_t directoryOwner;
    uid_t linkOwner;
    bool followed;
  } cases[] = {
      {"a stranger's link", kNobody + 1, kNobody, false},
      {"the directory owner's link", kNobody, kNobody, true},
      {"the user's own link", kNobody, 0, true},
  };
  for (const auto& c : cases) {
    for (const bool folderLink : {false, true}) {
      TempDir dir;
      const std::string shared = dir / "shared";
      fs::create_directory(shared);
      ASSERT_EQ(::chown(shared.c_str(), c.directoryOwner, c.directoryOwner), 0);
      ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
      fs::create_directory(dir / "real");
      WriteFile(dir / "real/bookmark.htm", "old");
      const std::string link = shared + (folderLink ? "/folder" : "/link.htm");
      fs::create_symlink(folderLink ? dir / "real" : dir / "real/bookmark.htm", link);
      ASSERT_EQ(::lchown(link.c_str(), c.linkOwner, c.linkOwner), 0);
      const std::string path = folderLink ? link + "/sub/../bookmark.htm" : link;
      if (folderLink) fs::create_directory(dir / "real/sub");
      const std::string what = std::string(c.what) + (folderLink ? " to a folder" : "");
      std::optional<ReplacementFile> file = ReplacementFile::create(path);
      EXPECT_EQ(file.has_value(), c.followed) << what;
      if (file) {
        EXPECT_TRUE(file->write("new") && file->commit()) << what;
      }
      EXPECT_EQ(ReadFile(dir / "real/bookmark.htm"), c.followed ? "new" : "old") << what;
      if (!folderLink) continue;
      EXPECT_EQ(DirectoryListing::open(link).has_value(), c.followed) << what;
      const fs::path before = fs::current_path();
      EXPECT_EQ(ChangeDirectory(link + "/sub") == kErrorNone, c.followed) << what;
      fs::current_path(before);
      EXPECT_EQ(MakeDirectory(link + "/made") == kErrorNone, c.followed) << what;
      EXPECT_EQ(fs::exists(dir / "real/made"), c.followed) << what;
    }
  }
}

std::vector<char> Attribute(const std::string& path, const char* name) {
  std::vector<char> value(256);
  const ssize_t size = ::getxattr(path.c_str(), name, value.data(), value.size());
  value.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
  return value;
}

// An access ACL as the system stores it: u::rw, u:nobody:rw, g::r, m::rw, o::-.
std::vector<char> AccessAclGivingNobodyWrite() {
  std::vector<char> bytes;
  auto put = [&bytes](std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
  };
  put(2, 4);  // version
  const std::uint32_t entries[][3] = {
      {0x01, 6, ~0u}, {0x02, 6, 65534}, {0x04, 4, ~0u}, {0x10, 6, ~0u}, {0x20, 0, ~0u}};
  for (const auto& entry : entries) {
    put(entry[0], 2);
    put(entry[1], 2);
    put(entry[2], 4);
  }
  return bytes;
}

TEST(ReplacementFileTest, TheReplacedFileKeepsOwnerModeAttributesAndAcl) {
  TempDir dir;
  const std::string target = dir / "bookmark.htm";
  WriteFile(target, "old");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
  }
  const std::vector<char> acl = AccessAclGivingNobodyWrite();
  const bool attributes =
      ::setxattr(target.c_str(), "user.origin", "kept", 4, 0) == 0 &&
      ::setxattr(target.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) == 0;
  struct stat before {};
  ASSERT_EQ(::stat(target.c_str(), &before), 0);

  std::optional<ReplacementFile> file = ReplacementFile::create(target);
  ASSERT_TRUE(file && file->write("new") && file->commit());
  struct stat after {};
  ASSERT_EQ(::stat(target.c_str(), &after), 0);
  EXPECT_NE(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mode, before.st_mode);
  EXPECT_EQ(after.st_uid, before.st_uid);
  EXPECT_EQ(after.st_gid, before.st_gid);
  if (!attributes) GTEST_SKIP() << "no extended attributes here";
  EXPECT_EQ(Attribute(target, "user.origin"), (std::vector<char>{'k', 'e', 'p', 't'}));
  EXPECT_EQ(Attribute(target, "system.posix_acl_access"), acl);
}

// A file with another link is replaced in one step like any other, so it is never
// torn; the other link, outside the folder, keeps the old content, and nothing is left
// beside the file.
TEST(ReplacementFileTest, AFileWithOtherLinksIsReplacedAndTheLinksKeepTheOldContent) {
  TempDir dir;
  fs::create_directory(dir / "out");
  const std::string target = dir / "out/bookmark.htm";
  const std::string old(200000, 'o');
  WriteFile(target, old);
  fs::create_hard_link(target, dir / "elsewhere.htm");
  for (const std::string& content : {std::string("new"), std::string(300000, 'n')}) {
    std::optional<ReplacementFile> file = ReplacementFile::create(target);
    ASSERT_TRUE(file && file->write(content) && file->commit());
    file.reset();
    EXPECT_EQ(ReadTree(dir.path()),
              (Tree{{"out/", ""}, {"out/bookmark.htm", content}, {"elsewhere.htm", old}}));
    EXPECT_EQ(fs::hard_link_count(target), 1u);
  }
}

// The process ends by the signal, as its parent expects, with only the old file left.
TEST(ReplacementFileTest, AnInterruptRemovesTheTemporaryFile) {
  for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
    TempDir dir;
    const std::string target = dir / "bookmark.htm";
    WriteFile(target, "old");
    const pid_t child = ::fork();
    if (child == 0) {
      std::optional<ReplacementFile> file = ReplacementFile::create(target);
      if (!file || !file->write(std::string(100000, 'x'))) ::_exit(1);
      ::raise(signalNumber);
      ::_exit(2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << signalNumber;
    EXPECT_EQ(ReadTree(dir.path()), (Tree{{"bookmark.htm", "old"}})) << signalNumber;
  }
}

}  // namespace
}  // namespace pelmo::platform

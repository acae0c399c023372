#include "platform/directory.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <string>

#include "platform/posix/error_mapping.h"
#include "support/temp_dir.h"

namespace pelmo::platform {
namespace {

namespace fs = std::filesystem;
using testing::CurrentDirectoryGuard;
using testing::TempDir;
using testing::WriteFile;

TEST(ErrorMappingTest, ErrnoGivesTheCodesTheLogicTellsApart) {
  struct Case {
    int error;
    ParentState parent;
    ErrorCode expected;
  };
  const Case cases[] = {
      {ENOENT, ParentState::Directory, kErrorFileNotFound},
      {ENOENT, ParentState::NotDirectory, kErrorPathNotFound},
      {ENOTDIR, ParentState::NotDirectory, kErrorPathNotFound},
      {ENOTDIR, ParentState::Directory, 267},
      {EEXIST, ParentState::Directory, kErrorAlreadyExists},
      {EACCES, ParentState::Directory, 5},
      {ENAMETOOLONG, ParentState::Directory, 206},
      {ENOSPC, ParentState::Directory, 112},
      {EROFS, ParentState::Directory, 19},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ErrorCodeFromErrno(c.error, c.parent), c.expected) << "errno " << c.error;
  }
  // Whatever else fails must not pass for success or for one of the three codes.
  for (int error : {EPERM, EIO, ELOOP, EBUSY, EINVAL, EMLINK, EXDEV, 0, 9999}) {
    const ErrorCode code = ErrorCodeFromErrno(error, ParentState::Directory);
    EXPECT_NE(code, kErrorNone) << error;
    EXPECT_NE(code, kErrorFileNotFound) << error;
    EXPECT_NE(code, kErrorPathNotFound) << error;
    EXPECT_NE(code, kErrorAlreadyExists) << error;
  }
}

TEST(ErrorMappingTest, RealPathsGiveTheExpectedCodes) {
  TempDir dir;
  fs::create_directory(dir / "existing");
  WriteFile(dir / "file", "x");
  struct Case {
    std::string path;
    ErrorCode changeDirectory;
    ErrorCode makeDirectory;
  };
  const Case cases[] = {
      {dir / "missing", kErrorFileNotFound, kErrorNone},
      {dir / "missing/", kErrorFileNotFound, kErrorNone},
      {dir / "gap/missing", kErrorPathNotFound, kErrorPathNotFound},
      {dir / "gap/deeper/missing", kErrorPathNotFound, kErrorPathNotFound},
      {dir / "file/missing", kErrorPathNotFound, kErrorPathNotFound},
      {dir / "existing", kErrorNone, kErrorAlreadyExists},
      {dir / "file", 267, kErrorAlreadyExists},
      {"", kErrorPathNotFound, kErrorPathNotFound},
  };
  CurrentDirectoryGuard guard;
  for (const Case& c : cases) {
    EXPECT_EQ(ChangeDirectory(c.path), c.changeDirectory) << c.path;
    EXPECT_EQ(MakeDirectory(c.path), c.makeDirectory) << c.path;
    if (c.makeDirectory == kErrorNone) fs::remove(fs::path(c.path));
  }
}

TEST(ErrorMappingTest, RelativePathsLookAtTheCurrentDirectory) {
  TempDir dir;
  CurrentDirectoryGuard guard;
  ASSERT_EQ(ChangeDirectory(dir.str()), kErrorNone);
  EXPECT_EQ(ChangeDirectory("missing"), kErrorFileNotFound);
  EXPECT_EQ(ChangeDirectory("gap/missing"), kErrorPathNotFound);
  EXPECT_EQ(MakeDirectory("made"), kErrorNone);
  EXPECT_EQ(MakeDirectory("made"), kErrorAlreadyExists);
  EXPECT_EQ(MakeDirectory("made/inner"), kErrorNone);
}

TEST(CurrentDirectoryTest, FollowsChangesAndAllowsLongPaths) {
  TempDir dir;
  CurrentDirectoryGuard guard;
  const std::string real = fs::canonical(dir.path()).string();
  ASSERT_EQ(ChangeDirectory(real), kErrorNone);
  EXPECT_EQ(CurrentDirectory(), real);

  // Deeper than PATH_MAX, reached one step at a time.
  const std::string component(200, 'd');
  std::string expected = real;
  while (expected.size() < 5000) {
    ASSERT_EQ(MakeDirectory(component), kErrorNone);
    ASSERT_EQ(ChangeDirectory(component), kErrorNone);
    expected += "/" + component;
  }
  EXPECT_EQ(CurrentDirectory(), expected);
}

TEST(PathKindTest, FollowsLinks) {
  TempDir dir;
  fs::create_directory(dir / "sub");
  WriteFile(dir / "file", "x");
  fs::create_directory_symlink(dir / "sub", dir / "subLink");
  fs::create_symlink(dir / "nowhere", dir / "dangling");
  EXPECT_EQ(GetPathKind(dir / "sub"), PathKind::Directory);
  EXPECT_EQ(GetPathKind(dir / "subLink"), PathKind::Directory);
  EXPECT_EQ(GetPathKind(dir / "file"), PathKind::File);
  EXPECT_EQ(GetPathKind(dir / "dangling"), PathKind::Missing);
  EXPECT_EQ(GetPathKind(dir / "file/inner"), PathKind::Missing);
  EXPECT_EQ(GetPathKind("/dev/null"), PathKind::Other);
}

std::map<std::string, bool> ListAll(std::string_view path) {
  std::map<std::string, bool> entries;
  std::optional<DirectoryListing> listing = DirectoryListing::open(path);
  if (!listing) return entries;
  DirectoryEntry entry;
  while (listing->next(entry)) entries[entry.name] = entry.isDirectory;
  return entries;
}

TEST(DirectoryListingTest, ListsEveryEntryWithLinksFollowed) {
  TempDir dir;
  fs::create_directory(dir / "sub");
  WriteFile(dir / "file.url", "x");
  fs::create_directory_symlink(dir / "sub", dir / "subLink");
  fs::create_symlink(dir / "file.url", dir / "fileLink");
  fs::create_symlink(dir / "nowhere", dir / "dangling");
  const std::map<std::string, bool> expected = {
      {".", true},         {"..", true},        {"sub", true},       {"subLink", true},
      {"file.url", false}, {"fileLink", false}, {"dangling", false},
  };
  EXPECT_EQ(ListAll(dir.str()), expected);
}

TEST(DirectoryListingTest, EmptyDirectoryStillHasItsDots) {
  TempDir dir;
  fs::create_directory(dir / "empty");
  const std::map<std::string, bool> expected = {{".", true}, {"..", true}};
  EXPECT_EQ(ListAll(dir / "empty"), expected);
}

TEST(DirectoryListingTest, EmptyPathListsTheCurrentDirectory) {
  TempDir dir;
  WriteFile(dir / "here", "x");
  CurrentDirectoryGuard guard;
  ASSERT_EQ(ChangeDirectory(dir.str()), kErrorNone);
  EXPECT_EQ(ListAll("").count("here"), 1u);
  std::optional<DirectoryListing> listing = DirectoryListing::open("");
  ASSERT_TRUE(listing);
  EXPECT_EQ(listing->identity(), DirectoryListing::open(dir.str())->identity());
  EXPECT_FALSE(DirectoryListing::open(dir / "here"));
  EXPECT_FALSE(DirectoryListing::open(dir / "missing"));
}

TEST(DirectoryListingTest, LinkLoopShowsTheSameIdentity) {
  TempDir dir;
  fs::create_directory(dir / "a");
  fs::create_directory_symlink(dir / "a", dir / "a/loop");
  std::optional<DirectoryListing> outer = DirectoryListing::open(dir / "a");
  std::optional<DirectoryListing> inner = DirectoryListing::open(dir / "a/loop");
  std::optional<DirectoryListing> other = DirectoryListing::open(dir.str());
  ASSERT_TRUE(outer && inner && other);
  EXPECT_EQ(outer->identity(), inner->identity());
  EXPECT_FALSE(outer->identity() == other->identity());
}

}  // namespace
}  // namespace pelmo::platform

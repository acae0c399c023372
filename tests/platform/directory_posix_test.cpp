#include "platform/directory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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
using Listing = std::map<std::string, EntryKind>;
constexpr EntryKind kDir = EntryKind::Directory;
constexpr EntryKind kFile = EntryKind::File;
constexpr EntryKind kOther = EntryKind::Other;

TEST(ErrorMappingTest, ErrnoGivesTheCodesTheLogicTellsApart) {
  const struct {
    int error;
    ParentState parent;
    ErrorCode expected;
  } cases[] = {
      {ENOENT, ParentState::Directory, kErrorFileNotFound},
      {ENOENT, ParentState::NotDirectory, kErrorPathNotFound},
      {ENOTDIR, ParentState::NotDirectory, kErrorPathNotFound},
      {ENOTDIR, ParentState::Directory, 267},
      {EEXIST, ParentState::Directory, kErrorAlreadyExists},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ErrorCodeFromErrno(c.error, c.parent), c.expected) << "errno " << c.error;
  }
  // Whatever else fails must not pass for success or for one of the three codes.
  for (int error : {EACCES, ENAMETOOLONG, ENOSPC, EROFS, EIO, ELOOP, EMLINK, EXDEV, 0, 9999}) {
    const ErrorCode code = ErrorCodeFromErrno(error, ParentState::Directory);
    for (ErrorCode taken :
         {kErrorNone, kErrorFileNotFound, kErrorPathNotFound, kErrorAlreadyExists}) {
      EXPECT_NE(code, taken) << error;
    }
  }
}

TEST(ErrorMappingTest, RealPathsGiveTheExpectedCodes) {
  TempDir dir;
  fs::create_directory(dir / "existing");
  WriteFile(dir / "file", "x");
  const struct {
    std::string path;
    ErrorCode changeDirectory;
    ErrorCode makeDirectory;
  } cases[] = {
      {dir / "missing", kErrorFileNotFound, kErrorNone},
      {dir / "missing/", kErrorFileNotFound, kErrorNone},
      {dir / "gap/missing", kErrorPathNotFound, kErrorPathNotFound},
      {dir / "file/missing", kErrorPathNotFound, kErrorPathNotFound},
      {dir / "existing", kErrorNone, kErrorAlreadyExists},
      {dir / "existing/.", kErrorNone, kErrorAlreadyExists},
      {"/", kErrorNone, kErrorAlreadyExists},
      {dir / "file", 267, kErrorAlreadyExists},
      {"", kErrorPathNotFound, kErrorPathNotFound},
  };
  CurrentDirectoryGuard guard;
  for (const auto& c : cases) {
    EXPECT_EQ(ChangeDirectory(c.path), c.changeDirectory) << c.path;
    EXPECT_EQ(MakeDirectory(c.path), c.makeDirectory) << c.path;
    if (c.makeDirectory == kErrorNone) fs::remove(fs::path(c.path));
  }
}

Listing ListAll(std::string_view path) {
  Listing entries;
  std::optional<DirectoryListing> listing = DirectoryListing::open(path);
  if (!listing) return entries;
  DirectoryEntry entry;
  while (listing->next(entry)) entries[entry.name] = entry.kind;
  return entries;
}

// Relative and empty paths, and paths deeper than PATH_MAX reached one step at a time.
TEST(CurrentDirectoryTest, RelativeEmptyAndLongPathsStartThere) {
  TempDir dir;
  WriteFile(dir / "here", "x");
  CurrentDirectoryGuard guard;
  const std::string real = fs::canonical(dir.path()).string();
  ASSERT_EQ(ChangeDirectory(real), kErrorNone);
  EXPECT_EQ(CurrentDirectory(), real);
  EXPECT_EQ(ChangeDirectory("missing"), kErrorFileNotFound);
  EXPECT_EQ(ChangeDirectory("gap/missing"), kErrorPathNotFound);
  EXPECT_EQ(MakeDirectory("made"), kErrorNone);
  EXPECT_EQ(MakeDirectory("made"), kErrorAlreadyExists);
  EXPECT_EQ(MakeDirectory("made/inner"), kErrorNone);
  EXPECT_EQ(ListAll("").count("here"), 1u);
  std::optional<DirectoryListing> listing = DirectoryListing::open("");
  ASSERT_TRUE(listing);
  EXPECT_EQ(listing->identity(), DirectoryListing::open(real)->identity());

  const std::string component(200, 'd');
  std::string expected = real;
  while (expected.size() < 5000) {
    ASSERT_EQ(MakeDirectory(component), kErrorNone);
    ASSERT_EQ(ChangeDirectory(component), kErrorNone);
    expected += "/" + component;
  }
  EXPECT_EQ(CurrentDirectory(), expected);
}

TEST(DirectoryListingTest, KindsAndEntriesFollowLinks) {
  TempDir dir;
  fs::create_directory(dir / "sub");
  WriteFile(dir / "file.url", "x");
  fs::create_directory_symlink(dir / "sub", dir / "subLink");
  fs::create_symlink(dir / "file.url", dir / "fileLink");
  fs::create_symlink(dir / "nowhere", dir / "dangling");
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  fs::create_symlink("/dev/null", dir / "deviceLink");
  const Listing expected = {
      {".", kDir},          {"..", kDir},        {"sub", kDir},
      {"subLink", kDir},    {"file.url", kFile}, {"fileLink", kFile},
      {"dangling", kOther}, {"pipe", kOther},    {"deviceLink", kOther},
  };
  EXPECT_EQ(ListAll(dir.str()), expected);
  EXPECT_EQ(ListAll(dir / "sub"), (Listing{{".", kDir}, {"..", kDir}}));
  EXPECT_FALSE(DirectoryListing::open(dir / "file.url"));
  EXPECT_FALSE(DirectoryListing::open(dir / "missing"));

  EXPECT_EQ(GetPathKind(dir / "sub"), PathKind::Directory);
  EXPECT_EQ(GetPathKind(dir / "subLink"), PathKind::Directory);
  EXPECT_EQ(GetPathKind(dir / "fileLink"), PathKind::File);
  EXPECT_EQ(GetPathKind(dir / "dangling"), PathKind::Missing);
  EXPECT_EQ(GetPathKind(dir / "file.url/inner"), PathKind::Missing);
  EXPECT_EQ(GetPathKind("/dev/null"), PathKind::Other);
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

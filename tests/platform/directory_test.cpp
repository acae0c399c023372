#include "platform/directory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "platform/errors.h"
#include "support/temp_dir.h"

namespace pelmo::platform {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::WriteFile;

TEST(DirectoryTest, ReportsTheErrorsTheConversionTellsApart) {
  TempDir dir;
  EXPECT_EQ(ChangeDirectory(dir / "missing"), kErrorFileNotFound);
  EXPECT_EQ(ChangeDirectory(dir / "missing/deeper"), kErrorPathNotFound);
  EXPECT_EQ(MakeDirectory(dir / "made"), kErrorNone);
  EXPECT_EQ(MakeDirectory(dir / "made"), kErrorAlreadyExists);
  std::optional<DirectoryListing> listing = DirectoryListing::open(dir / "made");
  ASSERT_TRUE(listing);
  int dots = 0;
  for (DirectoryEntry entry; listing->next(entry);) dots += entry.isDirectory();
  EXPECT_EQ(dots, 2);
}

TEST(DirectoryListingTest, ListsFoldersAndFilesWithTheirKinds) {
  TempDir dir;
  fs::create_directory(dir / "sub");
  WriteFile(dir / "file.url", "x");
  std::optional<DirectoryListing> listing = DirectoryListing::open(dir.str());
  ASSERT_TRUE(listing);
  std::map<std::string, EntryKind> entries;
  for (DirectoryEntry entry; listing->next(entry);) entries[entry.name] = entry.kind;
  EXPECT_FALSE(listing->failed());
  EXPECT_EQ(entries, (std::map<std::string, EntryKind>{{".", EntryKind::Directory},
                                                       {"..", EntryKind::Directory},
                                                       {"sub", EntryKind::Directory},
                                                       {"file.url", EntryKind::File}}));
  EXPECT_FALSE(DirectoryListing::open(dir / "file.url"));
  EXPECT_FALSE(DirectoryListing::open(dir / "missing"));
  EXPECT_EQ(DirectoryListing::open(dir / "sub")->identity(),
            listing->openChild("sub").listing->identity());
  EXPECT_NE(DirectoryListing::open(dir / "sub")->identity(), listing->identity());

  EXPECT_EQ(GetPathKind(dir / "sub"), PathKind::Directory);
  EXPECT_EQ(GetPathKind(dir / "file.url"), PathKind::File);
  EXPECT_EQ(GetPathKind(dir / "missing"), PathKind::Missing);
  EXPECT_EQ(GetPathKind(dir / "file.url/inner"), PathKind::Missing);
}

TEST(DirectoryListingTest, ReadsFilesThroughAListing) {
  TempDir dir;
  WriteFile(dir / "a.url", "[InternetShortcut]\r\nURL=http://a/\r\n");
  WriteFile(dir / "big.url", std::string(100, 'x'));
  std::filesystem::create_directory(dir / "sub");
  std::optional<DirectoryListing> listing = DirectoryListing::open(dir.str());
  ASSERT_TRUE(listing);
  ReadBuffer buffer;
  const struct {
    const char* name;
    FileReadStatus status;
  } cases[] = {{"a.url", FileReadStatus::Read},
               {"big.url", FileReadStatus::TooLarge},
               {"sub", FileReadStatus::NotFile},
               {"gone.url", FileReadStatus::NotFile}};
  for (const auto& c : cases) EXPECT_EQ(listing->readFile(c.name, 99, buffer), c.status) << c.name;
  ASSERT_EQ(listing->readFile("a.url", 99, buffer), FileReadStatus::Read);
  EXPECT_EQ(buffer.bytes(), "[InternetShortcut]\r\nURL=http://a/\r\n");
  ListingOpen child = listing->openChild("sub");
  EXPECT_TRUE(child.listing && !child.failed);
  ListingOpen missing = listing->openChild("missing");
  EXPECT_TRUE(!missing.listing && !missing.failed);
}

}  // namespace
}  // namespace pelmo::platform

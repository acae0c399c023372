#include "platform/file_time.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/directory.h"
#include "support/temp_dir.h"

namespace pelmo::platform {
namespace {

using testing::TempDir;
using testing::WriteFile;

TEST(FileTimeTest, FileTimeTicksBecomeSecondsSince1970) {
  constexpr std::uint64_t k1970 = kSecondsFrom1601To1970 * kFileTimeTicksPerSecond;
  const struct {
    std::uint64_t ticks;
    std::int64_t seconds;
  } cases[] = {
      {0, 0},  // before 1970: no time
      {k1970, 0},
      {k1970 + kFileTimeTicksPerSecond - 1, 0},
      {k1970 + kFileTimeTicksPerSecond, 1},
      {k1970 + 1'700'000'000ULL * kFileTimeTicksPerSecond + 5, 1'700'000'000},
  };
  for (const auto& c : cases) EXPECT_EQ(UnixTimeFromFileTime(c.ticks), c.seconds) << c.ticks;
}

// The time set on a file is the time its folder's listing gives back.
TEST(FileTimeTest, SetTimesAreListed) {
  TempDir dir;
  testing::CurrentDirectoryGuard guard;
  std::filesystem::current_path(dir.path());
  for (std::int64_t seconds : {std::int64_t{86'400}, std::int64_t{1'000'000'000},
                               std::int64_t{1'700'000'001}, std::int64_t{4'102'444'800}}) {
    WriteFile(dir / "a.url", "x");
    ASSERT_TRUE(SetModificationTime("a.url", seconds)) << seconds;
    std::optional<DirectoryListing> listing = DirectoryListing::open("");
    ASSERT_TRUE(listing);
    DirectoryEntry entry;
    while (listing->next(entry) && entry.name != "a.url") {
    }
    ASSERT_EQ(entry.name, "a.url");
    EXPECT_EQ(listing->modifiedTime(entry), seconds);
  }
  EXPECT_FALSE(SetModificationTime("missing.url", 1'000'000'000));
}

}  // namespace
}  // namespace pelmo::platform

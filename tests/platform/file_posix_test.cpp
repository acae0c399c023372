#include "platform/file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "platform/replace.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace pelmo::platform {
namespace {

using testing::TempDir;

TEST(FileOpenTest, ReadingRefusesAPipe) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_FALSE(File::open(dir / "fifo", FileAccess::ReadExisting));  // and does not block
}

// A write beyond RLIMIT_FSIZE fails as on a full disk; a failure still hidden in
// the buffer must reach commit().
TEST(FileWriteTest, FailureHiddenInTheBufferShowsAtClose) {
  TempDir dir;
  const std::string path = dir / "out";
  const int status = testing::RunInChild([&] {
    testing::LimitFileSize(10);
    std::optional<ReplacementFile> file = ReplacementFile::create(path);
    if (!file) return 1;
    if (!file->write("more than ten bytes, but gathered")) return 2;
    return file->commit() ? 3 : 0;
  });
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace pelmo::platform

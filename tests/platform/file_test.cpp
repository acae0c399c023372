#include "platform/file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace pelmo::platform {
namespace {

using testing::TempDir;
using testing::WriteFile;

// Larger than the read buffer, with no repeating period that would hide an offset error.
std::string SampleBytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

constexpr std::size_t kLargeSize = 200 * 1024 + 17;

// Single bytes, then block reads of every size mixed with single bytes, each pass
// after a rewind: the first after a partial read, the others after a full one.
TEST(FileReadTest, BytesBlocksAndRewindsMatchTheFile) {
  TempDir dir;
  const std::string expected = SampleBytes(kLargeSize);
  WriteFile(dir / "data", expected);
  std::optional<File> file = File::open(dir / "data", FileAccess::ReadExisting);
  ASSERT_TRUE(file);

  std::string got;
  for (int byte = file->peekByte(); byte >= 0; byte = file->peekByte()) {
    ASSERT_EQ(file->getByte(), byte);
    got.push_back(static_cast<char>(byte));
  }
  EXPECT_EQ(got, expected);
  EXPECT_EQ(file->getByte(), -1);
  EXPECT_FALSE(file->readFailed());

  ASSERT_TRUE(file->rewind());
  std::string partial(70000, '\0');
  ASSERT_EQ(file->read(partial.data(), partial.size()), partial.size());
  for (std::size_t chunk : {1u, 1000u, 65536u, 65537u, 150000u, 300000u}) {
    ASSERT_TRUE(file->rewind());
    got.clear();
    std::string block(chunk, '\0');
    for (int byte = file->getByte(); byte >= 0; byte = file->getByte()) {
      got.push_back(static_cast<char>(byte));
      const std::size_t n = file->read(block.data(), chunk);
      got.append(block, 0, n);
      if (n < chunk) break;
    }
    EXPECT_EQ(got, expected) << "chunk " << chunk;
    EXPECT_EQ(file->read(block.data(), chunk), 0u);
    EXPECT_EQ(file->peekByte(), -1);
  }
}

TEST(FileOpenTest, ReadingNeedsAnExistingRegularFile) {
  TempDir dir;
  std::filesystem::create_directory(dir / "sub");
  EXPECT_FALSE(File::open(dir / "sub", FileAccess::ReadExisting));
  EXPECT_FALSE(File::open(dir / "missing", FileAccess::ReadExisting));
  EXPECT_FALSE(File::open("", FileAccess::ReadExisting));
}

}  // namespace
}  // namespace pelmo::platform

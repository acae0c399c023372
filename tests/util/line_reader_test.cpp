#include "util/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace pelmo {
namespace {

using testing::TempDir;
using Lines = std::vector<std::string>;

Lines ReadAllLines(const std::string& path) {
  auto file = platform::File::open(path, platform::FileAccess::ReadExisting);
  EXPECT_TRUE(file.has_value());
  Lines lines;
  if (!file) return lines;
  std::string line;
  while (ReadTextLine(*file, line)) lines.push_back(line);
  EXPECT_FALSE(ReadTextLine(*file, line));  // stays at the end
  EXPECT_TRUE(line.empty());
  return lines;
}

TEST(ReadTextLine, LineEnds) {
  struct Case {
    std::string bytes;
    Lines lines;
  };
  const Case cases[] = {
      {"", {}},
      {"abc\r\n\r\ndef\r\n", {"abc", "", "def"}},
      {"one\ntwo\nthree\n", {"one", "two", "three"}},
      {"mac\rstyle\r", {"mac", "style"}},
      {"\n", {""}},
      {"\r", {""}},
      {"\r\n", {""}},
      {"\n\r", {"", ""}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"a\n\nb\r\rc", {"a", "", "b", "", "c"}},
      {std::string("nul\0byte\n", 9), {std::string("nul\0byte", 8)}},
      {"\xEF\xBB\xBFtext\xFF\n", {"\xEF\xBB\xBFtext\xFF"}},
  };
  TempDir dir;
  for (const auto& c : cases) {
    testing::WriteFile(dir / "lines.txt", c.bytes);
    EXPECT_EQ(ReadAllLines(dir / "lines.txt"), c.lines) << '"' << c.bytes << '"';
  }
}

// Long lines come back whole, and a CR LF pair split across the file's read buffer
// still counts as one line end.
TEST(ReadTextLine, LongLinesAndBufferBoundaries) {
  TempDir dir;
  for (std::size_t length : {255u, 256u, 511u, 65535u, 65536u, 1000000u}) {
    const std::string first(length, 'x');
    const std::string second(length / 2 + 1, 'y');
    testing::WriteFile(dir / "long.txt", first + "\r\n" + second + "\r\n" + "\r\n");
    EXPECT_EQ(ReadAllLines(dir / "long.txt"), (Lines{first, second, ""})) << length;
  }
}

}  // namespace
}  // namespace pelmo

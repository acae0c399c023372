#include "platform/line_reading.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace pelmo::platform {
namespace {

using Lines = std::vector<std::string>;

Lines ReadAllLines(std::string_view bytes) {
  StringByteSource source(bytes);
  Lines lines;
  std::string line;
  while (ReadLine(source, line)) lines.push_back(line);
  EXPECT_FALSE(ReadLine(source, line));  // stays at the end
  EXPECT_TRUE(line.empty());
  return lines;
}

TEST(ReadLine, LineEnds) {
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
  for (const auto& c : cases) EXPECT_EQ(ReadAllLines(c.bytes), c.lines) << '"' << c.bytes << '"';
}

// Long lines come back whole across the reader's blocks of gathered bytes, and a CR
// LF pair at a block's end still counts as one line end.
TEST(ReadLine, LongLinesAndBlockBoundaries) {
  for (std::size_t length : {255u, 256u, 257u, 511u, 512u, 65536u, 1000000u}) {
    const std::string first(length, 'x');
    const std::string second(length / 2 + 1, 'y');
    EXPECT_EQ(ReadAllLines(first + "\r\n" + second + "\r\n" + "\r\n"), (Lines{first, second, ""}))
        << length;
  }
}

}  // namespace
}  // namespace pelmo::platform

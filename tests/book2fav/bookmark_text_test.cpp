#include "book2fav/bookmark_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace pelmo {
namespace {

using Lines = std::vector<std::string>;

// Each line as handed on, its line end as "\n".
struct LineCollector final : TextReceiver {
  void lineStart() override { lines.emplace_back(); }
  void text(std::string_view bytes) override { lines.back() += bytes; }
  Lines lines;
};

TEST(ReadBookmarkTextTest, LinesMarksAndZeroBytes) {
  struct Case {
    std::string bytes;
    Lines lines;
  };
  const std::string longLine(65535, 'x');  // its CR ends the first block, its LF starts the next
  const Case cases[] = {
      {"", {}},
      {"abc\r\n\r\ndef\r\n", {"abc\n", "\n", "def\n"}},
      {"mac\rstyle\r", {"mac\n", "style\n"}},
      {"\n\r", {"\n", "\n"}},
      {"a\r\r\nb", {"a\n", "\n", "b"}},
      {std::string("nul\0byte\r\nnext\0", 16), {"nul\n", "next"}},
      {"\xEF\xBB\xBFtext\xFF\n", {"text\xFF\n"}},
      {std::string("\xFF\xFE"
                   "a\0\r\0\n\0\x3D\xD8\x00\xDE",
                   12),
       {"a\n", "\xF0\x9F\x98\x80"}},
      {std::string("\xFE\xFF\0a\xD8\x3D\0b\0", 9),
       {"a\xEF\xBF\xBD"
        "b\xEF\xBF\xBD"}},
      {longLine + "\r\ny", {longLine + "\n", "y"}},
  };
  testing::TempDir dir;
  for (const Case& c : cases) {
    testing::WriteFile(dir / "b.html", c.bytes);
    auto file = platform::File::open(dir / "b.html", platform::FileAccess::ReadExisting);
    ASSERT_TRUE(file.has_value());
    LineCollector collector;
    EXPECT_TRUE(ReadBookmarkText(*file, collector).readAll);
    EXPECT_EQ(collector.lines, c.lines) << c.bytes.substr(0, 40);
  }
}

TEST(Utf8CheckTest, ValidAcrossPieces) {
  struct Case {
    std::string bytes;
    bool valid;
  };
  const Case cases[] = {
      {"plain ASCII text, longer than a word", true},
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", true},
      {"cut \xC3", false},
      {"latin \xE9 byte", false},
      {"overlong \xE0\x80\x80", false},
      {"surrogate \xED\xA0\x80", false},
      {"too large \xF4\x90\x80\x80", false},
  };
  for (const Case& c : cases) {
    Utf8Check whole;
    whole.add(c.bytes);
    Utf8Check bytewise;
    for (char byte : c.bytes) bytewise.add(std::string_view(&byte, 1));
    EXPECT_EQ(whole.valid(), c.valid) << c.bytes;
    EXPECT_EQ(bytewise.valid(), c.valid) << c.bytes;
  }
}

}  // namespace
}  // namespace pelmo

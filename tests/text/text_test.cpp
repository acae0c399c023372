#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "text/ascii.h"
#include "text/utf16.h"
#include "text/utf8.h"

namespace pelmo::text {
namespace {

constexpr auto npos = std::string_view::npos;

int Sign(int value) {
  return (value > 0) - (value < 0);
}

TEST(CompareNoCase, FoldsOnlyAsciiLettersAndComparesUnsigned) {
  struct Case {
    std::string a;
    std::string b;
    int sign;
  };
  const Case cases[] = {
      {"home", "HOME", 0},
      {"", "", 0},
      {"News", "newsgroups", -1},
      {"", "a", -1},
      {"b", "A", 1},
      {"^x", "Z", 1},  // marks between the two letter ranges sort after every letter
      {"{", "_", 1},
      {"9", "A", -1},
      {"\xE4", "\xC4", 1},  // no folding outside ASCII
      {"\x80", "~", 1},     // high bytes are unsigned, after all of ASCII
      {std::string("a\0b", 3), std::string("a\0c", 3), -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Sign(CompareNoCase(c.a, c.b)), c.sign) << c.a << " vs " << c.b;
    EXPECT_EQ(Sign(CompareNoCase(c.b, c.a)), -c.sign) << c.b << " vs " << c.a;
  }
}

TEST(FindNoCase, FindsFirstMatchAnywhere) {
  struct Case {
    std::string text;
    std::string pattern;
    std::size_t position;
  };
  const Case cases[] = {
      {"    <DT><a href=\"http://x/\">X</a>", "<A HREF=", 8},
      {"<a", "<A HREF=", npos},
      {"", "", 0},
      {"", "a", npos},
      {"bookmark.HTM", ".htm", 8},
      {"x.htmx.HTM", ".htm", 1},
      {"aaab", "AAB", 1},
      {"\xE4", "\xC4", npos},
      {"[x]", "{X}", npos},  // brackets are not letters
      {"ab", "abc", npos},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindNoCase(c.text, c.pattern), c.position) << c.text << " / " << c.pattern;
  }
}

TEST(CutUtf8, NeverCutsInsideAUtf8Character) {
  struct Case {
    std::string name;
    std::size_t maxBytes;
    std::string fitted;
  };
  const std::string e = "\xC3\xA9";              // two bytes
  const std::string euro = "\xE2\x82\xAC";       // three bytes
  const std::string emoji = "\xF0\x9F\x98\x80";  // four bytes
  const Case cases[] = {
      {"abcd", 3, "abc"},
      {"ab" + e, 3, "ab"},
      {"ab" + e, 4, "ab" + e},
      {"a" + euro, 3, "a"},
      {"a" + euro + "b", 4, "a" + euro},
      {emoji + emoji, 7, emoji},
      {emoji, 4, emoji},
      {"ab\xE9xy", 3, "ab\xE9"},  // a Latin-1 byte is a character of its own
      {"ab\xC3xy", 3, "ab\xC3"},  // a lead byte without its continuation
      {"\xA9\xA9\xA9\xA9", 2, "\xA9\xA9"},
      // Lead bytes classified as the validity check does: these start no character.
      {"a\xC0\x80", 2, "a\xC0"},
      {"ab\xE0\x80\x80", 4, "ab\xE0\x80"},  // an overlong form
      {"a\xED\xA0\x80", 3, "a\xED\xA0"},    // a surrogate
      {"a\xF5\x80\x80\x80", 3, "a\xF5\x80"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CutUtf8(c.name, c.maxBytes), c.fitted) << c.name << " " << c.maxBytes;
  }
}

TEST(DecodeUtf7, DecodesShiftedRunsAndRefusesWhatIsNotUtf7) {
  const struct {
    const char* text;
    std::optional<std::string> utf8;
  } cases[] = {
      {"http://a/", "http://a/"},
      {"A+ImIDkQ.", "A\xE2\x89\xA2\xCE\x91."},        // RFC 2152's first example
      {"Hi Mom -+Jjo--!", "Hi Mom -\xE2\x98\xBA-!"},  // a '-' after a run is absorbed
      {"1 +- 1", "1 + 1"},
      {"+2D3eAA-", "\xF0\x9F\x98\x80"},  // a surrogate pair
      {"+BEIENQ", "\xD1\x82\xD0\xB5"},   // a run may end the text
      {"+2D0-", std::nullopt},           // a lone surrogate
      {"+AGF", std::nullopt},            // left-over bits that are not zero
      {"+AAA-", std::nullopt},           // U+0000
      {"caf\xE9", std::nullopt},         // not 7-bit
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeUtf7(c.text), c.utf8) << c.text;
}

}  // namespace
}  // namespace pelmo::text

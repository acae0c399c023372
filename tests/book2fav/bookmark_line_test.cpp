#include "book2fav/bookmark_line.h"

#include <gtest/gtest.h>

#include <string>

#include "book2fav/character_references.h"

namespace pelmo {
namespace {

TEST(ExtractTitleTest, TrimsFiltersAndDecodes) {
  struct Case {
    std::string line;
    char endLetter;
    std::string name;
  };
  const Case cases[] = {
      {"<H3 FOLDED ADD_DATE=\"1\">News</h3>", 'H', "Newsh3"},
      {"\" TAGS=\"x\">Vol. 2: Notes/Links?</A>", 'A', "Vol 2 NotesLinks"},
      {"\">\tTab</A>", 'A', "Tab"},  // the tab is dropped, not trimmed
      {"\" no closing bracket", 'A', ""},
      {"\">   </A>", 'A', ""},
      {"\">Tom & Jerry</A>", 'A', "Tom  Jerry"},
      {"\">Tom &</A>", 'A', "Tom "},
      {"\">&lt;b&gt;bold&lt;/b&gt;</A>", 'A', "bboldb"},
      {"\">It&#39;s &#x1F600;</A>", 'A', "It's \xF0\x9F\x98\x80"},
      {"\">Dots &#46;&#46; and &#47;</A>", 'A', "Dots  and "},
      {"\">Bad &#0; ref</A>", 'A', "Bad #0; ref"},
      {"\">&&amp;</A>", 'A', "&amp;"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtractTitle(c.line, 0, c.endLetter), c.name) << c.line;
  }
}

TEST(CharacterReferenceTest, RejectsInvalidNumbers) {
  const char* invalid[] = {"&#0;", "&#xD800;", "&#xDFFF;", "&#x110000;", "&#99999999999999999999;",
                           "&#;",  "&#x;",     "&#12",     "&#x1G;",     "&AMP;"};
  for (const char* text : invalid) {
    EXPECT_FALSE(ReadCharacterReference(text, 0).has_value()) << text;
  }
  auto largest = ReadCharacterReference("&#x10FFFF;", 0);
  ASSERT_TRUE(largest.has_value());
  EXPECT_EQ(largest->bytes, "\xF4\x8F\xBF\xBF");
  EXPECT_EQ(largest->length, 10u);
  EXPECT_EQ(ReadCharacterReference("&#X7f;", 0)->bytes, "\x7F");
  EXPECT_EQ(ReadCharacterReference("&#2047;", 0)->bytes, "\xDF\xBF");
}

}  // namespace
}  // namespace pelmo

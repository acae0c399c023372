#include "book2fav/bookmark_line.h"

#include <gtest/gtest.h>

#include <string>

#include "book2fav/character_references.h"

namespace pelmo {
namespace {

TEST(RecogniseLineTest, FirstMatchingRecogniserWins) {
  struct Case {
    std::string line;
    LineKind kind;
    std::size_t tagPosition;
  };
  const Case cases[] = {
      {"<DT><A HREF=\"u\">t</A>", LineKind::Shortcut, 4},
      {"  <dt><a href=\"u\">t</a>", LineKind::Shortcut, 6},
      {"<DT><A HREF=\"u\">t</A></DL><P>", LineKind::Shortcut, 4},
      {"<DT><H3 FOLDED>News</H3>", LineKind::FolderHeading, 4},
      {"<h3>x</h3><dt>", LineKind::FolderHeading, 0},
      {"<H3>no list item</H3>", LineKind::Other, 0},
      {"    </DL><p>", LineKind::EndOfList, 0},
      {"</DL>", LineKind::Other, 0},
      {"<HR>", LineKind::Other, 0},
      {"<DD>A description", LineKind::Other, 0},
      {"", LineKind::Other, 0},
  };
  for (const Case& c : cases) {
    LineMatch match = RecogniseLine(c.line);
    EXPECT_EQ(match.kind, c.kind) << c.line;
    if (c.kind == LineKind::Shortcut || c.kind == LineKind::FolderHeading) {
      EXPECT_EQ(match.tagPosition, c.tagPosition) << c.line;
    }
  }
}

TEST(ExtractUrlTest, TakesTheTextBetweenTheFirstTwoQuotesWhole) {
  struct Case {
    std::string line;
    std::string url;
  };
  const std::string longUrl = "http://example.com/" + std::string(1000, 'x');
  const Case cases[] = {
      {"<A HREF=\"http://a/\" ADD_DATE=\"1\">T</A>", "http://a/"},
      {"<A HREF=no quotes>T</A>", ""},
      {"<A HREF=\"http://open>T</A>", "http://open>T</A>"},
      {"<A HREF=\"" + longUrl + "\">T</A>", longUrl},
      {"<A HREF=\"http://a/?x=1&amp;y=2&z=3\">", "http://a/?x=1&y=2&z=3"},
      {"<A HREF=\"&lt;&gt;&quot;&#39;&#x41;&#66;\">", "<>\"'AB"},
      {"<A HREF=\"&#0;&#xD800;&#x110000;&bogus;&amp\">", "&#0;&#xD800;&#x110000;&bogus;&amp"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtractUrl(c.line, 0).url, c.url) << c.line;
  }
}

TEST(ExtractTitleTest, TrimsFiltersAndDecodes) {
  struct Case {
    std::string line;
    char endLetter;
    std::string name;
  };
  const Case cases[] = {
      {"\">   Q&A Corner  </A>", 'A', "QA Corner"},
      {"\">A/B Test</A>", 'A', "AB Test"},
      {"\">Docs</a>", 'A', "Docsa"},
      {"<H3 FOLDED ADD_DATE=\"1\">News</h3>", 'H', "Newsh3"},
      {"<H3 X>News</H3>", 'H', "News"},
      {"\" TAGS=\"x\">Vol. 2: Notes/Links?</A>", 'A', "Vol 2 NotesLinks"},
      {"\">\tTab</A>", 'A', "Tab"},  // the tab is dropped, not trimmed
      {"\" no closing bracket", 'A', ""},
      {"\">   </A>", 'A', ""},
      {"\">R&&D</A>", 'A', "R&D"},
      {"\">Tom & Jerry</A>", 'A', "Tom  Jerry"},
      {"\">Tom &</A>", 'A', "Tom "},
      {"\">Q&amp;A</A>", 'A', "Q&A"},
      {"\">&lt;b&gt;bold&lt;/b&gt;</A>", 'A', "bboldb"},
      {"\">Caf&#233;</A>", 'A', "Caf\xC3\xA9"},
      {"\">It&#39;s &#x1F600;</A>", 'A', "It's \xF0\x9F\x98\x80"},
      {"\">Dots &#46;&#46; and &#47;</A>", 'A', "Dots  and "},
      {"\">Bad &#0; ref</A>", 'A', "Bad #0; ref"},
      {"\">&&amp;</A>", 'A', "&amp;"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtractTitle(c.line, 0, c.endLetter), c.name) << c.line;
  }
}

TEST(ExtractTitleTest, DoesNotCutLongTitles) {
  std::string title(600, 'x');
  EXPECT_EQ(ExtractTitle("\">" + title + "</A>", 0, 'A'), title);
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

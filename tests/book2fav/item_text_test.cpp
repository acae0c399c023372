#include "book2fav/item_text.h"

#include <gtest/gtest.h>

#include <string>

#include "book2fav/character_references.h"
#include "util/bookmark_items.h"

namespace pelmo {
namespace {

// The name of the first item the text gives, or "(none)".
std::string FirstName(std::string_view text) {
  ItemReader reader;
  reader.feed(text);
  reader.finish();
  if (reader.items().empty()) return "(none)";
  return NameFromTitle(reader.items().front().title);
}

TEST(NameFromTitleTest, TrimsFiltersAndDecodes) {
  struct Case {
    std::string text;
    std::string name;
  };
  const Case cases[] = {
      {"<DT><H3 FOLDED ADD_DATE=\"1\">News</h3>", "News"},
      {"<A HREF=\"u\" TAGS=\"x\">Vol. 2: Notes/Links?</A>", "Vol 2 NotesLinks"},
      {"<A HREF=\"u\">\tTab</A>", "Tab"},  // the tab is dropped, not trimmed
      {"<A HREF=\"u\" no closing bracket", "(none)"},
      {"<A HREF=\"u\">   </A>", ""},
      {"<A HREF=\"u\">Tom & Jerry</A>", "Tom  Jerry"},
      {"<A HREF=\"u\">Tom &</A>", "Tom"},
      {"<A HREF=\"u\">&lt;b&gt;bold&lt;/b&gt;</A>", "bboldb"},
      {"<A HREF=\"u\">It&#39;s &#x1F600;</A>", "It's \xF0\x9F\x98\x80"},
      {"<A HREF=\"u\">Dots &#46;&#46; and &#47;</A>", "Dots  and"},
      {"<A HREF=\"u\">Bad &#0; ref</A>", "Bad #0; ref"},
      {"<A HREF=\"u\">&&amp;</A>", "&amp;"},
      {"<A HREF=\"u\">Tom &amp;&amp; Jerry &amp; AT&amp;&amp;&amp;&amp;T</A>",
       "Tom & Jerry & AT&&T"},
      {"<A HREF=\"u\">Title ...</A>", "Title"},
      {"<A HREF=\"u\">. Dotted .</A>", "Dotted"},
      {"<A HREF=\"u\">Two\nlines</a>", "Two lines"},
      {"<A HREF=\"u\">\n  Indented\n</A>", "Indented"},
      {"<A HREF=\"u\">a <b>bold</b> move<img src=\"x.png\"/></A>", "a bold move"},
      {"<A HREF=\"u\">Cats <3 dogs <i</A>", "Cats 3 dogs i"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FirstName(c.text), c.name) << c.text;
  }
}

TEST(UrlFromHrefTest, DecodesAndKeepsTheUrlOnOneLine) {
  struct Case {
    std::string href;
    std::string url;
  };
  const Case cases[] = {
      {"http://a/?x=1&amp;y=&#50;&z", "http://a/?x=1&y=2&z"},
      {"http://a/&#13;&#10;IconFile=x", "http://a/IconFile=x"},
      {"http://a/\n  b\tc", "http://a/  bc"},
      {"a&#1;b&#x7F;c\x1B", "a%01b%7Fc%1B"},
      {"caf\xC3\xA9", "caf\xC3\xA9"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UrlFromHref(c.href), c.url) << c.href;
  }
}

TEST(CharacterReferenceTest, RejectsInvalidNumbers) {
  const char* invalid[] = {
      "&#0;",  "&#xD800;", "&#xDFFF;",    "&#x110000;", "&#99999999999999999999;",
      "&#;",   "&#x;",     "&#12",        "&#x1G;",     "&AMP;",
      "&ouml", "&OUML;",   "&thetasymx;", "&;",         "& ouml;"};
  for (const char* text : invalid) {
    EXPECT_FALSE(ReadCharacterReference(text, 0).has_value()) << text;
  }
  auto largest = ReadCharacterReference("&#x10FFFF;", 0);
  ASSERT_TRUE(largest.has_value());
  EXPECT_EQ(largest->bytes, "\xF4\x8F\xBF\xBF");
  EXPECT_EQ(largest->length, 10u);
  EXPECT_EQ(ReadCharacterReference("&#X7f;", 0)->bytes, "\x7F");
  EXPECT_EQ(ReadCharacterReference("&#2047;", 0)->bytes, "\xDF\xBF");
  // HTML 4's names, first, last and longest in the table, letter case exact.
  EXPECT_EQ(ReadCharacterReference("&AElig;", 0)->bytes, "\xC3\x86");
  EXPECT_EQ(ReadCharacterReference("&zwnj;", 0)->bytes, "\xE2\x80\x8C");
  EXPECT_EQ(ReadCharacterReference("x&thetasym;", 1)->length, 10u);
  EXPECT_EQ(ReadCharacterReference("&Ouml;&ouml;", 6)->bytes, "\xC3\xB6");
}

}  // namespace
}  // namespace pelmo

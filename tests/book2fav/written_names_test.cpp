#include "book2fav/written_names.h"

#include <gtest/gtest.h>

#include <string>

namespace pelmo {
namespace {

TEST(FitNameTest, NeverCutsInsideAUtf8Character) {
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
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FitName(c.name, c.maxBytes), c.fitted) << c.name << " " << c.maxBytes;
  }
}

TEST(WrittenNamesTest, SkipsGeneratedNamesAlreadyUsed) {
  WrittenNames names;
  EXPECT_EQ(names.claimShortcutName("A (2)"), "A (2).URL");
  EXPECT_EQ(names.claimShortcutName("A"), "A.URL");
  EXPECT_EQ(names.claimShortcutName("A"), "A (3).URL");
  EXPECT_EQ(names.claimShortcutName("A (3)"), "A (3) (2).URL");
}

TEST(WrittenNamesTest, KeepsNamesPerDirectoryAndSharesThemBetweenEqualHeadings) {
  WrittenNames names;
  EXPECT_EQ(names.claimShortcutName("Home"), "Home.URL");
  names.enter("News");
  EXPECT_EQ(names.claimShortcutName("Home"), "Home.URL");
  names.leave();
  names.enter("Other");
  EXPECT_EQ(names.claimShortcutName("Home"), "Home.URL");
  names.leave();
  names.enter("NEWS");
  EXPECT_EQ(names.claimShortcutName("Home"), "Home (2).URL");
  names.enter("Deeper");
  EXPECT_EQ(names.claimShortcutName("Home"), "Home.URL");
  names.leave();
  names.leave();
  EXPECT_EQ(names.claimShortcutName("Home"), "Home (2).URL");
}

}  // namespace
}  // namespace pelmo

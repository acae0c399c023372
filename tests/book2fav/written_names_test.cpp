#include "book2fav/written_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
  // Trimmed only where cut: a name that fits keeps what it ends in.
  EXPECT_EQ(FitTrimmedName("ab  . cd", 5), "ab");
  EXPECT_EQ(FitTrimmedName("ab .", 4), "ab .");
  EXPECT_EQ(FitTrimmedName("  x", 2), "");
}

TEST(WrittenNamesTest, SkipsGeneratedNamesAlreadyUsed) {
  WrittenNames names;
  EXPECT_EQ(names.claimShortcutName("A (2)"), "A (2).URL");
  EXPECT_EQ(names.claimShortcutName("A"), "A.URL");
  EXPECT_EQ(names.claimShortcutName("A"), "A (3).URL");
  EXPECT_EQ(names.claimShortcutName("A (3)"), "A (3) (2).URL");
  EXPECT_EQ(names.claimShortcutName(""), ".URL");
  EXPECT_EQ(names.claimShortcutName(""), "(2).URL");
  EXPECT_EQ(names.claimShortcutName("(2)"), "(2) (2).URL");
}

// Titles that differ only beyond the cut share one count, however many there are.
TEST(WrittenNamesTest, NumbersTitlesCutToOneNameInTurn) {
  WrittenNames names;
  const std::string title(300, 't');
  EXPECT_EQ(names.claimShortcutName(title + "0"), title.substr(0, 251) + ".URL");
  for (unsigned number = 2; number <= 3000; ++number) {
    std::string name = names.claimShortcutName(title + std::to_string(number));
    std::string suffix = " (" + std::to_string(number) + ").URL";
    ASSERT_EQ(name, title.substr(0, 255 - suffix.size()) + suffix);
  }
}

TEST(WrittenNamesTest, KeepsNamesPerDirectoryAndListsADirectoryEnteredAgainOnce) {
  WrittenNames names;
  int listings = 0;
  auto lister = [&](std::vector<std::string> held) {
    return [&listings, held] {
      ++listings;
      return held;
    };
  };
  const platform::FileIdentity news{1, 10};
  EXPECT_EQ(names.claimShortcutName("Home"), "Home.URL");
  names.enter(news, lister({}));
  EXPECT_EQ(names.claimShortcutName("Home"), "Home.URL");
  names.leave();
  names.enter({1, 11}, lister({}));
  EXPECT_FALSE(names.reentered());
  EXPECT_EQ(names.claimShortcutName("Home"), "Home.URL");
  names.leave();
  names.enter(news, lister({"HOME.URL", "Sub"}));
  EXPECT_TRUE(names.reentered());
  EXPECT_EQ(names.claimShortcutName("Home"), "Home (2).URL");
  EXPECT_EQ(names.claimShortcutName("sub"), "sub.URL");
  names.enter({1, 12}, lister({}));
  EXPECT_EQ(names.claimShortcutName("Home"), "Home.URL");
  names.leave();
  names.leave();
  names.enter(news, lister({"never asked"}));
  EXPECT_EQ(names.claimShortcutName("Home"), "Home (3).URL");
  names.leave();
  EXPECT_EQ(names.claimShortcutName("Home"), "Home (2).URL");
  EXPECT_EQ(listings, 1);
}

}  // namespace
}  // namespace pelmo

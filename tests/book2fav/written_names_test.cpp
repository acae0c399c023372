#include "book2fav/written_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelmo {
namespace {

TEST(FitTrimmedNameTest, TrimsOnlyWhereCut) {
  // A name that fits keeps what it ends in.
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
  // Where the path leaves little room the title gives way to the number; a name that
  // cannot fit at all comes out longer, for the writer to refuse.
  EXPECT_EQ(names.claimShortcutName("Long title", 10), "Long t.URL");
  EXPECT_EQ(names.claimShortcutName("Long title", 10), "Lo (2).URL");
  EXPECT_EQ(names.claimShortcutName("Long title", 6), "(3).URL");
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

// A directory entered again keeps the names written there before, and only those:
// names that were there before the run are not asked for at all.
TEST(WrittenNamesTest, KeepsTheNamesOfThisRunPerDirectory) {
  const platform::FileIdentity top{1, 1};
  const platform::FileIdentity news{1, 10};
  WrittenNames names(top);
  EXPECT_EQ(names.claimShortcutName("Home"), "Home.URL");
  names.enter(news);
  EXPECT_EQ(names.claimShortcutName("Home"), "Home.URL");
  names.leave();
  names.enter({1, 11});
  EXPECT_EQ(names.claimShortcutName("Home"), "Home.URL");
  names.leave();
  names.enter(news);
  EXPECT_EQ(names.claimShortcutName("HOME"), "HOME (2).URL");
  EXPECT_EQ(names.claimShortcutName("sub"), "sub.URL");
  names.enter({1, 12});
  EXPECT_EQ(names.claimShortcutName("Home"), "Home.URL");
  names.leave();
  names.leave();
  names.enter(news);
  EXPECT_EQ(names.claimShortcutName("Home"), "Home (3).URL");
  EXPECT_EQ(names.claimShortcutName("Sub"), "Sub (2).URL");
  names.leave();
  EXPECT_EQ(names.claimShortcutName("Home"), "Home (2).URL");
  // Thousands of names, one directory after another, each directory entered twice.
  for (std::uint64_t inode = 100; inode < 200; ++inode) {
    for (int visit = 0; visit < 2; ++visit) {
      names.enter({1, inode});
      for (int i = 0; i < 50; ++i) {
        // Piece by piece: "L" + string trips a false -Wrestrict in GCC 12.
        std::string title = std::to_string(i);
        title.insert(0, 1, 'L');
        ASSERT_EQ(names.claimShortcutName(title), title + (visit == 0 ? ".URL" : " (2).URL"));
      }
      names.leave();
    }
  }
}

}  // namespace
}  // namespace pelmo

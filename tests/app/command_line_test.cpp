#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelmo {
namespace {

using Words = std::vector<std::string>;

TEST(SplitCommandLine, Words) {
  struct Case {
    std::string commandLine;
    Words words;  // after word 0
  };
  const Case cases[] = {
      {"", {}},
      {"pelmo", {}},
      {"  \t pelmo   ", {}},
      {"pelmo /auto /ftb", {"/auto", "/ftb"}},
      {"pelmo\t/auto \t  /quiet\t", {"/auto", "/quiet"}},
      {"\"C:\\Program Files\\pelmo.exe\" /btf", {"/btf"}},
      {"\"C:\\Program Files\\pelmo.exe\"/btf", {"/btf"}},
      {"\"unterminated program name /auto", {}},
      {"C:\\pelmo\\pelmo.exe /fav C:\\Favorites\\", {"/fav", "C:\\Favorites\\"}},
      {"p /title \"My Links\"", {"/title", "My Links"}},
      {"p /title \"\"", {"/title", ""}},
      {"p \"\" \"\"", {"", ""}},
      {"p a\"b c\"d e", {"ab cd", "e"}},
      {"p \"a\"\"b\"", {"ab"}},
      {"p \"open to the end", {"open to the end"}},
      {"p say\\\"hi\\\"", {"say\"hi\""}},
      {"p \"a \\\" b\" c", {"a \" b", "c"}},
      {"p \\\\server\\share", {"\\\\server\\share"}},
      {"p back\\\\\"slash", {"back\\\"slash"}},
      {"p trailing\\", {"trailing\\"}},
      {"p *.url ?x", {"*.url", "?x"}},
      {"p a\nb", {"a\nb"}},
  };
  for (const auto& c : cases) {
    Words expected{"/usr/bin/pelmo"};
    expected.insert(expected.end(), c.words.begin(), c.words.end());
    EXPECT_EQ(SplitCommandLine(c.commandLine, "/usr/bin/pelmo"), expected) << c.commandLine;
  }
}

ConversionSettings Preset() {
  ConversionSettings settings;
  settings.favouritesFolder = "C:\\Windows\\Favorites";
  settings.bookmarkFile = "C:\\Netscape\\bookmark.htm";
  settings.bookmarkTitle = "Favourites converted by PELMO";
  return settings;
}

ConversionSettings Applied(Words words) {
  words.insert(words.begin(), "pelmo");
  ConversionSettings settings = Preset();
  ApplySwitches(words, settings);
  return settings;
}

TEST(ApplySwitches, FlagsAndModes) {
  const ConversionSettings none = Applied({});
  EXPECT_EQ(none.mode, ConversionMode::FavouritesToBookmarks);
  EXPECT_FALSE(none.automatic);
  EXPECT_FALSE(none.quiet);
  EXPECT_EQ(none.favouritesFolder, Preset().favouritesFolder);

  EXPECT_EQ(Applied({"/btf", "/ftb"}).mode, ConversionMode::FavouritesToBookmarks);
  EXPECT_EQ(Applied({"/ftb", "/btf"}).mode, ConversionMode::BookmarksToFavourites);
  const ConversionSettings flags = Applied({"/quiet", "/auto", "/auto", "/merge", "/modern"});
  EXPECT_TRUE(flags.automatic);
  EXPECT_TRUE(flags.quiet);
  EXPECT_TRUE(flags.merge);
  EXPECT_TRUE(flags.modern);
  EXPECT_FALSE(none.merge);
  EXPECT_FALSE(none.modern);
}

TEST(ApplySwitches, WordZeroAndUnknownWordsAreIgnored) {
  ConversionSettings settings = Preset();
  ApplySwitches({"/auto", "/AUTO", "/Btf", "auto", "/auto2", "-quiet", "/Merge", "/Modern", ""},
                settings);
  EXPECT_FALSE(settings.automatic);
  EXPECT_FALSE(settings.quiet);
  EXPECT_FALSE(settings.merge);
  EXPECT_FALSE(settings.modern);
  EXPECT_EQ(settings.mode, ConversionMode::FavouritesToBookmarks);
}

TEST(ApplySwitches, ValuesAreTakenVerbatim) {
  const ConversionSettings fav = Applied({"/fav", "/auto"});
  EXPECT_EQ(fav.favouritesFolder, "/auto");
  EXPECT_FALSE(fav.automatic);

  const ConversionSettings all =
      Applied({"/book", "D:\\b.htm", "/title", "", "/fav", "D:\\Fav", "/book", "/title"});
  EXPECT_EQ(all.bookmarkFile, "/title");
  EXPECT_EQ(all.bookmarkTitle, "");
  EXPECT_EQ(all.favouritesFolder, "D:\\Fav");

  EXPECT_EQ(Applied({}).codePage, 0u);
  EXPECT_EQ(Applied({"/codepage", "1251"}).codePage, 1251u);
  EXPECT_EQ(Applied({"/codepage", "936", "/codepage", "1250"}).codePage, 1250u);
  for (const char* bad : {"0", "65536", "12x", "-1", "", "/auto"}) {
    const ConversionSettings settings = Applied({"/codepage", "1251", "/codepage", bad});
    EXPECT_EQ(settings.codePage, 1251u) << bad;
    EXPECT_FALSE(settings.automatic) << bad;
  }
}

TEST(ApplySwitches, ValueSwitchAsLastWordChangesNothing) {
  for (const char* last : {"/fav", "/book", "/title", "/codepage"}) {
    const ConversionSettings settings = Applied({"/quiet", last});
    EXPECT_TRUE(settings.quiet) << last;
    EXPECT_EQ(settings.favouritesFolder, Preset().favouritesFolder) << last;
    EXPECT_EQ(settings.bookmarkFile, Preset().bookmarkFile) << last;
    EXPECT_EQ(settings.bookmarkTitle, Preset().bookmarkTitle) << last;
  }
}

// A cut path might name another file; the conversion refuses one that is too long.
TEST(ApplySwitches, PathsAreKeptWholeAndTheTitleIsCut) {
  const std::string longText(5000, 'x');
  const ConversionSettings cut = Applied({"/fav", longText, "/book", longText, "/title", longText});
  EXPECT_EQ(cut.favouritesFolder, longText);
  EXPECT_EQ(cut.bookmarkFile, longText);
  EXPECT_EQ(cut.bookmarkTitle, std::string(kTitleCapacity - 1, 'x'));
  EXPECT_EQ(Applied({"/title", std::string(127, 't')}).bookmarkTitle, std::string(127, 't'));
}

TEST(CheckCommandLine, HelpVersionAndRefusals) {
  using Request = CommandLineRequest;
  struct Case {
    Words words;  // after word 0
    Request request;
    std::string refusal;
  };
  const Case cases[] = {
      {{}, Request::Run, ""},
      {{"/auto", "/btf", "/book", "b.html", "/fav", "f"}, Request::Run, ""},
      // Without /auto, the dialog shows whatever the other words are.
      {{"/bft", "-auto", "/Auto", "word"}, Request::Run, ""},
      {{"/auto", "/bft", "/book", "typo.html"}, Request::Refused, "Unknown switch /bft"},
      {{"/Auto", "/auto"}, Request::Refused, "Unknown switch /Auto"},
      {{"-auto", "/auto"}, Request::Refused, "Unknown switch -auto"},
      {{"/auto", "--fav", "x"}, Request::Refused, "Unknown switch --fav"},
      {{"/auto", "/?"}, Request::Refused, "Unknown switch /?"},
      {{"/auto", "-"}, Request::Refused, "Unknown switch -"},
      // A value is never a switch, and plain words stay ignored.
      {{"/auto", "/fav", "/bft", "/title", "-x", "plain"}, Request::Run, ""},
      {{"/auto", "/ftb", "--help"}, Request::Help, ""},
      {{"--version", "/auto", "/bft"}, Request::Version, ""},
      {{"/bft", "--help", "--version"}, Request::Help, ""},
      {{"/title", "--help"}, Request::Run, ""},
      {{"/auto", "/fav"}, Request::Refused, "Missing folder after /fav"},
      {{"/book"}, Request::Refused, "Missing file after /book"},
      {{"/quiet", "/title"}, Request::Refused, "Missing title after /title"},
      {{"/fav", "/book"}, Request::Run, ""},
      {{"/fav", "x", "/book"}, Request::Refused, "Missing file after /book"},
  };
  for (const Case& c : cases) {
    Words words{"pelmo"};
    words.insert(words.end(), c.words.begin(), c.words.end());
    const CommandLineCheck check = CheckCommandLine(words);
    std::string shown;
    for (const std::string& word : c.words) shown += word + " ";
    EXPECT_EQ(check.request, c.request) << shown;
    EXPECT_EQ(check.refusal, c.refusal) << shown;
  }
}

}  // namespace
}  // namespace pelmo

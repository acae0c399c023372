#include "app/program.h"

#include <gtest/gtest.h>

#include <map>

#include "support/scripted_backend.h"

namespace pelmo {
namespace {

using testing::ScriptedBackend;

// Stand-ins for the world, with a record of the conversions that ran.
struct World {
  std::optional<std::uint32_t> platformId = 1;
  std::map<std::string, std::string> registry;
  std::vector<bool> dialogAnswers;  // OK or Cancel, one a showing
  std::vector<bool> conversionResults;
  std::vector<ConversionSettings> dialogsShown;
  std::vector<std::pair<ConversionMode, std::string>> conversions;
  std::string directory = "/start";          // each conversion goes one level deeper
  std::vector<std::string> directoriesSeen;  // at each showing and each conversion

  ProgramServices services() {
    return {
        .queryPlatformId = [this] { return platformId; },
        .readRegistry = [this](std::string_view key,
                               std::string_view value) -> std::optional<std::string> {
          auto it = registry.find(std::string(key) + "|" + std::string(value));
          if (it == registry.end()) return std::nullopt;
          return it->second;
        },
        .pathCapacity = 260,
        .currentDirectory = [this] { return std::optional<std::string>(directory); },
        .changeDirectory =
            [this](std::string_view path) {
              directory = path;
              return true;
            },
        .mainDialog =
            [this](ConversionSettings& settings, ui::Backend&) {
              directoriesSeen.push_back(directory);
              dialogsShown.push_back(settings);
              if (dialogsShown.size() > dialogAnswers.size()) return false;
              return static_cast<bool>(dialogAnswers[dialogsShown.size() - 1]);
            },
        .convertFavouritesToBookmarks = [this](const ConversionSettings& s,
                                               ui::Backend&) { return convert(s); },
        .convertBookmarksToFavourites = [this](const ConversionSettings& s,
                                               ui::Backend&) { return convert(s); },
    };
  }

  bool convert(const ConversionSettings& settings) {
    directoriesSeen.push_back(directory);
    directory += "/Favorites";
    conversions.emplace_back(settings.mode, settings.favouritesFolder);
    if (conversions.size() > conversionResults.size()) return true;
    return conversionResults[conversions.size() - 1];
  }
};

const std::string kBookmarkKey =
    ".Default\\Software\\Netscape\\Netscape Navigator\\Bookmark List|File Location";
const std::string kFavouritesKey =
    ".Default\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders|Favorites";

TEST(Program, RefusesWhenThePlatformQueryFailsWithoutAMessage) {
  World world;
  world.platformId = std::nullopt;
  ScriptedBackend backend;
  EXPECT_EQ(RunPelmo({"pelmo", "/auto"}, world.services(), backend), kExitRefused);
  EXPECT_TRUE(backend.messages.empty());
  EXPECT_TRUE(world.conversions.empty());
}

TEST(Program, RefusesAnotherPlatformWithTheErrorMessageOnly) {
  World world;
  world.platformId = 2;
  bool registryRead = false;
  ProgramServices services = world.services();
  services.readRegistry = [&](std::string_view, std::string_view) {
    registryRead = true;
    return std::optional<std::string>();
  };
  ScriptedBackend backend;
  EXPECT_EQ(RunPelmo({"pelmo", "/auto"}, services, backend), kExitRefused);
  ASSERT_EQ(backend.messages.size(), 1u);
  EXPECT_EQ(backend.messages[0].text, "This program requires Windows 95.");
  EXPECT_EQ(backend.messages[0].icon, ui::Icon::Error);
  EXPECT_FALSE(registryRead);
  EXPECT_TRUE(world.conversions.empty());
}

TEST(Program, DefaultsComeFromTheRegistryAndTheBuiltInTitle) {
  World world;
  world.registry[kBookmarkKey] = "/home/u/bookmarks.html";
  world.registry[kFavouritesKey] = "/home/u/Favorites";
  ConversionSettings settings = LoadDefaultSettings(world.services());
  EXPECT_EQ(settings.mode, ConversionMode::FavouritesToBookmarks);
  EXPECT_FALSE(settings.quiet);
  EXPECT_FALSE(settings.automatic);
  EXPECT_EQ(settings.bookmarkFile, "/home/u/bookmarks.html");
  EXPECT_EQ(settings.favouritesFolder, "/home/u/Favorites");
  EXPECT_EQ(settings.bookmarkTitle, "Favourites converted by PELMO");
}

TEST(Program, RegistryValuesAreKeptWholeUpToTheirTerminator) {
  World world;
  world.registry[kFavouritesKey] = std::string(300, 'f');
  world.registry[kBookmarkKey] = std::string("short\0hidden", 12);
  ConversionSettings settings = LoadDefaultSettings(world.services());
  EXPECT_EQ(settings.favouritesFolder, std::string(300, 'f'));
  EXPECT_EQ(settings.bookmarkFile, "short");
}

TEST(Program, APathTooLongForThePlatformIsRefusedNotCut) {
  struct Case {
    std::vector<std::string> words;
    std::string message;
  };
  const std::string longest(259, 'p');
  const Case cases[] = {
      {{"pelmo", "/auto", "/fav", longest + "p", "/book", "b"},
       "Unable to open Favourites folder!"},
      {{"pelmo", "/auto", "/btf", "/fav", "f", "/book", longest + "p"},
       "Unable to open Bookmark file!"},
  };
  for (const Case& c : cases) {
    World world;
    ScriptedBackend backend;
    EXPECT_EQ(RunPelmo(c.words, world.services(), backend), kExitGaveUp);
    EXPECT_TRUE(world.conversions.empty());
    EXPECT_EQ(backend.messageTexts(), std::vector<std::string>{c.message});
  }
  World world;
  ScriptedBackend backend;
  EXPECT_EQ(
      RunPelmo({"pelmo", "/auto", "/fav", longest, "/book", longest}, world.services(), backend),
      kExitDone);
  ASSERT_EQ(world.conversions.size(), 1u);
  EXPECT_EQ(world.conversions[0].second, longest);
}

TEST(Program, MissingRegistryValuesLeaveThePathsEmpty) {
  World world;
  ConversionSettings settings = LoadDefaultSettings(world.services());
  EXPECT_EQ(settings.bookmarkFile, "");
  EXPECT_EQ(settings.favouritesFolder, "");
}

TEST(Program, AutomaticModeRunsOneConversionWithoutTheDialog) {
  struct Case {
    std::vector<std::string> words;
    bool result;
    int exitCode;
    ConversionMode mode;
  };
  const Case cases[] = {
      {{"pelmo", "/auto"}, true, kExitDone, ConversionMode::FavouritesToBookmarks},
      {{"pelmo", "/auto", "/btf"}, true, kExitDone, ConversionMode::BookmarksToFavourites},
      {{"pelmo", "/btf", "/auto"}, false, kExitGaveUp, ConversionMode::BookmarksToFavourites},
      {{"pelmo", "/auto", "/ftb"}, false, kExitGaveUp, ConversionMode::FavouritesToBookmarks},
  };
  for (const Case& c : cases) {
    World world;
    world.conversionResults = {c.result};
    ScriptedBackend backend;
    EXPECT_EQ(RunPelmo(c.words, world.services(), backend), c.exitCode);
    EXPECT_TRUE(world.dialogsShown.empty());
    ASSERT_EQ(world.conversions.size(), 1u);
    EXPECT_EQ(world.conversions[0].first, c.mode);
  }
}

TEST(Program, CancelAtTheFirstDialogConvertsNothing) {
  World world;
  ScriptedBackend backend;
  EXPECT_EQ(RunPelmo({"pelmo"}, world.services(), backend), kExitDone);
  EXPECT_EQ(world.dialogsShown.size(), 1u);
  EXPECT_TRUE(world.conversions.empty());
}

TEST(Program, TheDialogOpensAgainAfterAConversionThatGaveUp) {
  World world;
  world.registry[kFavouritesKey] = "/fav";
  world.dialogAnswers = {true, true};
  world.conversionResults = {false, true};
  ScriptedBackend backend;
  EXPECT_EQ(RunPelmo({"pelmo", "/fav", "/other"}, world.services(), backend), kExitDone);
  ASSERT_EQ(world.dialogsShown.size(), 2u);
  EXPECT_EQ(world.dialogsShown[1].favouritesFolder, "/other");
  EXPECT_EQ(world.conversions.size(), 2u);
  // Relative paths mean the same in every turn, wherever a conversion left off.
  EXPECT_EQ(world.directoriesSeen, std::vector<std::string>(4, "/start"));
}

TEST(Program, AGivenUpConversionFollowedByCancelEndsNormally) {
  World world;
  world.dialogAnswers = {true, false};
  world.conversionResults = {false};
  ScriptedBackend backend;
  EXPECT_EQ(RunPelmo({"pelmo"}, world.services(), backend), kExitDone);
  EXPECT_EQ(world.dialogsShown.size(), 2u);
  EXPECT_EQ(world.conversions.size(), 1u);
}

TEST(Program, SwitchesOverrideTheRegistry) {
  World world;
  world.registry[kFavouritesKey] = "/registry/Favorites";
  world.registry[kBookmarkKey] = "/registry/bookmark.htm";
  ScriptedBackend backend;
  RunPelmo({"pelmo", "/auto", "/fav", "/mine", "/book"}, world.services(), backend);
  ASSERT_EQ(world.conversions.size(), 1u);
  EXPECT_EQ(world.conversions[0].second, "/mine");
}

}  // namespace
}  // namespace pelmo

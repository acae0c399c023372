#include "book2fav/favourites_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "scripted_backend.h"
#include "temp_dir.h"

namespace pelmo {
namespace {

namespace fs = std::filesystem;
using testing::CurrentDirectoryGuard;
using testing::ScriptedBackend;
using testing::TempDir;

// Every directory directly in root, by name.
std::vector<std::string> DirectoryNames(const fs::path& root) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(root)) {
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// With the Windows style on Linux every attempted prefix becomes one directory whose
// name holds the backslashes, so the prefixes tried can be read back.
TEST(CreateDirectoryPathTest, WindowsStyleStartsBehindTheDrivePrefix) {
  struct Case {
    std::string path;
    std::vector<std::string> created;
  };
  const Case cases[] = {
      {"C:\\Internet\\Favorites", {"C:\\Internet", "C:\\Internet\\Favorites"}},
      {"C:\\Favorites\\", {"C:\\Favorites"}},
      {"C:Favorites", {"C:Favorites"}},
      {"Fav\\Sub", {"Fav", "Fav\\Sub"}},
      {"\\\\server\\share\\Favorites", {"\\\\server\\share\\Favorites"}},
      {"C:\\A\\\\B", {"C:\\A", "C:\\A\\\\B"}},
  };
  for (const Case& c : cases) {
    TempDir temp;
    CurrentDirectoryGuard guard;
    fs::current_path(temp.path());
    EXPECT_TRUE(CreateDirectoryPath(c.path, platform::kWindowsPathStyle)) << c.path;
    EXPECT_EQ(DirectoryNames(temp.path()), c.created) << c.path;
  }
}

TEST(CreateDirectoryPathTest, PosixStyleCreatesEveryMissingComponent) {
  TempDir temp;
  CurrentDirectoryGuard guard;
  EXPECT_TRUE(CreateDirectoryPath(temp / "a/b//c/", platform::kPosixPathStyle));
  EXPECT_TRUE(fs::is_directory(temp / "a/b/c"));

  fs::current_path(temp.path());
  EXPECT_TRUE(CreateDirectoryPath("rel/one/../two", platform::kPosixPathStyle));
  EXPECT_TRUE(fs::is_directory(temp / "rel/two"));

  testing::WriteFile(temp / "file", "x");
  EXPECT_FALSE(CreateDirectoryPath(temp / "file/sub", platform::kPosixPathStyle));
}

struct Prepared {
  bool entered;
  std::vector<std::string> messages;
};

Prepared Prepare(const std::string& folder, bool automatic, std::deque<bool> answers) {
  CurrentDirectoryGuard guard;
  ConversionSettings settings;
  settings.favouritesFolder = folder;
  settings.automatic = automatic;
  ScriptedBackend backend;
  backend.okCancelAnswers = std::move(answers);
  bool entered = EnterFavouritesFolder(settings, backend);
  bool inFolder = entered && fs::equivalent(fs::current_path(), folder);
  return {entered && inFolder, backend.messageTexts()};
}

const std::string kQuestion =
    "The specified Favourites folder does not exist.\nWould you like to create it?";

TEST(EnterFavouritesFolderTest, AsksBeforeCreating) {
  TempDir temp;
  Prepared cancelled = Prepare(temp / "x/Favs", false, {false});
  EXPECT_FALSE(cancelled.entered);
  EXPECT_FALSE(fs::exists(temp / "x"));
  EXPECT_EQ(cancelled.messages, std::vector<std::string>{kQuestion});

  Prepared confirmed = Prepare(temp / "x/Favs", false, {true});
  EXPECT_TRUE(confirmed.entered);
  EXPECT_EQ(confirmed.messages, std::vector<std::string>{kQuestion});
}

TEST(EnterFavouritesFolderTest, RefusesWhatCannotBecomeAFolder) {
  TempDir temp;
  testing::WriteFile(temp / "file", "x");
  const std::string unable = "Unable to open Favourites folder!";
  EXPECT_EQ(Prepare(temp / "file", true, {}).messages, std::vector<std::string>{unable});
  EXPECT_EQ(Prepare("", true, {}).messages, std::vector<std::string>{unable});
  Prepared through = Prepare(temp / "file/Favs", true, {});
  EXPECT_FALSE(through.entered);
  EXPECT_EQ(through.messages, std::vector<std::string>{"Error creating directory!"});
}

}  // namespace
}  // namespace pelmo

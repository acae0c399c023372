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
}

TEST(EnterFavouritesFolderTest, AsksCreatesOrRefuses) {
  TempDir temp;
  testing::WriteFile(temp / "file", "x");
  const std::string question =
      "The specified Favourites folder does not exist.\nWould you like to create it?";
  const std::string unable = "Unable to open Favourites folder!";
  struct Case {
    std::string folder;
    bool automatic;
    std::deque<bool> answers;
    std::string message;
    bool entered;
    std::vector<std::string> reasons;  // the system's words with each failure
  };
  const Case cases[] = {
      {temp / "x/Favs", false, {false}, question, false, {}},
      {temp / "x/Favs", false, {true}, question, true, {}},
      {temp / "file", true, {}, unable, false, {"Not a directory"}},
      {"", true, {}, unable, false, {}},
      {temp / "file/Favs", true, {}, "Error creating directory!", false, {"Not a directory"}},
      // The components made before the one that failed stay.
      {temp / "made/../file/Favs",
       true,
       {},
       "Error creating directory!",
       false,
       {"Not a directory"}},
  };
  for (const Case& c : cases) {
    CurrentDirectoryGuard guard;
    ConversionSettings settings;
    settings.favouritesFolder = c.folder;
    settings.automatic = c.automatic;
    ScriptedBackend backend;
    backend.okCancelAnswers = c.answers;
    EXPECT_EQ(EnterFavouritesFolder(settings, backend), c.entered) << c.folder;
    EXPECT_EQ(backend.messageTexts(), std::vector<std::string>{c.message}) << c.folder;
    std::vector<std::string> reasons;
    for (const ui::FailureDetail& detail : backend.failures) {
      EXPECT_EQ(detail.path, c.folder);
      reasons.push_back(detail.reason);
    }
    EXPECT_EQ(reasons, c.reasons) << c.folder;
    EXPECT_EQ(fs::is_directory(c.folder), c.entered) << c.folder;
    EXPECT_TRUE(!c.entered || fs::equivalent(fs::current_path(), c.folder)) << c.folder;
  }
  EXPECT_TRUE(fs::is_directory(temp / "made"));
}

}  // namespace
}  // namespace pelmo

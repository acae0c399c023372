#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "book2fav/bookmarks_to_favourites.h"
#include "scripted_backend.h"
#include "temp_dir.h"

namespace pelmo::testing {

inline std::string Shortcut(std::string_view url) {
  return "[InternetShortcut]\r\nURL=" + std::string(url) + "\r\n";
}

// A temporary directory holding "bookmarks.html" and the Favourites folder
// "Favourites"; the current directory is restored after each test.
class ConversionTest : public ::testing::Test {
 protected:
  std::string favourites() const { return temp / "Favourites"; }
  std::string bookmarks() const { return temp / "bookmarks.html"; }

  ConversionSettings Settings() const {
    ConversionSettings settings;
    settings.mode = ConversionMode::BookmarksToFavourites;
    settings.favouritesFolder = favourites();
    settings.bookmarkFile = bookmarks();
    settings.automatic = true;
    return settings;
  }

  bool Convert(std::string_view fileBytes, bool quiet = false) {
    WriteFile(bookmarks(), fileBytes);
    return Run(quiet);
  }
  bool Run(bool quiet = false) {
    ConversionSettings settings = Settings();
    settings.quiet = quiet;
    return ConvertBookmarksToFavourites(settings, backend);
  }

  std::map<std::string, std::string> Favourites() const { return ReadTree(favourites()); }
  bool InFavourites() const {
    return std::filesystem::equivalent(std::filesystem::current_path(), favourites());
  }

  TempDir temp;
  CurrentDirectoryGuard guard;
  ScriptedBackend backend;
};

}  // namespace pelmo::testing

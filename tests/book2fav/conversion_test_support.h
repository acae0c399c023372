#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "book2fav/bookmarks_to_favourites.h"
#include "scripted_backend.h"
#include "temp_dir.h"

namespace pelmo::testing {

using Tree = std::map<std::string, std::string>;

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
    settings.codePage = codePage;
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

  // Back to a temporary directory holding only the bookmark file, for the next case
  // of a table.
  void Reset() {
    std::filesystem::current_path(temp.path());
    for (const auto& entry : std::filesystem::directory_iterator(temp.path())) {
      if (entry.path() != bookmarks()) std::filesystem::remove_all(entry.path());
    }
    backend.messages.clear();
    backend.failures.clear();
    backend.progressLog.clear();
  }

  Tree Favourites() const { return ReadTree(favourites()); }
  // Everything in the temporary directory but the bookmark file.
  Tree Written() const {
    Tree tree = ReadTree(temp.path());
    tree.erase("bookmarks.html");
    return tree;
  }
  bool InFavourites() const {
    return std::filesystem::equivalent(std::filesystem::current_path(), favourites());
  }

  unsigned codePage = 0;  // /codepage of the next run
  TempDir temp;
  CurrentDirectoryGuard guard;
  ScriptedBackend backend;
};

}  // namespace pelmo::testing

// Times the conversion of a large bookmark file, and a plain recursive copy of the
// tree it gives for comparison. Not run by the tests.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "book2fav/bookmarks_to_favourites.h"
#include "support/silent_backend.h"
#include "ui/ui.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFolders = 1000;
constexpr int kLinksPerFolder = 100;

using pelmo::bench::SilentBackend;

fs::path MakeWorkDirectory() {
  std::random_device random;
  for (;;) {
    fs::path candidate = fs::temp_directory_path() / ("pelmo-bench-" + std::to_string(random()));
    if (fs::create_directory(candidate)) return candidate;
  }
}

// Shaped like a browser export: indented lines, dates, a short icon on every link.
void WriteBookmarkFile(const fs::path& path) {
  std::ofstream out(path, std::ios::binary);
  out << "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" "
         "CONTENT=\"text/html; charset=UTF-8\">\n<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n"
         "<DL><p>\n";
  const std::string icon = "data:image/png;base64," + std::string(200, 'A');
  for (int folder = 0; folder < kFolders; ++folder) {
    out << "    <DT><H3 ADD_DATE=\"1700000000\" LAST_MODIFIED=\"1700000000\">Folder " << folder
        << "</H3>\n    <DL><p>\n";
    for (int link = 0; link < kLinksPerFolder; ++link) {
      out << "        <DT><A HREF=\"https://site" << folder << ".example.com/page/" << link
          << "?a=1&amp;b=2\" ADD_DATE=\"1700000000\" ICON=\"" << icon << "\">Page " << link
          << " of folder " << folder << " &amp; more</A>\n";
    }
    out << "    </DL><p>\n";
  }
  out << "</DL>\n";
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
  const fs::path startDirectory = fs::current_path();
  const fs::path work = MakeWorkDirectory();
  const fs::path bookmarks = work / "bookmarks.html";
  WriteBookmarkFile(bookmarks);

  pelmo::ConversionSettings settings;
  settings.mode = pelmo::ConversionMode::BookmarksToFavourites;
  settings.favouritesFolder = (work / "Favourites").string();
  settings.bookmarkFile = bookmarks.string();
  settings.automatic = true;
  settings.quiet = true;
  SilentBackend backend;

  auto start = std::chrono::steady_clock::now();
  bool converted = pelmo::ConvertBookmarksToFavourites(settings, backend);
  double conversionSeconds = SecondsSince(start);
  fs::current_path(startDirectory);

  std::string copy = "cp -r '" + settings.favouritesFolder + "' '" + (work / "Copy").string() + "'";
  start = std::chrono::steady_clock::now();
  int copyStatus = std::system(copy.c_str());
  double copySeconds = SecondsSince(start);

  std::printf("bookmark file: %d links in %d folders, %.1f MB\n", kFolders * kLinksPerFolder,
              kFolders, static_cast<double>(fs::file_size(bookmarks)) / 1e6);
  std::printf("conversion:    %.3f s%s\n", conversionSeconds, converted ? "" : " (FAILED)");
  std::printf("cp -r of tree: %.3f s%s\n", copySeconds, copyStatus == 0 ? "" : " (FAILED)");

  std::error_code error;
  fs::remove_all(work, error);
  return converted && copyStatus == 0 ? 0 : 1;
}

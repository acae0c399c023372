// Times the conversion of a large bookmark file, and a plain recursive copy of the
// tree it gives for comparison. The same bookmarks can be given as an HTML file, as
// Chromium's Bookmarks or as Firefox's places.sqlite, to compare the readers.
// Usage: pelmo_bench_book2fav [rounds [html|json|sqlite]]. Not run by the tests.

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>

#include "book2fav/bookmarks_to_favourites.h"
#include "bookmark_set.h"
#include "support/silent_backend.h"
#include "ui/ui.h"

namespace {

namespace fs = std::filesystem;

using pelmo::bench::SilentBackend;

fs::path MakeWorkDirectory() {
  std::random_device random;
  for (;;) {
    fs::path candidate = fs::temp_directory_path() / ("pelmo-bench-" + std::to_string(random()));
    if (fs::create_directory(candidate)) return candidate;
  }
}

// The kinds of bookmark file the same bookmarks can be given as.
struct FileKind {
  std::string_view name;  // on the command line
  std::string_view fileName;
  bool (*write)(const fs::path& path);
};

bool WriteHtml(const fs::path& path) {
  pelmo::bench::WriteHtmlFile(path);
  return true;
}

bool WriteChromium(const fs::path& path) {
  pelmo::bench::WriteChromiumFile(path);
  return true;
}

constexpr std::array kFileKinds{
    FileKind{"html", "bookmarks.html", WriteHtml},
    FileKind{"json", "Bookmarks", WriteChromium},
    FileKind{"sqlite", "places.sqlite", pelmo::bench::WritePlacesFile},
};

const FileKind* FindFileKind(std::string_view name) {
  for (const FileKind& kind : kFileKinds) {
    if (kind.name == name) return &kind;
  }
  return nullptr;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 1;
  const FileKind* kind = FindFileKind(argc > 2 ? argv[2] : "html");
  if (rounds < 1 || kind == nullptr || argc > 3) {
    std::fprintf(stderr, "usage: pelmo_bench_book2fav [rounds [html|json|sqlite]]\n");
    return 2;
  }
  const fs::path startDirectory = fs::current_path();
  const fs::path work = MakeWorkDirectory();
  const fs::path bookmarks = work / kind->fileName;
  bool converted = kind->write(bookmarks);

  pelmo::ConversionSettings settings;
  settings.mode = pelmo::ConversionMode::BookmarksToFavourites;
  settings.favouritesFolder = (work / "Favourites").string();
  settings.bookmarkFile = bookmarks.string();
  settings.automatic = true;
  settings.quiet = true;
  SilentBackend backend;

  std::printf("bookmark file: %d links in %d folders, %.1f MB%s\n",
              pelmo::bench::kFolders * pelmo::bench::kLinksPerFolder, pelmo::bench::kFolders,
              converted ? static_cast<double>(fs::file_size(bookmarks)) / 1e6 : 0.0,
              kind->name == "html" ? "" : (" as " + std::string(kind->name)).c_str());
  // Each round starts from no Favourites folder, so each does the same work.
  for (int round = 0; converted && round < rounds; ++round) {
    std::error_code error;
    fs::remove_all(settings.favouritesFolder, error);
    auto start = std::chrono::steady_clock::now();
    converted = pelmo::ConvertBookmarksToFavourites(settings, backend);
    double conversionSeconds = SecondsSince(start);
    fs::current_path(startDirectory);
    std::printf("conversion:    %.3f s%s\n", conversionSeconds, converted ? "" : " (FAILED)");
  }

  std::string copy = "cp -r '" + settings.favouritesFolder + "' '" + (work / "Copy").string() + "'";
  auto start = std::chrono::steady_clock::now();
  int copyStatus = std::system(copy.c_str());
  double copySeconds = SecondsSince(start);
  std::printf("cp -r of tree: %.3f s%s\n", copySeconds, copyStatus == 0 ? "" : " (FAILED)");

  std::error_code error;
  fs::remove_all(work, error);
  return converted && copyStatus == 0 ? 0 : 1;
}

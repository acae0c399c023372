// Times the Favourites to Bookmarks conversion of large trees beside the time of
// merely reading the same files, so the conversion's own cost can be judged.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "fav2book/favourites_to_bookmarks.h"
#include "support/silent_backend.h"

namespace {

namespace fs = std::filesystem;

using pelmo::bench::SilentBackend;

void WriteShortcuts(const fs::path& folder, int first, int count) {
  fs::create_directories(folder);
  for (int i = first; i < first + count; ++i) {
    std::ofstream out(folder / ("Link " + std::to_string(i) + ".url"), std::ios::binary);
    out << "[InternetShortcut]\r\nURL=http://example.com/page/" << i << "\r\n";
  }
}

double Seconds(const std::chrono::steady_clock::time_point& start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double TimeRead(const fs::path& folder) {
  const std::string command = "find '" + folder.string() + "' -type f -exec cat {} + > /dev/null";
  const auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "reading failed\n");
  return Seconds(start);
}

double TimeConvert(const fs::path& folder, const fs::path& output) {
  pelmo::ConversionSettings settings;
  settings.favouritesFolder = folder.string();
  settings.bookmarkFile = output.string();
  settings.bookmarkTitle = "Benchmark";
  settings.automatic = true;
  settings.quiet = true;
  SilentBackend backend;
  const auto start = std::chrono::steady_clock::now();
  if (!pelmo::ConvertFavouritesToBookmarks(settings, backend)) std::fprintf(stderr, "failed\n");
  return Seconds(start);
}

double Report(const char* what, const fs::path& folder, const fs::path& output) {
  const double read = TimeRead(folder);
  const double convert = TimeConvert(folder, output);
  std::printf("%-28s convert %7.3f s   read (cat) %7.3f s   output %ju bytes\n", what, convert,
              read, static_cast<std::uintmax_t>(fs::file_size(output)));
  return convert;
}

}  // namespace

int main() {
  std::string pattern = (fs::temp_directory_path() / "pelmo-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return 1;
  const fs::path root = pattern;

  const fs::path spread = root / "spread";
  for (int folder = 0; folder < 1000; ++folder) {
    WriteShortcuts(spread / ("Folder " + std::to_string(folder)), folder * 100, 100);
  }
  const fs::path flat = root / "flat";
  WriteShortcuts(flat, 0, 100000);

  const double spreadTime = Report("1,000 folders of 100", spread, root / "spread.html");
  const double flatTime = Report("100,000 in one folder", flat, root / "flat.html");
  std::printf("one folder / 1,000 folders: %.2f (limit 2.00)\n", flatTime / spreadTime);

  std::error_code error;
  fs::remove_all(root, error);
  return flatTime <= 2 * spreadTime ? 0 : 2;
}

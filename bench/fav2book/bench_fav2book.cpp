// Times the Favourites to Bookmarks conversion of large trees beside the time of
// merely reading the same files, so the conversion's own cost can be judged: with
// cat, and with a plain nftw walk that stats, opens, reads and closes each file and
// prints a line for it, the least any walk of the tree has to do.
#include <fcntl.h>
#include <ftw.h>
#include <sys/resource.h>
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

// Processor time of this process, user and system: on a busy machine it varies far
// less than the time on the clock.
double ProcessorSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Timing {
  double clock = 0;
  double processor = 0;
};

template <typename Work>
Timing Time(Work work) {
  const double processorStart = ProcessorSeconds();
  const auto start = std::chrono::steady_clock::now();
  work();
  return {Seconds(start), ProcessorSeconds() - processorStart};
}

double TimeRead(const fs::path& folder) {
  const std::string command = "find '" + folder.string() + "' -type f -exec cat {} + > /dev/null";
  const auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "reading failed\n");
  return Seconds(start);
}

// nftw hands its callback no context of its own.
struct NftwSink {
  std::FILE* out = nullptr;
  char buffer[4096];
};
NftwSink* nftwSink = nullptr;

int ReadOneFile(const char* path, const struct stat*, int type, struct FTW*) {
  if (type != FTW_F) return 0;
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 1;
  ssize_t got = 0;
  while ((got = ::read(fd, nftwSink->buffer, sizeof nftwSink->buffer)) > 0) {
  }
  ::close(fd);
  std::fprintf(nftwSink->out, "%s\n", path);
  return got < 0 ? 1 : 0;
}

Timing TimeNftw(const fs::path& folder, const fs::path& output) {
  NftwSink sink;
  nftwSink = &sink;
  const Timing timing = Time([&] {
    sink.out = std::fopen(output.c_str(), "w");
    if (sink.out == nullptr || ::nftw(folder.c_str(), ReadOneFile, 64, FTW_PHYS) != 0) {
      std::fprintf(stderr, "nftw failed\n");
    }
    if (sink.out != nullptr) std::fclose(sink.out);
  });
  nftwSink = nullptr;
  return timing;
}

Timing TimeConvert(const fs::path& folder, const fs::path& output) {
  pelmo::ConversionSettings settings;
  settings.favouritesFolder = folder.string();
  settings.bookmarkFile = output.string();
  settings.bookmarkTitle = "Benchmark";
  settings.automatic = true;
  settings.quiet = true;
  SilentBackend backend;
  return Time([&] {
    if (!pelmo::ConvertFavouritesToBookmarks(settings, backend)) std::fprintf(stderr, "failed\n");
  });
}

double Report(const char* what, const fs::path& folder, const fs::path& output) {
  const double read = TimeRead(folder);
  const Timing walk = TimeNftw(folder, output.string() + ".nftw");
  const Timing convert = TimeConvert(folder, output);
  std::printf(
      "%-22s convert %6.3f s (cpu %6.3f)   nftw walk %6.3f s (cpu %6.3f)   read (cat) %6.3f s   "
      "output %ju bytes\n",
      what, convert.clock, convert.processor, walk.clock, walk.processor, read,
      static_cast<std::uintmax_t>(fs::file_size(output)));
  return convert.clock;
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

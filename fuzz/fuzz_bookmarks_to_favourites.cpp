#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "book2fav/bookmarks_to_favourites.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_expand.h"
#include "ui/ui.h"
#include "util/conversion_settings.h"

namespace {

using pelmo::fuzz::Check;

// Above this the run is slow and finds nothing that smaller inputs do not; runs of
// repeated bytes (fuzz_expand.h) still make texts of several MiB.
constexpr std::size_t kMaxInput = 64 * 1024;

class SilentBackend : public pelmo::ui::Backend {
 public:
  void showMessage(std::string_view, pelmo::ui::Icon) override {}
  bool askOkCancel(std::string_view) override { return true; }
  pelmo::ui::OverwriteChoice askOverwrite() override { return pelmo::ui::OverwriteChoice::Cancel; }
  std::unique_ptr<pelmo::ui::ProgressView> openProgress() override { return nullptr; }
  std::optional<int> runDialog(int, pelmo::ui::DialogLogic&) override { return std::nullopt; }
};

// Restores the current directory through a descriptor, which still works when the
// conversion leaves the process deeper than any path can name.
class CurrentDirectoryGuard {
 public:
  CurrentDirectoryGuard() : fd_(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    Check(fd_ >= 0);
  }
  ~CurrentDirectoryGuard() {
    Check(::fchdir(fd_) == 0);
    ::close(fd_);
  }
  CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
  CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

 private:
  int fd_;
};

bool IsDirectory(const char* name) {
  struct stat status {};
  return ::lstat(name, &status) == 0 && S_ISDIR(status.st_mode);
}

// The names in the current directory, without "." and "..".
std::vector<std::string> ListCurrentDirectory() {
  std::vector<std::string> names;
  DIR* directory = ::opendir(".");
  Check(directory != nullptr);
  while (dirent* entry = ::readdir(directory)) {
    std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(directory);
  return names;
}

// Checks and removes the tree below the current directory. It walks by changing
// directory rather than by path, because nested headings can build trees deeper
// than the longest path, and it keeps no descriptor per level.
void CheckAndEmptyTree() {
  std::vector<std::string> stack;
  for (;;) {
    std::optional<std::string> subdirectory;
    for (const std::string& name : ListCurrentDirectory()) {
      Check(name.size() <= 255);
      if (IsDirectory(name.c_str())) {
        subdirectory = name;
        break;
      }
      // Every file the conversion writes is a shortcut.
      Check(name.ends_with(".URL"));
      Check(::unlink(name.c_str()) == 0);
    }
    if (subdirectory) {
      Check(::chdir(subdirectory->c_str()) == 0);
      stack.push_back(std::move(*subdirectory));
      continue;
    }
    if (stack.empty()) return;
    Check(::chdir("..") == 0);
    Check(::rmdir(stack.back().c_str()) == 0);
    stack.pop_back();
  }
}

std::string MakeScratchDirectory() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/pelmo-fuzz-XXXXXX";
  Check(::mkdtemp(pattern.data()) != nullptr);
  return pattern;
}

void WriteWholeFile(const std::string& path, std::string_view bytes) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  Check(fd >= 0);
  Check(::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()));
  ::close(fd);
}

void CheckAndRemoveScratch(const std::string& scratch) {
  CurrentDirectoryGuard guard;
  Check(::chdir(scratch.c_str()) == 0);
  for (const std::string& name : ListCurrentDirectory()) Check(name == "b.html" || name == "F");
  Check(::unlink("b.html") == 0);
  if (IsDirectory("F")) {
    Check(::chdir("F") == 0);
    CheckAndEmptyTree();
    Check(::chdir("..") == 0);
    Check(::rmdir("F") == 0);
  }
  Check(::chdir("/") == 0);
  Check(::rmdir(scratch.c_str()) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  const std::string scratch = MakeScratchDirectory();
  WriteWholeFile(scratch + "/b.html", pelmo::fuzz::ExpandRuns(std::string_view(
                                          reinterpret_cast<const char*>(data), size)));

  pelmo::ConversionSettings settings;
  settings.mode = pelmo::ConversionMode::BookmarksToFavourites;
  settings.quiet = true;
  settings.automatic = true;
  settings.favouritesFolder = scratch + "/F";
  settings.bookmarkFile = scratch + "/b.html";
  {
    CurrentDirectoryGuard guard;
    SilentBackend backend;
    pelmo::ConvertBookmarksToFavourites(settings, backend);
  }
  CheckAndRemoveScratch(scratch);
  return 0;
}

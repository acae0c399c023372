#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

namespace pelmo::testing {

// A fresh directory under the system's temporary directory, removed with all it
// holds (permissions restored first) when the test ends.
class TempDir {
 public:
  TempDir() {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = base / ("pelmo-test-" + std::to_string(random() % 1000000000));
      std::error_code error;
      // Only a directory this call created is ours to fill and remove.
      if (std::filesystem::create_directory(path_, error)) return;
      if (error) std::abort();
    }
    std::abort();
  }
  ~TempDir() {
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(
             path_, std::filesystem::directory_options::skip_permission_denied, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
      if (it->is_symlink(error)) continue;
      // Windows removes no read-only file.
      std::filesystem::permissions(it->path(),
                                   it->is_directory(error) ? std::filesystem::perms::owner_all
                                                           : std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::add, error);
    }
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(path_, error);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  // Separators written as '/' become the system's own.
  std::string operator/(std::string_view name) const {
    return (path_ / name).make_preferred().string();
  }

 private:
  std::filesystem::path path_;
};

// Restores the process's current directory when the test ends.
class CurrentDirectoryGuard {
 public:
  CurrentDirectoryGuard() : saved_(std::filesystem::current_path()) {}
  ~CurrentDirectoryGuard() {
    std::error_code error;
    std::filesystem::current_path(saved_, error);
  }
  CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
  CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

 private:
  std::filesystem::path saved_;
};

inline void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every file below root, by its path relative to root, with its bytes; directories
// are listed with a trailing '/' and no content, symbolic links as "-> target" (not
// followed), named pipes as "<pipe>" (reading one would wait for a writer).
inline std::map<std::string, std::string> ReadTree(const std::filesystem::path& root) {
  std::map<std::string, std::string> tree;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    std::string relative = entry.path().lexically_relative(root).string();
    if (entry.is_symlink()) {
      tree[relative] = "-> " + std::filesystem::read_symlink(entry.path()).string();
    } else if (entry.is_directory()) {
      tree[relative + "/"] = "";
    } else if (entry.is_fifo()) {
      tree[relative] = "<pipe>";
    } else {
      tree[relative] = ReadFile(entry.path());
    }
  }
  return tree;
}

}  // namespace pelmo::testing

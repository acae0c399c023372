#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "support/temp_dir.h"

namespace pelmo::testing {

// A shortcut file as the opposite conversion writes it.
inline void WriteShortcut(const std::filesystem::path& path, std::string_view url) {
  WriteFile(path, "[InternetShortcut]\r\nURL=" + std::string(url) + "\r\n");
}

// The names in a directory, sorted, so a test can see that nothing was left behind.
inline std::string NamesIn(const std::filesystem::path& directory) {
  std::string names;
  std::map<std::string, int> sorted;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    sorted[entry.path().filename().string()] = 0;
  }
  for (const auto& [name, unused] : sorted) names += name + ";";
  return names;
}

}  // namespace pelmo::testing

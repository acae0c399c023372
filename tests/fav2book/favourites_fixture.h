#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "support/temp_dir.h"

namespace pelmo::testing {

// A shortcut file as the opposite conversion writes it.
inline void WriteShortcut(const std::filesystem::path& path, std::string_view url) {
  WriteFile(path, "[InternetShortcut]\r\nURL=" + std::string(url) + "\r\n");
}

}  // namespace pelmo::testing

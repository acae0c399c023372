#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pelmo::rc {

struct Control {
  std::string text;
  int id = 0;
  std::string windowClass;
  std::uint32_t style = 0;
  int x = 0, y = 0, width = 0, height = 0;
};

struct Dialog {
  int id = 0;
  std::uint32_t style = 0;
  std::string caption;
  int pointSize = 0;
  std::string fontName;
  int x = 0, y = 0, width = 0, height = 0;
  std::vector<Control> controls;
};

struct Resources {
  std::vector<Dialog> dialogs;
};

// Reads the dialog templates of a resource script: the CONTROL form of controls,
// DIALOGEX headers, #define values from the quoted headers it includes (looked up beside
// the script, then in includeDirs). Other resources are skipped. On failure error says
// where and why.
std::optional<Resources> ReadResourceScript(const std::filesystem::path& script,
                                            const std::vector<std::filesystem::path>& includeDirs,
                                            std::string& error);

}  // namespace pelmo::rc

#include "ui/terminal/home_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace pelmo::ui {

std::string ExpandHomeFolder(std::string_view typed, const std::optional<std::string>& home) {
  const bool leadsHome = typed == "~" || typed.starts_with("~/");
  if (!leadsHome || !home || home->empty()) return std::string(typed);
  std::string expanded = *home;
  // "~/x" with a home of "/" is "/x", not "//x".
  if (expanded.size() > 1 && expanded.back() == '/' && typed.size() > 1) expanded.pop_back();
  if (expanded == "/" && typed.size() > 1) expanded.clear();
  expanded.append(typed.substr(1));
  return expanded;
}

std::optional<std::string> HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return std::string(entry->pw_dir);
  }
  return std::nullopt;
}

}  // namespace pelmo::ui

#include "ui/fltk/uri_list.h"

#include "text/ascii.h"
#include "text/hex.h"

namespace pelmo::ui {
namespace {

std::string_view FirstEntry(std::string_view list) {
  while (!list.empty()) {
    std::size_t end = list.find('\n');
    std::string_view line = list.substr(0, end);
    list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty() && line.front() != '#') return line;
  }
  return {};
}

}  // namespace

std::string FirstDroppedFile(std::string_view uriList) {
  std::string_view entry = FirstEntry(uriList);
  if (entry.starts_with('/')) return std::string(entry);
  if (!text::StartsWithNoCase(entry, "file:")) return {};
  std::string_view rest = entry.substr(5);
  if (rest.starts_with("//")) {
    rest.remove_prefix(2);
    std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos) return {};
    std::string_view host = rest.substr(0, slash);
    // A file on another machine is no name this process can open.
    if (!host.empty() && host != "localhost") return {};
    rest.remove_prefix(slash);
  }
  if (!rest.starts_with('/')) return {};
  std::string name = text::PercentDecode(rest);
  // An encoded NUL would cut the name short wherever it is used.
  if (name.find('\0') != std::string::npos) return {};
  return name;
}

}  // namespace pelmo::ui

#include "ui/fltk/uri_list.h"

namespace pelmo::ui {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A % not followed by two hex digits stays as it is.
std::string PercentDecode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

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

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

std::string FirstDroppedFile(std::string_view uriList) {
  std::string_view entry = FirstEntry(uriList);
  if (entry.starts_with('/')) return std::string(entry);
  if (!StartsWithNoCase(entry, "file:")) return {};
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
  std::string name = PercentDecode(rest);
  // An encoded NUL would cut the name short wherever it is used.
  if (name.find('\0') != std::string::npos) return {};
  return name;
}

}  // namespace pelmo::ui

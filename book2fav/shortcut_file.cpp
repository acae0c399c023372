#include "book2fav/shortcut_file.h"

namespace pelmo {

std::string ShortcutFileBytes(std::string_view url) {
  std::string bytes = "[InternetShortcut]\r\nURL=";
  bytes += url;
  bytes += "\r\n";
  return bytes;
}

}  // namespace pelmo

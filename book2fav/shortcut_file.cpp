#include "book2fav/shortcut_file.h"

#include "platform/file.h"

namespace pelmo {

std::string ShortcutFileBytes(std::string_view url) {
  std::string bytes = "[InternetShortcut]\r\nURL=";
  bytes += url;
  bytes += "\r\n";
  return bytes;
}

bool WriteShortcutFile(std::string_view fileName, std::string_view url) {
  auto file = platform::File::open(fileName, platform::FileAccess::WriteReplace);
  if (!file) return false;
  bool written = file->write(ShortcutFileBytes(url));
  bool closed = file->close();
  if (written && closed) return true;
  platform::RemoveFile(fileName);
  return false;
}

}  // namespace pelmo

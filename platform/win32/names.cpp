#include "platform/names.h"

#include <array>

#include "platform/win32/windows_headers.h"
#include "text/ascii.h"

namespace pelmo::platform {
namespace {

bool IsReservedDeviceName(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  const std::string base = text::Folded(stem);
  constexpr std::array<std::string_view, 5> kPlain = {"CON", "PRN", "AUX", "NUL", "CLOCK$"};
  for (std::string_view reserved : kPlain) {
    if (base == reserved) return true;
  }
  return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
         base[3] >= '1' && base[3] <= '9';
}

}  // namespace

std::string NativeName(std::string_view title) {
  std::string name(title);
  // The file system drops these itself, so two titles would meet in one name.
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  // Writing to a device would lose the bookmark.
  if (IsReservedDeviceName(name)) name.insert(0, 1, '_');
  return name;
}

std::string NameKey(std::string_view name) {
  std::string key(name);
  if (!key.empty()) ::CharUpperBuffA(key.data(), static_cast<DWORD>(key.size()));
  return key;
}

}  // namespace pelmo::platform

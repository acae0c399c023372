#include "platform/names.h"

namespace pelmo::platform {

std::string NativeName(std::string_view title) {
  return std::string(title);
}

// Folding ASCII letters keeps a Favourites folder that is copied to a system that
// ignores letter case free of clashes.
std::string NameKey(std::string_view name) {
  std::string key(name);
  for (char& byte : key) {
    if (byte >= 'a' && byte <= 'z') byte = static_cast<char>(byte - 'a' + 'A');
  }
  return key;
}

}  // namespace pelmo::platform

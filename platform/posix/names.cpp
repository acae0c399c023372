#include "platform/names.h"

#include "platform/ascii_text.h"

namespace pelmo::platform {

std::string NativeName(std::string_view title) {
  return std::string(title);
}

// Folding ASCII letters keeps a Favourites folder that is copied to a system that
// ignores letter case free of clashes.
std::string NameKey(std::string_view name) {
  return Folded(name);
}

}  // namespace pelmo::platform

#include "platform/names.h"

#include "text/ascii.h"

namespace pelmo::platform {

std::string NativeName(std::string_view title) {
  return std::string(title);
}

// Folding ASCII letters keeps a Favourites folder that is copied to a system that
// ignores letter case free of clashes.
std::string NameKey(std::string_view name) {
  return text::Folded(name);
}

}  // namespace pelmo::platform

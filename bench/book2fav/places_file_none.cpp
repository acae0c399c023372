#include <cstdio>

#include "bookmark_set.h"

namespace pelmo::bench {

bool WritePlacesFile(const std::filesystem::path&) {
  std::fprintf(stderr, "this build has no SQLite to write a places.sqlite\n");
  return false;
}

}  // namespace pelmo::bench

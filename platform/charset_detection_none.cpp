#include "platform/charset_detection.h"

namespace pelmo::platform {

// This build has no detector: every such text falls back to the default code page.
struct CharsetDetector::State {};

CharsetDetector::CharsetDetector() = default;
CharsetDetector::~CharsetDetector() = default;

bool CharsetDetector::available() {
  return false;
}

void CharsetDetector::add(std::string_view) {}

std::string CharsetDetector::charset() {
  return {};
}

}  // namespace pelmo::platform

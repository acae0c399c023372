#include "platform/charset_detection.h"

#include <uchardet.h>

#include <algorithm>

namespace pelmo::platform {
namespace {

constexpr std::size_t kLookedAt = std::size_t{1} << 20;

bool HasNonAscii(std::string_view bytes) {
  return std::any_of(bytes.begin(), bytes.end(),
                     [](char byte) { return static_cast<unsigned char>(byte) >= 0x80; });
}

}  // namespace

struct CharsetDetector::State {
  State() : detector(uchardet_new()) {}
  State(const State&) = delete;
  State& operator=(const State&) = delete;
  ~State() {
    if (detector != nullptr) uchardet_delete(detector);
  }
  uchardet_t detector;
  std::size_t fed = 0;
};

CharsetDetector::CharsetDetector() : state_(std::make_unique<State>()) {}
CharsetDetector::~CharsetDetector() = default;

bool CharsetDetector::available() {
  return true;
}

void CharsetDetector::add(std::string_view bytes) {
  if (state_->detector == nullptr || state_->fed >= kLookedAt || !HasNonAscii(bytes)) return;
  bytes = bytes.substr(0, kLookedAt - state_->fed);
  state_->fed += bytes.size();
  uchardet_handle_data(state_->detector, bytes.data(), bytes.size());
}

std::string CharsetDetector::charset() {
  if (state_->detector == nullptr || state_->fed == 0) return {};
  uchardet_data_end(state_->detector);
  const char* name = uchardet_get_charset(state_->detector);
  std::string guess = name != nullptr ? name : "";
  // ASCII would say nothing about the bytes above it.
  if (guess == "ASCII") guess.clear();
  return guess;
}

}  // namespace pelmo::platform

#include "platform/charset_detection.h"

#include <uchardet.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "text/ascii.h"

namespace pelmo::platform {
namespace {

constexpr std::size_t kLookedAt = std::size_t{1} << 20;

// Guesses that are trusted: multi-byte East Asian sets and single-byte sets of scripts
// other than Latin. Latin code pages differ in a few letters that little text cannot
// tell apart ("Caf\xE9" reads as ISO-8859-2, "\xC6r\xF8" as Mac Central European), so
// such text is left to the default code page.
constexpr std::array<std::string_view, 30> kTrusted{{
    "BIG5",         "EUC-JP",     "EUC-KR",       "EUC-TW",       "GB18030",      "GB2312",
    "HZ-GB-2312",   "SHIFT_JIS",  "ISO-2022-JP",  "ISO-2022-KR",  "ISO-2022-CN",  "UHC",
    "ISO-8859-5",   "KOI8-R",     "KOI8-U",       "WINDOWS-1251", "IBM855",       "IBM866",
    "MAC-CYRILLIC", "ISO-8859-7", "WINDOWS-1253", "ISO-8859-8",   "WINDOWS-1255", "ISO-8859-6",
    "WINDOWS-1256", "TIS-620",    "ISO-8859-11",  "WINDOWS-874",  "CP949",        "CP932",
}};

bool IsTrusted(std::string_view guess) {
  return std::any_of(kTrusted.begin(), kTrusted.end(), [guess](std::string_view trusted) {
    return text::EqualNoCase(guess, trusted);
  });
}

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
  const std::string guess = name != nullptr ? name : "";
  return IsTrusted(guess) ? guess : std::string();
}

}  // namespace pelmo::platform

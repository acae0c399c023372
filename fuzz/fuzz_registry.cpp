#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/posix/registry_parser.h"

namespace {

using pelmo::fuzz::Check;

constexpr std::string_view kKey =
    "HKEY_USERS\\.Default\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell "
    "Folders";

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 1;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
      length = 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (at + length > text.size()) return false;
    for (std::size_t i = 1; i < length; ++i) {
      const unsigned char next = byte(at + i);
      if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) return false;
    }
    at += length;
  }
  return true;
}

void CheckValue(std::string_view text, std::string_view valueName) {
  std::optional<std::string> value = pelmo::platform::FindRegistryString(text, kKey, valueName);
  if (!value) return;
  // A value lives on one line, and unescaping only shortens it.
  Check(value->find_first_of("\r\n") == std::string::npos);
  Check(value->size() <= text.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string text = pelmo::platform::DecodeRegistryText(bytes);
  if (bytes.starts_with("\xFF\xFE")) Check(IsValidUtf8(text));
  CheckValue(text, "Favorites");
  CheckValue(text, "");
  return 0;
}

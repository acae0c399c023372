#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/posix/registry_parser.h"
#include "text/utf8.h"

namespace {

using pelmo::fuzz::Check;

constexpr std::string_view kKey =
    "HKEY_USERS\\.Default\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell "
    "Folders";

// The search is given the file's bytes, as the program gives it, and tells the
// byte-order mark itself; text is those bytes decoded.
void CheckValue(std::string_view bytes, std::string_view text, std::string_view valueName) {
  std::optional<std::string> value = pelmo::platform::FindRegistryString(bytes, kKey, valueName);
  if (!value) return;
  // A value lives on one line, and unescaping only shortens it.
  Check(value->find_first_of("\r\n") == std::string::npos);
  Check(value->size() <= text.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string text = pelmo::platform::DecodeRegistryText(bytes);
  if (bytes.starts_with("\xFF\xFE")) Check(pelmo::text::IsValidUtf8(text));
  CheckValue(bytes, text, "Favorites");
  CheckValue(bytes, text, "");
  return 0;
}

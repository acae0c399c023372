#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/profile.h"
#include "text/utf8.h"
#include "util/shortcut_format.h"

namespace {

using pelmo::fuzz::Check;

bool IsBlank(char byte) {
  return byte == ' ' || byte == '\t';
}

// Quotes are the only way a value keeps blanks at its ends.
bool AppearsQuoted(std::string_view text, const std::string& value) {
  for (char quote : {'"', '\''}) {
    if (text.find(quote + value + quote) != std::string_view::npos) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  // However the shortcut file is written (ANSI, UTF-7 section, UTF-16), its URL is
  // valid UTF-8 on one line.
  static pelmo::ShortcutReader shortcuts(0);
  const std::string url = shortcuts.read(text).url;
  Check(pelmo::text::IsValidUtf8(url));
  Check(url.find_first_of("\r\n") == std::string::npos);
  std::optional<std::string> value =
      pelmo::platform::FindProfileValue(text, "InternetShortcut", "URL");
  if (!value) return 0;
  Check(value->find_first_of("\r\n") == std::string::npos);
  Check(value->size() <= text.size());
  if (!value->empty() && (IsBlank(value->front()) || IsBlank(value->back()))) {
    Check(AppearsQuoted(text, *value));
  }
  return 0;
}

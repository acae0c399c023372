#include "platform/names.h"

#include <array>
#include <optional>

#include "platform/utf8.h"
#include "platform/win32/windows_headers.h"

namespace pelmo::platform {
namespace {

// Decodes well-formed UTF-8 into UTF-16; nothing when the text is not UTF-8 or
// holds no character beyond ASCII (then it is taken as it is).
std::optional<std::wstring> DecodeUtf8(std::string_view text) {
  std::wstring wide;
  bool beyondAscii = false;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      wide.push_back(static_cast<wchar_t>(lead));
      ++i;
      continue;
    }
    std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                         : lead >= 0xE0 && lead <= 0xEF ? 3
                         : lead >= 0xC2 && lead <= 0xDF ? 2
                                                        : 0;
    if (length == 0 || i + length > text.size()) return std::nullopt;
    char32_t code = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto byte = static_cast<unsigned char>(text[i + k]);
      if (!IsUtf8Continuation(byte)) return std::nullopt;
      code = (code << 6) | (byte & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return std::nullopt;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      wide.push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
      wide.push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
    } else {
      wide.push_back(static_cast<wchar_t>(code));
    }
    beyondAscii = true;
    i += length;
  }
  if (!beyondAscii) return std::nullopt;
  return wide;
}

// Characters that the ANSI code page lacks become '_'.
std::string ToAnsi(const std::wstring& wide) {
  const int size = static_cast<int>(wide.size());
  const int needed = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, "_", nullptr);
  if (needed <= 0) return std::string();
  std::string ansi(static_cast<std::size_t>(needed), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide.data(), size, ansi.data(), needed, "_", nullptr);
  return ansi;
}

bool IsReservedDeviceName(std::string_view name) {
  std::string base(name.substr(0, name.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& byte : base) {
    if (byte >= 'a' && byte <= 'z') byte = static_cast<char>(byte - 'a' + 'A');
  }
  constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
  for (std::string_view reserved : kPlain) {
    if (base == reserved) return true;
  }
  return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
         base[3] >= '1' && base[3] <= '9';
}

}  // namespace

std::string NativeName(std::string_view title) {
  std::optional<std::wstring> wide = DecodeUtf8(title);
  std::string name = wide ? ToAnsi(*wide) : std::string(title);
  // The file system drops these itself, so two titles would meet in one name.
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  // Writing to a device would lose the bookmark.
  if (IsReservedDeviceName(name)) name.insert(0, 1, '_');
  return name;
}

std::string NameKey(std::string_view name) {
  std::string key(name);
  if (!key.empty()) ::CharUpperBuffA(key.data(), static_cast<DWORD>(key.size()));
  return key;
}

}  // namespace pelmo::platform

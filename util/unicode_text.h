#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelmo {

// Text in UTF-7 (RFC 2152, as Windows writes the Unicode sections of shortcut files)
// as UTF-8. Nothing when it is not well-formed UTF-7: a byte above 0x7F, a lone
// surrogate, a control character (a URL never holds one), or left-over bits that are
// not zero.
std::optional<std::string> DecodeUtf7(std::string_view text);

// Text in UTF-16 (without its byte-order mark) as UTF-8; a lone surrogate or an odd
// byte at the end becomes U+FFFD.
std::string DecodeUtf16(std::string_view bytes, bool bigEndian);

}  // namespace pelmo

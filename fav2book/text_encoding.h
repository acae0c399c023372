#pragma once

#include <string>
#include <string_view>

namespace pelmo {

// What the text of a bookmark file is written in: bytes as they are (UTF-8 or a code
// page), or UTF-16 in either byte order, as an old file that is merged into may be.
enum class TextEncoding { Bytes, Utf16Le, Utf16Be };

// The UTF-8 text in the encoding; a byte that is not UTF-8 becomes U+FFFD in UTF-16.
std::string EncodeText(std::string_view utf8, TextEncoding encoding);

}  // namespace pelmo

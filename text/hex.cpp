#include "text/hex.h"

namespace pelmo::text {

std::string PercentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int high = i + 2 < text.size() ? HexDigitValue(text[i + 1]) : -1;
    const int low = i + 2 < text.size() ? HexDigitValue(text[i + 2]) : -1;
    if (text[i] == '%' && high >= 0 && low >= 0) {
      out += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace pelmo::text

#include "util/text.h"

#include <algorithm>

namespace pelmo {

int CompareNoCase(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const int left = FoldCase(static_cast<unsigned char>(a[i]));
    const int right = FoldCase(static_cast<unsigned char>(b[i]));
    if (left != right) return left - right;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::size_t FindNoCase(std::string_view text, std::string_view pattern) {
  if (pattern.size() > text.size()) return std::string_view::npos;
  if (pattern.empty()) return 0;
  const unsigned char first = FoldCase(static_cast<unsigned char>(pattern[0]));
  const std::size_t lastStart = text.size() - pattern.size();
  for (std::size_t start = 0; start <= lastStart; ++start) {
    if (FoldCase(static_cast<unsigned char>(text[start])) != first) continue;
    std::size_t matched = 1;
    while (matched < pattern.size() &&
           FoldCase(static_cast<unsigned char>(text[start + matched])) ==
               FoldCase(static_cast<unsigned char>(pattern[matched]))) {
      ++matched;
    }
    if (matched == pattern.size()) return start;
  }
  return std::string_view::npos;
}

bool IsFileNameChar(unsigned char byte) {
  // The marks that Windows accepts in names, less the full stop, so that a title
  // never gives a name an extension.
  constexpr std::string_view kAllowedMarks = " !#$%&'()+,-;=@[]^_`{}~";
  if (byte >= 0x80) return true;
  if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')) return true;
  if (byte >= '0' && byte <= '9') return true;
  return byte != 0 && kAllowedMarks.find(static_cast<char>(byte)) != std::string_view::npos;
}

}  // namespace pelmo

#include "util/text.h"

namespace pelmo {

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

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fav2book/bookmark_writer.h"
#include "fav2book/classic_bookmarks.h"
#include "fav2book/merge_point.h"
#include "fuzz/fuzz_check.h"
#include "util/text.h"

namespace {

using pelmo::fuzz::Check;

bool IsLetter(char byte) {
  return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z');
}

bool IsAlphanumeric(char byte) {
  return IsLetter(byte) || (byte >= '0' && byte <= '9');
}

// What a reader makes of an escaped URL, failing where a '&' that was left alone
// could be read as the start of a character reference.
std::string ReadBackUrl(std::string_view escaped) {
  std::string url;
  for (std::size_t at = 0; at < escaped.size(); ++at) {
    if (escaped[at] != '&') {
      url += escaped[at];
      continue;
    }
    if (escaped.substr(at).starts_with("&quot;")) {
      url += '"';
      at += 5;
      continue;
    }
    if (escaped.substr(at).starts_with("&amp;")) {
      at += 4;
    } else {
      // A named reference starts with a letter; "&name=" is not read as one.
      std::size_t end = at + 1;
      Check(end == escaped.size() || escaped[end] != '#');
      if (end < escaped.size() && IsLetter(escaped[end])) {
        while (end < escaped.size() && IsAlphanumeric(escaped[end])) ++end;
        Check(end < escaped.size() && escaped[end] == '=');
      }
    }
    url += '&';
  }
  return url;
}

// The merge plan must not depend on where the reads of the old file happen to end,
// and it never leaves out more than the list end it replaces.
void CheckMergePlan(std::string_view text, std::size_t pieceSize) {
  pelmo::MergePlanner whole;
  whole.feed(text);
  const pelmo::MergePlan expected = whole.finish();
  pelmo::MergePlanner pieces;
  for (std::size_t at = 0; at < text.size() && pieces.feed(text.substr(at, pieceSize));) {
    at += pieceSize;
  }
  const pelmo::MergePlan plan = pieces.finish();
  Check(plan.listClosed == expected.listClosed && plan.keepUntil == expected.keepUntil &&
        plan.tailFrom == expected.tailFrom && plan.closing == expected.closing &&
        plan.encoding == expected.encoding);
  if (plan.listClosed) {
    Check(plan.keepUntil < plan.tailFrom && plan.tailFrom <= text.size());
    Check(pelmo::CompareNoCase(text.substr(plan.keepUntil, 4), "</DL") == 0 ||
          plan.encoding != pelmo::TextEncoding::Bytes);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t pieceSize = data[0] % 7 + 1;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  CheckMergePlan(text, pieceSize);

  const std::string name = pelmo::EscapeName(text);
  Check(std::none_of(name.begin(), name.end(), [](char byte) {
    return byte == '<' || byte == '>' || static_cast<unsigned char>(byte) < 0x20;
  }));
  const std::string url = pelmo::EscapeUrl(text);
  Check(url.find('"') == std::string::npos);
  Check(ReadBackUrl(url) == text);
  // Only the header's own six tags open with '<'.
  const std::string header = pelmo::BookmarkHeader(text);
  Check(std::count(header.begin(), header.end(), '<') == 6);
  Check(header.size() <= 45 + 2 * 5 * pelmo::kTitleLimit);
  return 0;
}

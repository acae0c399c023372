#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "book2fav/character_references.h"
#include "book2fav/item_text.h"
#include "book2fav/written_names.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_expand.h"
#include "text/utf8.h"
#include "util/bookmark_items.h"
#include "util/text.h"

namespace {

using pelmo::fuzz::Check;

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// Written apart from the code under test, so that both cannot share a mistake.
std::size_t LeadLength(unsigned char byte) {
  if (byte >= 0xC2 && byte <= 0xDF) return 2;
  if (byte >= 0xE0 && byte <= 0xEF) return 3;
  if (byte >= 0xF0 && byte <= 0xF4) return 4;
  return 0;
}

// Whether the length bytes from start are one character: continuation bytes that give
// a value of the length's range, neither a surrogate nor above U+10FFFF.
bool IsWholeCharacter(std::string_view text, std::size_t start, std::size_t length) {
  if (start + length > text.size()) return false;
  std::uint32_t code = static_cast<unsigned char>(text[start]) & (0xFFu >> (length + 1));
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[start + i]);
    if (!IsContinuation(byte)) return false;
    code = code << 6 | (byte & 0x3Fu);
  }
  constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  return code >= kLeast[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
}

std::string Folded(std::string_view text) {
  std::string folded;
  for (char byte : text) {
    folded.push_back((byte >= 'a' && byte <= 'z') ? static_cast<char>(byte - 'a' + 'A') : byte);
  }
  return folded;
}

void CheckName(std::string_view name) {
  // Besides the shared predicate, the bytes that would change the file's place or
  // type on any system the program runs on.
  for (char byte : name) {
    Check(pelmo::IsFileNameChar(static_cast<unsigned char>(byte)));
    Check(std::string_view("/\\:*?\"<>|.\0", 11).find(byte) == std::string_view::npos);
  }
}

// Whether a cut at position splits a character.
bool SplitsSequence(std::string_view text, std::size_t position) {
  for (std::size_t back = 1; back <= 3 && back <= position; ++back) {
    const std::size_t start = position - back;
    const std::size_t length = LeadLength(static_cast<unsigned char>(text[start]));
    if (length > back && IsWholeCharacter(text, start, length)) return true;
  }
  return false;
}

void CheckCut(std::string_view text, std::size_t maxBytes) {
  std::string_view fitted = pelmo::text::CutUtf8(text, maxBytes);
  Check(fitted.size() <= maxBytes);
  Check(text.starts_with(fitted));
  if (text.size() <= maxBytes) {
    Check(fitted.size() == text.size());
    return;
  }
  // At most the bytes of one character before the cut go.
  Check(fitted.size() + 3 >= maxBytes);
  Check(!SplitsSequence(text, fitted.size()));
}

void CheckReferences(std::string_view text) {
  std::string decoded = pelmo::DecodeCharacterReferences(text);
  // Every reference is longer than the bytes it stands for.
  Check(decoded.size() <= text.size());
  if (text.find('&') == std::string_view::npos) Check(decoded == text);
  for (std::size_t at = text.find('&'); at != std::string_view::npos; at = text.find('&', at + 1)) {
    auto reference = pelmo::ReadCharacterReference(text, at);
    if (!reference) continue;
    Check(reference->length >= 4 && at + reference->length <= text.size());
    Check(text[at + reference->length - 1] == ';');
    Check(!reference->bytes.empty() && reference->bytes.size() <= 4);
    Check(reference->bytes.find('\0') == std::string::npos);
  }
}

std::vector<pelmo::RawItem> ReadItems(std::string_view text, std::size_t pieceSize,
                                      std::size_t carryLimit) {
  pelmo::ItemReader reader(carryLimit);
  std::vector<pelmo::RawItem> items;
  for (std::size_t at = 0; at < text.size(); at += pieceSize) {
    reader.feed(text.substr(at, pieceSize));
    for (pelmo::RawItem& item : reader.items()) items.push_back(std::move(item));
    reader.items().clear();
  }
  reader.finish();
  for (pelmo::RawItem& item : reader.items()) items.push_back(std::move(item));
  return items;
}

bool SameItems(const std::vector<pelmo::RawItem>& a, const std::vector<pelmo::RawItem>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].kind != b[i].kind || a[i].url != b[i].url || a[i].title != b[i].title) return false;
  }
  return true;
}

// However the text is cut into pieces, the same items come out, and what the walk
// gets is a name and a one-line URL.
void CheckItems(std::string_view text, std::size_t pieceSize, std::size_t carryLimit) {
  std::vector<pelmo::RawItem> whole = ReadItems(text, text.size() + 1, carryLimit);
  Check(SameItems(whole, ReadItems(text, pieceSize, carryLimit)));
  for (const pelmo::RawItem& item : whole) {
    // An item longer than the limit was closed, so it is all text of the input.
    Check(item.title.size() <= text.size() && item.url.size() <= text.size());
    CheckName(pelmo::NameFromTitle(item.title));
    std::string url = pelmo::UrlFromHref(item.url);
    for (char byte : url) Check(static_cast<unsigned char>(byte) >= 0x20 && byte != 0x7F);
  }
}

// Lines of the input drive one WrittenNames: "+name" enters, "-" leaves, any other
// line claims a shortcut name for itself as title. Directories are told apart by
// their folded path, as on a file system that ignores letter case.
void CheckWrittenNames(std::string_view text) {
  pelmo::WrittenNames names;
  std::vector<std::string> path;
  std::map<std::vector<std::string>, std::set<std::string>> used;
  std::map<std::vector<std::string>, std::uint64_t> inodes;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.starts_with('+')) {
      path.push_back(Folded(line.substr(1)));
      auto inode = inodes.try_emplace(path, inodes.size() + 1).first->second;
      names.enter({1, inode});
    } else if (line == "-") {
      names.leave();
      if (!path.empty()) path.pop_back();
    } else {
      std::string name = names.claimShortcutName(line);
      Check(name.size() <= 255 && name.ends_with(pelmo::kShortcutExtension));
      Check(used[path].insert(Folded(name)).second);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t maxBytes = data[0];
  const std::size_t pieceSize = data[1] + 1;
  std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

  CheckItems(text, pieceSize, 64);
  // The same with the limit of a real run, on the text with its runs of bytes
  // expanded (fuzz_expand.h), in larger pieces.
  const std::string large = pelmo::fuzz::ExpandRuns(text);
  if (large.size() != text.size())
    CheckItems(large, pieceSize * 4096, pelmo::ItemReader::kDefaultCarryLimit);
  CheckName(pelmo::FilterTitle(text));
  CheckReferences(text);
  CheckCut(text, maxBytes);
  CheckCut(text, text.size() > maxBytes ? text.size() - maxBytes : 0);
  CheckWrittenNames(text);
  return 0;
}

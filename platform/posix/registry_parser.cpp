#include "platform/posix/registry_parser.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "text/ascii.h"
#include "text/utf16.h"
#include "text/utf8.h"

namespace pelmo::platform {
namespace {

constexpr std::string_view kUtf16LeByteOrderMark = "\xFF\xFE";

// Unpaired surrogates become the replacement character; an odd last byte is dropped.
std::string Utf16LeToUtf8(std::string_view bytes) {
  return text::DecodeUtf16(bytes.substr(0, bytes.size() - bytes.size() % 2), false);
}

bool IsHeader(std::string_view line) {
  return line == "REGEDIT4" || line == "Windows Registry Editor Version 5.00";
}

// A quoted text at the start of text, with \\ and \" undone; the rest of text is
// what follows the closing quote. Nothing when the quote is never closed.
std::optional<std::string> TakeQuoted(std::string_view& text) {
  std::string unquoted;
  for (std::size_t at = 1; at < text.size(); ++at) {
    const char byte = text[at];
    if (byte == '"') {
      text.remove_prefix(at + 1);
      return unquoted;
    }
    if (byte == '\\' && at + 1 < text.size() && (text[at + 1] == '\\' || text[at + 1] == '"')) {
      ++at;
    }
    unquoted.push_back(text[at]);
  }
  return std::nullopt;
}

struct ValueLine {
  std::string name;
  std::optional<std::string> text;  // nothing for a value that is not a string
  bool continues = false;           // a binary value carried on into the next line
};

std::optional<ValueLine> ParseValueLine(std::string_view line) {
  ValueLine value;
  if (line.starts_with('@')) {
    line.remove_prefix(1);
  } else if (line.starts_with('"')) {
    std::optional<std::string> name = TakeQuoted(line);
    if (!name) return std::nullopt;
    value.name = std::move(*name);
  } else {
    return std::nullopt;
  }
  line = text::TrimBlanks(line);
  if (!line.starts_with('=')) return std::nullopt;
  line = text::TrimBlanks(line.substr(1));
  if (line.starts_with('"')) {
    value.text = TakeQuoted(line);
  } else {
    value.continues = line.ends_with('\\');
  }
  return value;
}

}  // namespace

std::string DecodeRegistryText(std::string_view bytes) {
  if (bytes.starts_with(kUtf16LeByteOrderMark)) return Utf16LeToUtf8(bytes.substr(2));
  if (bytes.starts_with(text::kUtf8ByteOrderMark)) {
    bytes.remove_prefix(text::kUtf8ByteOrderMark.size());
  }
  return std::string(bytes);
}

std::optional<std::string> FindRegistryString(std::string_view text, std::string_view fullKey,
                                              std::string_view valueName) {
  RegistryFileSearch search(fullKey, valueName);
  search.feed(text);
  return search.finish();
}

RegistryFileSearch::RegistryFileSearch(std::string_view fullKey, std::string_view valueName)
    : fullKey_(fullKey), valueName_(valueName) {}

bool RegistryFileSearch::feed(std::string_view bytes) {
  if (over_) return false;
  if (!started_) {
    pending_.append(bytes);
    if (pending_.size() < text::kUtf8ByteOrderMark.size() &&
        (text::kUtf8ByteOrderMark.starts_with(pending_) ||
         kUtf16LeByteOrderMark.starts_with(pending_))) {
      return true;
    }
    return begin();
  }
  if (!utf16_) {
    addText(bytes);
    return !over_;
  }
  // Whole units only, and a high surrogate waits for its partner.
  pending_.append(bytes);
  std::size_t usable = pending_.size() & ~std::size_t{1};
  if (usable >= 2 && (static_cast<unsigned char>(pending_[usable - 1]) & 0xFC) == 0xD8) {
    usable -= 2;
  }
  addText(Utf16LeToUtf8(std::string_view(pending_).substr(0, usable)));
  pending_.erase(0, usable);
  return !over_;
}

// The byte-order mark decides how the rest is read.
bool RegistryFileSearch::begin() {
  started_ = true;
  std::string start;
  start.swap(pending_);
  std::string_view text = start;
  utf16_ = text.starts_with(kUtf16LeByteOrderMark);
  if (utf16_) text.remove_prefix(kUtf16LeByteOrderMark.size());
  if (text.starts_with(text::kUtf8ByteOrderMark)) {
    text.remove_prefix(text::kUtf8ByteOrderMark.size());
  }
  return feed(text);
}

std::optional<std::string> RegistryFileSearch::finish() {
  if (!started_) begin();
  if (utf16_ && !over_) addText(Utf16LeToUtf8(pending_));
  if (!over_) endLine();
  return value_;
}

// CR, LF and CR LF end a line.
void RegistryFileSearch::addText(std::string_view text) {
  while (!text.empty() && !over_) {
    if (afterCr_ && text.front() == '\n') text.remove_prefix(1);
    afterCr_ = false;
    const std::size_t end = text.find_first_of("\r\n");
    std::string_view piece = text.substr(0, end);
    const std::size_t room = kLongestRegistryLine - std::min(kLongestRegistryLine, line_.size());
    line_.append(piece.substr(0, room));
    if (piece.size() > room) {
      lineCut_ = true;
      const std::string_view trimmed = text::TrimBlanks(piece.substr(room));
      if (!trimmed.empty()) lastNonBlank_ = trimmed.back();
    }
    if (end == std::string_view::npos) return;
    afterCr_ = text[end] == '\r';
    text.remove_prefix(end + 1);
    endLine();
  }
}

void RegistryFileSearch::endLine() {
  std::string_view line = text::TrimBlanks(line_);
  std::string ending;
  // A cut line keeps its start and the last byte that says whether it continues.
  if (lineCut_ && lastNonBlank_ != 0) {
    ending = std::string(line) + lastNonBlank_;
    line = ending;
  }
  if (!addLine(line)) over_ = true;
  line_.clear();
  lineCut_ = false;
  lastNonBlank_ = 0;
}

bool RegistryFileSearch::addLine(std::string_view line) {
  if (!sawHeader_) {
    if (line.empty()) return true;
    sawHeader_ = true;
    return IsHeader(line);
  }
  if (continuation_) {
    continuation_ = line.ends_with('\\');
    return true;
  }
  if (line.empty() || line.starts_with(';')) return true;
  if (line.starts_with('[')) {
    // Every occurrence of the key counts, so entering another key only pauses.
    inKey_ = line.ends_with(']') && text::EqualNoCase(line.substr(1, line.size() - 2), fullKey_);
    return true;
  }
  std::optional<ValueLine> value = ParseValueLine(line);
  if (!value) return true;
  continuation_ = value->continues;
  if (inKey_ && text::EqualNoCase(value->name, valueName_)) {
    value_ = std::move(value->text);
    return false;
  }
  return true;
}

}  // namespace pelmo::platform

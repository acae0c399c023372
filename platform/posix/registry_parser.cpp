#include "platform/posix/registry_parser.h"

#include <cstdint>
#include <utility>

#include "platform/posix/text_compare.h"
#include "platform/utf8.h"

namespace pelmo::platform {
namespace {

constexpr std::string_view kUtf16LeByteOrderMark = "\xFF\xFE";
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr char32_t kReplacementCharacter = 0xFFFD;

// Unpaired surrogates become the replacement character; an odd last byte is dropped.
std::string Utf16LeToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() / 2);
  auto unit = [&bytes](std::size_t at) -> char32_t {
    return static_cast<unsigned char>(bytes[at]) |
           (static_cast<char32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8);
  };
  for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
    char32_t code = unit(at);
    if (code >= 0xD800 && code <= 0xDBFF && at + 3 < bytes.size()) {
      const char32_t low = unit(at + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        at += 2;
      }
    }
    if (code >= 0xD800 && code <= 0xDFFF) code = kReplacementCharacter;
    AppendUtf8(out, code);
  }
  return out;
}

// Takes the next line off text; CR, LF and CR LF end a line.
std::string_view NextLine(std::string_view& text) {
  const std::size_t end = text.find_first_of("\r\n");
  std::string_view line = text.substr(0, end);
  if (end == std::string_view::npos) {
    text = {};
  } else {
    const bool crLf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    text.remove_prefix(end + (crLf ? 2 : 1));
  }
  return line;
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
  line = TrimBlanks(line);
  if (!line.starts_with('=')) return std::nullopt;
  line = TrimBlanks(line.substr(1));
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
  if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
  return std::string(bytes);
}

std::optional<std::string> FindRegistryString(std::string_view text, std::string_view fullKey,
                                              std::string_view valueName) {
  std::string_view line = TrimBlanks(NextLine(text));
  while (line.empty() && !text.empty()) line = TrimBlanks(NextLine(text));
  if (!IsHeader(line)) return std::nullopt;

  bool inKey = false;
  bool continuation = false;
  while (!text.empty()) {
    line = TrimBlanks(NextLine(text));
    if (continuation) {
      continuation = line.ends_with('\\');
      continue;
    }
    if (line.empty() || line.starts_with(';')) continue;
    if (line.starts_with('[')) {
      // Every occurrence of the key counts, so entering another key only pauses.
      inKey = line.ends_with(']') && EqualNoCase(line.substr(1, line.size() - 2), fullKey);
      continue;
    }
    std::optional<ValueLine> value = ParseValueLine(line);
    if (!value) continue;
    continuation = value->continues;
    if (inKey && EqualNoCase(value->name, valueName)) return value->text;
  }
  return std::nullopt;
}

}  // namespace pelmo::platform

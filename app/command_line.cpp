#include "app/command_line.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <utility>

namespace pelmo {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  return pos;
}

// The program name ends at its closing quote when quoted, else at the first blank.
std::size_t SkipProgramName(std::string_view text, std::size_t pos) {
  if (pos < text.size() && text[pos] == '"') {
    const std::size_t closing = text.find('"', pos + 1);
    return closing == std::string_view::npos ? text.size() : closing + 1;
  }
  while (pos < text.size() && !IsBlank(text[pos])) ++pos;
  return pos;
}

// Reads one word starting at a non-blank byte; returns the position after it.
std::size_t ReadWord(std::string_view text, std::size_t pos, std::string& word) {
  bool quoted = false;
  while (pos < text.size()) {
    const char c = text[pos];
    if (c == '\\' && pos + 1 < text.size() && text[pos + 1] == '"') {
      word.push_back('"');
      pos += 2;
    } else if (c == '"') {
      quoted = !quoted;
      ++pos;
    } else if (!quoted && IsBlank(c)) {
      break;
    } else {
      word.push_back(c);
      ++pos;
    }
  }
  return pos;
}

// A Windows code page number, 1 to 65535 in decimal; nothing for any other word.
std::optional<unsigned> CodePageNumber(std::string_view word) {
  unsigned number = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
  if (error != std::errc() || end != word.data() + word.size() || number == 0 || number > 65535) {
    return std::nullopt;
  }
  return number;
}

// Keeps at most capacity - 1 bytes, as a buffer with a terminator would.
std::string CutToCapacity(std::string_view value, std::size_t capacity) {
  return std::string(value.substr(0, std::min(value.size(), capacity - 1)));
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine,
                                          std::string_view programPath) {
  std::vector<std::string> words{std::string(programPath)};
  std::size_t pos = SkipProgramName(commandLine, SkipBlanks(commandLine, 0));
  for (pos = SkipBlanks(commandLine, pos); pos < commandLine.size();
       pos = SkipBlanks(commandLine, pos)) {
    std::string word;
    pos = ReadWord(commandLine, pos, word);
    words.push_back(std::move(word));
  }
  return words;
}

void ApplySwitches(const std::vector<std::string>& words, ConversionSettings& settings) {
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::string& word = words[i];
    const bool hasValue = i + 1 < words.size();
    if (word == "/auto") {
      settings.automatic = true;
    } else if (word == "/ftb") {
      settings.mode = ConversionMode::FavouritesToBookmarks;
    } else if (word == "/btf") {
      settings.mode = ConversionMode::BookmarksToFavourites;
    } else if (word == "/quiet") {
      settings.quiet = true;
    } else if (word == "/merge") {
      settings.merge = true;
    } else if (word == "/fav" && hasValue) {
      settings.favouritesFolder = words[++i];
    } else if (word == "/book" && hasValue) {
      settings.bookmarkFile = words[++i];
    } else if (word == "/title" && hasValue) {
      settings.bookmarkTitle = CutToCapacity(words[++i], kTitleCapacity);
    } else if (word == "/codepage" && hasValue) {
      if (std::optional<unsigned> number = CodePageNumber(words[++i])) settings.codePage = *number;
    }
  }
}

}  // namespace pelmo

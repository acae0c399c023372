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

// One row per switch: its name, the word for its value in a refusal (empty for a
// switch without a value), and what it does to the record.
struct Switch {
  std::string_view name;
  std::string_view valueWord;
  void (*apply)(ConversionSettings& settings, std::string_view value);
};

constexpr Switch kSwitches[] = {
    {"/auto", {}, [](ConversionSettings& s, std::string_view) { s.automatic = true; }},
    {"/ftb",
     {},
     [](ConversionSettings& s, std::string_view) {
       s.mode = ConversionMode::FavouritesToBookmarks;
     }},
    {"/btf",
     {},
     [](ConversionSettings& s, std::string_view) {
       s.mode = ConversionMode::BookmarksToFavourites;
     }},
    {"/quiet", {}, [](ConversionSettings& s, std::string_view) { s.quiet = true; }},
    {"/merge", {}, [](ConversionSettings& s, std::string_view) { s.merge = true; }},
    {"/modern", {}, [](ConversionSettings& s, std::string_view) { s.modern = true; }},
    {"/fav", "folder", [](ConversionSettings& s, std::string_view v) { s.favouritesFolder = v; }},
    {"/book", "file", [](ConversionSettings& s, std::string_view v) { s.bookmarkFile = v; }},
    {"/title", "title",
     [](ConversionSettings& s, std::string_view v) {
       s.bookmarkTitle = CutToCapacity(v, kTitleCapacity);
     }},
    {"/codepage", "code page",
     [](ConversionSettings& s, std::string_view v) {
       if (std::optional<unsigned> number = CodePageNumber(v)) s.codePage = *number;
     }},
};

const Switch* FindSwitch(std::string_view word) {
  for (const Switch& candidate : kSwitches) {
    if (candidate.name == word) return &candidate;
  }
  return nullptr;
}

bool TakesValue(const Switch& found) {
  return !found.valueWord.empty();
}

bool LooksLikeSwitch(std::string_view word) {
  return !word.empty() && (word.front() == '/' || word.front() == '-');
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
    const Switch* found = FindSwitch(words[i]);
    if (found == nullptr) continue;
    if (!TakesValue(*found)) {
      found->apply(settings, {});
    } else if (i + 1 < words.size()) {
      found->apply(settings, words[++i]);
    }
  }
}

CommandLineCheck CheckCommandLine(const std::vector<std::string>& words) {
  bool automatic = false;
  std::optional<std::string> unknown;  // the first word that looks like a switch but is none
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "--help") return {CommandLineRequest::Help, {}};
    if (word == "--version") return {CommandLineRequest::Version, {}};
    const Switch* found = FindSwitch(word);
    if (found == nullptr) {
      if (!unknown && LooksLikeSwitch(word)) unknown = word;
      continue;
    }
    if (found->name == "/auto") automatic = true;
    if (!TakesValue(*found)) continue;
    if (i + 1 == words.size()) {
      return {CommandLineRequest::Refused,
              "Missing " + std::string(found->valueWord) + " after " + word};
    }
    ++i;
  }
  if (automatic && unknown) return {CommandLineRequest::Refused, "Unknown switch " + *unknown};
  return {};
}

}  // namespace pelmo

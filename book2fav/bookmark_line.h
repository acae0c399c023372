#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pelmo {

enum class LineKind { Shortcut, FolderHeading, EndOfList, Other };

// What a line of a bookmark file is, and where its tag starts: "<A HREF=" for a
// shortcut, "<H3" for a folder heading.
struct LineMatch {
  LineKind kind = LineKind::Other;
  std::size_t tagPosition = 0;
};

// The first recogniser that matches wins: shortcut, then heading, then end of list.
LineMatch RecogniseLine(std::string_view line);

struct ShortcutUrl {
  std::string url;               // references decoded, never cut
  std::size_t closingQuote = 0;  // where the title search starts
};

// The URL between the first two double quotes at or after the tag.
ShortcutUrl ExtractUrl(std::string_view line, std::size_t tagPosition);

// The title behind the first '>' at or after start, up to "</" + endLetter (exact
// case) or the end of the line, trimmed of spaces and filtered into a name: references
// decoded, "&&" read as '&', a lone '&' dropped, bytes a name cannot hold dropped.
// The result is not cut to any length.
std::string ExtractTitle(std::string_view line, std::size_t start, char endLetter);

// The name bytes of a title, as ExtractTitle filters them.
std::string FilterTitle(std::string_view title);

}  // namespace pelmo

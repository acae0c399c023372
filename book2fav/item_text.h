#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelmo {

// The name a title gives: tags inside it left out, a line break read as a space,
// filtered (FilterTitle), then trimmed of spaces at both ends. Not cut to any length.
std::string NameFromTitle(std::string_view title);

// The name bytes of a title: references decoded, "&&" (also "&amp;&amp;") read as
// '&', a lone '&' dropped, bytes a name cannot hold dropped.
std::string FilterTitle(std::string_view title);

// The name a plain text gives (a title from a store that holds text, not HTML): line
// breaks and tabs read as spaces, bytes a name cannot hold dropped, every '&' kept,
// trimmed of spaces at both ends.
std::string NameFromText(std::string_view text);

// The name of a link whose title gives none: the host of its URL through the same
// filter ("https://example.org/x" gives "exampleorg"), else kUntitledName.
inline constexpr std::string_view kUntitledName = "(untitled)";
std::string NameFromUrl(std::string_view url);

// The URL an HREF value gives: references decoded, then tab, CR and LF removed (as
// browsers do) and every other control byte written as %XX, so that a URL always
// stays on its one line of a shortcut file. Never cut.
std::string UrlFromHref(std::string_view href);
// The same for a URL that is plain text: nothing decoded.
std::string UrlFromText(std::string_view url);

// The date an ADD_DATE value gives, in seconds since 1970: decimal seconds, or the
// milliseconds or microseconds some exporters write (a count too large to be seconds
// before the year 10000). Nothing for 0, a negative count or one that is no number.
std::optional<std::int64_t> DateFromAttribute(std::string_view value);

}  // namespace pelmo

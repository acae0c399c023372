#pragma once

#include <string>
#include <string_view>

namespace pelmo {

// The name a title gives: tags inside it left out, a line break read as a space,
// filtered (FilterTitle), then trimmed of spaces at both ends. Not cut to any length.
std::string NameFromTitle(std::string_view title);

// The name bytes of a title: references decoded, "&&" read as '&', a lone '&'
// dropped, bytes a name cannot hold dropped.
std::string FilterTitle(std::string_view title);

// The name of a link whose title gives none: the host of its URL through the same
// filter ("https://example.org/x" gives "exampleorg"), else kUntitledName.
inline constexpr std::string_view kUntitledName = "(untitled)";
std::string NameFromUrl(std::string_view url);

// The URL an HREF value gives: references decoded, then tab, CR and LF removed (as
// browsers do) and every other control byte written as %XX, so that a URL always
// stays on its one line of a shortcut file. Never cut.
std::string UrlFromHref(std::string_view href);

}  // namespace pelmo

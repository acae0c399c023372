#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pelmo {

// A character reference found in a text: what it stands for and how many bytes of
// the text it spans.
struct CharacterReference {
  std::string bytes;  // UTF-8
  std::size_t length = 0;
};

// The reference that starts at text[position] ('&'): one of HTML 4's named references
// (&amp; &ouml; &nbsp; &mdash; ..., letter case exact, with its ';') or a numeric one
// (&#NN; &#xHH;) naming a valid Unicode scalar value. Nothing when no reference starts there.
std::optional<CharacterReference> ReadCharacterReference(std::string_view text,
                                                         std::size_t position);

// The text with every character reference decoded; every other '&' stays.
std::string DecodeCharacterReferences(std::string_view text);

}  // namespace pelmo

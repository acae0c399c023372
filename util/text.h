#pragma once

#include "text/ascii.h"

namespace pelmo {

// Only the ASCII letters fold; every other byte keeps its unsigned value.
using text::CompareNoCase;
using text::FindNoCase;
using text::FoldCase;

// Whether a byte of a bookmark title may stay in a file or folder name.
bool IsFileNameChar(unsigned char byte);

}  // namespace pelmo

#pragma once

#include "platform/ascii_text.h"

namespace pelmo {

// Only the ASCII letters fold; every other byte keeps its unsigned value.
using platform::CompareNoCase;
using platform::FindNoCase;
using platform::FoldCase;

// Whether a byte of a bookmark title may stay in a file or folder name.
bool IsFileNameChar(unsigned char byte);

}  // namespace pelmo

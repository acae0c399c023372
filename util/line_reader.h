#pragma once

#include <string>

#include "platform/file.h"

namespace pelmo {

// Reads the next line into line, without its line end. A line ends at CR LF, at a
// lone LF or at a lone CR; a last line without a line end is delivered too.
// False at the end of the file (or after a failed read) when no byte was left.
bool ReadTextLine(platform::File& file, std::string& line);

}  // namespace pelmo

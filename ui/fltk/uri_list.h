#pragma once

#include <string>
#include <string_view>

namespace pelmo::ui {

// The first local file name of a drop: the first entry of a text/uri-list (lines ending
// in CR LF or LF, # lines are comments), a file: URL percent-decoded, or a plain absolute
// path as some toolkits hand it on. Empty when the first entry names no local file.
std::string FirstDroppedFile(std::string_view uriList);

}  // namespace pelmo::ui

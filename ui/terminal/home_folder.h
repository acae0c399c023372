#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelmo::ui {

// A path typed at the prompt as a shell would take it: "~" alone or at the start of
// "~/..." stands for the home folder ($HOME, else the user's entry in the password
// database). Other paths, "~name" included, stay as typed; so does "~" when there is
// no home folder to put in its place.
std::string ExpandHomeFolder(std::string_view typed, const std::optional<std::string>& home);

// The home folder of the user running the program, if one is known.
std::optional<std::string> HomeFolder();

}  // namespace pelmo::ui

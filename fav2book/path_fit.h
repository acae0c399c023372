#pragma once

#include <string>
#include <string_view>

namespace pelmo {

// Joins the component onto the path (a separator where one is needed); false, with
// the path left unspecified, when the whole result would not fit the platform's
// longest path, so that no cut path is ever used.
bool JoinWithinLimit(std::string& path, std::string_view component);

}  // namespace pelmo

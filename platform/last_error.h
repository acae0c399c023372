#pragma once

#include <string>

namespace pelmo::platform {

// The system's own words for why the last failed system call failed, as its tools
// say them ("Permission denied"); empty when none failed since ClearLastError. A
// caller clears, makes the calls that may fail, and reads the words at once, before
// anything else can fail.
void ClearLastError();
std::string LastErrorText();

// The system's words for a path longer than it takes.
std::string PathTooLongText();

}  // namespace pelmo::platform

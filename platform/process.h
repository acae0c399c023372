#pragma once

#include <string>

namespace pelmo::platform {

// Win32 only: a program receives its command line as one string, which the program
// splits itself, and learns its own path from the system.
std::string ProcessCommandLine();
std::string ProgramPath();

}  // namespace pelmo::platform

#pragma once

#include <string>

namespace pelmo::platform {

// Win32 only: a program receives its command line as one string, which the program
// splits itself, and learns its own path from the system.
std::string ProcessCommandLine();
std::string ProgramPath();

// Called first thing: a file-size limit, a closed pipe or a closed standard stream
// makes a write fail instead of ending the process or landing in a file the run
// opens.
void PrepareProcess();

}  // namespace pelmo::platform

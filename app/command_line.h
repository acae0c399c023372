#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "util/conversion_settings.h"

namespace pelmo {

// Splits a whole command line into words by the rules of the Win32 runtime. Word 0
// is programPath; the program name at the start of commandLine is skipped.
std::vector<std::string> SplitCommandLine(std::string_view commandLine,
                                          std::string_view programPath);

// Applies the switches among words[1..] to settings: case-sensitive whole words,
// a later switch wins, a value is taken verbatim (a path whole, the title cut to its
// capacity), and a value-taking switch as the last word changes nothing.
void ApplySwitches(const std::vector<std::string>& words, ConversionSettings& settings);

}  // namespace pelmo

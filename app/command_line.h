#pragma once

#include <cstddef>
#include <optional>
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

// What the command line asks for before any conversion is thought of.
enum class CommandLineRequest { Run, Help, Version, Refused };

struct CommandLineCheck {
  CommandLineRequest request = CommandLineRequest::Run;
  std::string refusal;  // for Refused: "Unknown switch /bft", "Missing folder after /fav"
};

// Looks at words[1..] before anything is read or written. --help or --version as a
// word of its own (not the value of a switch) asks for that text. A value switch as
// the last word is refused. With /auto, a word that looks like a switch (it starts
// with '/' or '-') and is none is refused, so that a slip cannot run a conversion
// that nobody asked for; without /auto such words are ignored, as plain words are.
CommandLineCheck CheckCommandLine(const std::vector<std::string>& words);

}  // namespace pelmo

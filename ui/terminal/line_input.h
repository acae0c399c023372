#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace pelmo::ui {

enum class LineStatus {
  Read,     // a whole line, without its line end
  TooLong,  // longer than the limit: the line was read to its end and dropped
  HasNul,   // held a NUL byte: dropped
  End,      // the end of input (or a line without end, longer than can be skipped)
};

// Where the answers at the prompt come from.
class LineInput {
 public:
  virtual ~LineInput() = default;
  // Shows prompt, then reads one line of at most limit bytes into line.
  virtual LineStatus read(std::string_view prompt, std::size_t limit, std::string& line) = 0;
};

// Plain reading from in, the prompt written to out. Memory stays bounded whatever
// comes: a line beyond the limit is skipped to its end, not kept.
std::unique_ptr<LineInput> MakePlainInput(std::FILE* in, std::FILE* out);

// Line editing with history and Tab completion of paths, on the process's own
// terminal; null when the build has no line editor or stdin is no terminal.
std::unique_ptr<LineInput> MakeEditedInput(std::FILE* out);

}  // namespace pelmo::ui

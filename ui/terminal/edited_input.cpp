// The line editor: libedit's readline interface, which edits the line in place, keeps
// a history of the answers and completes paths with Tab (a leading ~ included).
#include <editline/readline.h>
#include <unistd.h>

#include <cstdlib>

#include "ui/terminal/line_input.h"

namespace pelmo::ui {

namespace {

class EditedInput : public LineInput {
 public:
  explicit EditedInput(std::FILE* out) {
    rl_instream = stdin;
    rl_outstream = out;
    // Completion offers file names; nothing else is ever typed at these prompts.
    rl_completion_entry_function = rl_filename_completion_function;
  }

  LineStatus read(std::string_view prompt, std::size_t limit, std::string& line) override {
    const std::string terminated(prompt);
    char* typed = readline(terminated.c_str());
    if (typed == nullptr) return LineStatus::End;
    line.assign(typed);
    std::free(typed);
    if (line.size() > limit) {
      line.clear();
      return LineStatus::TooLong;
    }
    if (!line.empty()) add_history(line.c_str());
    return LineStatus::Read;
  }
};

}  // namespace

std::unique_ptr<LineInput> MakeEditedInput(std::FILE* out) {
  if (::isatty(STDIN_FILENO) != 1) return nullptr;
  return std::make_unique<EditedInput>(out);
}

}  // namespace pelmo::ui

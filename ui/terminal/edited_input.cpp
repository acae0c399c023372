// The line editor: libedit's readline interface, which edits the line in place, keeps
// a history of the answers and completes paths with Tab (a leading ~ included).
#include <editline/readline.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "ui/terminal/home_folder.h"
#include "ui/terminal/line_input.h"

namespace pelmo::ui {

namespace {

// The file names that complete text, a folder's with its '/' so that typing can go on
// into it. The library's own test for a folder does not look behind a leading ~.
char* CompletePath(const char* text, int state) {
  char* match = rl_filename_completion_function(text, state);
  if (match == nullptr) return nullptr;
  const std::size_t length = std::strlen(match);
  struct stat status {};
  const std::string expanded = ExpandHomeFolder(match, HomeFolder());
  if (length > 0 && match[length - 1] != '/' && ::stat(expanded.c_str(), &status) == 0 &&
      S_ISDIR(status.st_mode)) {
    if (char* longer = static_cast<char*>(std::realloc(match, length + 2))) {
      longer[length] = '/';
      longer[length + 1] = '\0';
      return longer;
    }
  }
  return match;
}

class EditedInput : public LineInput {
 public:
  explicit EditedInput(std::FILE* out) {
    rl_instream = stdin;
    rl_outstream = out;
    // Completion offers file names; nothing else is ever typed at these prompts.
    rl_completion_entry_function = CompletePath;
    // A completed name is left as it is: a folder's already ends in '/'.
    rl_completion_append_character = '\0';
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

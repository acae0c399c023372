#include "ui/terminal/prompt.h"

#include "text/ascii.h"

namespace pelmo::ui {

int Prompt::ask(std::string_view question, std::initializer_list<Choice> choices, int onEnter) {
  for (;;) {
    std::optional<std::string> line = readAnswer(question);
    if (!line) return 0;
    const std::string_view word = text::Trim(*line, " \t\r");
    if (word.empty()) return onEnter;
    for (const Choice& choice : choices) {
      if (text::EqualNoCase(word, choice.first)) return choice.second;
    }
  }
}

std::optional<std::string> Prompt::askText(std::string_view question) {
  return readAnswer(question);
}

std::optional<std::string> Prompt::readAnswer(std::string_view question) {
  std::string line;
  for (;;) {
    switch (input_->read(question, limit_, line)) {
      case LineStatus::Read:
        return line;
      case LineStatus::End:
        std::fputs("\n", out_);
        return std::nullopt;
      case LineStatus::TooLong:
        std::fprintf(out_, "That answer is longer than %zu bytes; it was not taken.\n", limit_);
        break;
      case LineStatus::HasNul:
        std::fputs("That answer holds a NUL byte; it was not taken.\n", out_);
        break;
    }
  }
}

}  // namespace pelmo::ui

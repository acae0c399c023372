#include "ui/terminal/prompt.h"

#include <cctype>

namespace pelmo::ui {

namespace {

std::string Normalise(std::string_view text) {
  std::size_t begin = text.find_first_not_of(" \t\r");
  std::size_t end = text.find_last_not_of(" \t\r");
  std::string word;
  if (begin == std::string_view::npos) return word;
  for (char c : text.substr(begin, end - begin + 1)) {
    word.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  }
  return word;
}

}  // namespace

int Prompt::ask(std::string_view question, std::initializer_list<Choice> choices, int onEnter) {
  for (;;) {
    std::optional<std::string> line = readAnswer(question);
    if (!line) return 0;
    std::string word = Normalise(*line);
    if (word.empty()) return onEnter;
    for (const Choice& choice : choices) {
      if (word == choice.first) return choice.second;
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

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
  std::string line;
  for (;;) {
    std::fwrite(question.data(), 1, question.size(), out_);
    std::fflush(out_);
    if (!readLine(line)) {
      std::fputs("\n", out_);
      return 0;
    }
    std::string word = Normalise(line);
    if (word.empty()) return onEnter;
    for (const Choice& choice : choices) {
      if (word == choice.first) return choice.second;
    }
  }
}

std::optional<std::string> Prompt::askText(std::string_view question) {
  std::fwrite(question.data(), 1, question.size(), out_);
  std::fflush(out_);
  std::string line;
  if (!readLine(line)) {
    std::fputs("\n", out_);
    return std::nullopt;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

bool Prompt::readLine(std::string& line) {
  line.clear();
  int c;
  while ((c = std::fgetc(in_)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
  return c != EOF || !line.empty();
}

}  // namespace pelmo::ui

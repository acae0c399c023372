#pragma once

#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace pelmo::ui {

// Asks on out and reads one answer a line from in, until an answer is known.
class Prompt {
 public:
  using Choice = std::pair<std::string_view, int>;

  Prompt(std::FILE* in, std::FILE* out) : in_(in), out_(out) {}

  // The value of the choice typed (letters in any case, blanks around ignored);
  // an empty line gives onEnter; the end of input gives 0, which is Cancel.
  int ask(std::string_view question, std::initializer_list<Choice> choices, int onEnter);
  // The line typed, as typed (a carriage return before the line end dropped); nothing
  // at the end of input.
  std::optional<std::string> askText(std::string_view question);

 private:
  bool readLine(std::string& line);

  std::FILE* in_;
  std::FILE* out_;
};

}  // namespace pelmo::ui

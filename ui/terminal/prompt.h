#pragma once

#include <cstddef>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "ui/terminal/line_input.h"

namespace pelmo::ui {

// Asks on out and reads one answer a line, until an answer is known. An answer longer
// than limit bytes, or with a NUL byte in it, is refused with a word on out and asked
// again, never cut into another.
class Prompt {
 public:
  using Choice = std::pair<std::string_view, int>;

  Prompt(std::unique_ptr<LineInput> input, std::FILE* out, std::size_t limit)
      : input_(std::move(input)), out_(out), limit_(limit) {}

  // The value of the choice typed (letters in any case, blanks around ignored);
  // an empty line gives onEnter; the end of input gives 0, which is Cancel.
  int ask(std::string_view question, std::initializer_list<Choice> choices, int onEnter);
  // The line typed, as typed; nothing at the end of input.
  std::optional<std::string> askText(std::string_view question);

  std::size_t limit() const { return limit_; }

 private:
  // A line that may be taken, or nothing at the end of input.
  std::optional<std::string> readAnswer(std::string_view question);

  std::unique_ptr<LineInput> input_;
  std::FILE* out_;
  std::size_t limit_;
};

}  // namespace pelmo::ui

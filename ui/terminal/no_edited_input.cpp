// Built without a line editor: answers are read plainly.
#include "ui/terminal/line_input.h"

namespace pelmo::ui {

std::unique_ptr<LineInput> MakeEditedInput(std::FILE*) {
  return nullptr;
}

}  // namespace pelmo::ui

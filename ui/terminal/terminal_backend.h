#pragma once

#include <memory>

#include "ui/ui.h"

namespace pelmo::ui {

// Messages and questions on the terminal: message boxes print on stderr, questions
// are asked at a prompt when stdin is a terminal (answered Cancel otherwise), and
// progress is a one-line bar on stderr when stderr is a terminal.
std::unique_ptr<Backend> MakeTerminalBackend(bool askQuestions, bool drawProgress);

}  // namespace pelmo::ui

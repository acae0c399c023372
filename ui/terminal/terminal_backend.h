#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>

#include "ui/ui.h"

namespace pelmo::ui {

struct TerminalOptions {
  bool askQuestions = false;       // read answers from stdin; Cancel without asking otherwise
  bool drawProgress = false;       // a one-line bar on stderr
  std::size_t answerLimit = 4095;  // the longest answer taken, in bytes (a path's limit)
};

// What the process's own terminal allows: questions when stdin is a terminal,
// progress when stderr is one.
TerminalOptions DetectTerminal();

// Message boxes print on stderr (caption, then the text, then for a conversion that
// gave up the path and the system's reason); questions are asked at a prompt, with
// line editing when stdin is a terminal; progress is a one-line bar on stderr. The
// main dialog is asked at the prompt too, when answers can be read; other dialogs
// cannot be created.
std::unique_ptr<Backend> MakeTerminalBackend(const TerminalOptions& options);
// The same on other streams, read plainly, for tests.
std::unique_ptr<Backend> MakeTerminalBackend(const TerminalOptions& options, std::FILE* in,
                                             std::FILE* out);

}  // namespace pelmo::ui

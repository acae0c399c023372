#include "ui/terminal/terminal_backend.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "res/resource.h"
#include "ui/messages.h"
#include "ui/terminal/line_input.h"
#include "ui/terminal/progress_line.h"
#include "ui/terminal/prompt.h"
#include "ui/terminal/terminal_dialog.h"

namespace pelmo::ui {

namespace {

const char* IconWord(Icon icon) {
  switch (icon) {
    case Icon::Error:
      return "Error";
    case Icon::Warning:
      return "Warning";
    case Icon::Question:
      return "Question";
    case Icon::Information:
      break;
  }
  return "Note";
}

int TerminalWidth(int descriptor) {
  winsize size{};
  if (::ioctl(descriptor, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

// What a question's logic may do to a box with buttons: end it.
class ButtonPress final : public DialogControls {
 public:
  void setText(int, std::string_view) override {}
  std::string getText(int, std::size_t) override { return {}; }
  void checkRadio(int, int, int) override {}
  bool isChecked(int) override { return false; }
  void enable(int, bool) override {}
  void end(int ended) override { result = ended; }
  std::optional<std::string> browseFolder(std::string_view) override { return std::nullopt; }
  std::optional<std::string> browseFile(std::string_view, std::string_view,
                                        std::string_view) override {
    return std::nullopt;
  }
  bool isDirectory(std::string_view) override { return false; }

  int result = 0;  // a logic that ends nothing cancels
};

class TerminalBackend : public Backend {
 public:
  TerminalBackend(const TerminalOptions& options, std::unique_ptr<LineInput> input, std::FILE* out)
      : options_(options), prompt_(std::move(input), out, options.answerLimit), out_(out) {}

  void showMessage(std::string_view text, Icon icon) override { printBox(text, icon, {}); }
  void showFailure(std::string_view text, const FailureDetail& detail) override {
    printBox(text, Icon::Warning, DetailLine(detail));
  }

  bool askOkCancel(std::string_view text) override {
    printBox(text, Icon::Question, {});
    if (!options_.askQuestions) return answeredCancel();
    return prompt_.ask("[O]K or [C]ancel? ", {{"o", 1}, {"ok", 1}, {"c", 0}, {"cancel", 0}}, 1) ==
           1;
  }

  std::unique_ptr<ProgressView> openProgress() override {
    if (!options_.drawProgress) return nullptr;
    return std::make_unique<Progress>(*this, out_);
  }

  // The main dialog has a terminal form, which needs someone to answer; the overwrite
  // question is a box and a prompt, whose answer reaches the logic as a button press.
  std::optional<int> runDialog(int templateId, DialogLogic& logic) override {
    if (templateId == IDD_OVERWRITE) return runOverwrite(logic);
    if (templateId != IDD_MAIN || !options_.askQuestions) return std::nullopt;
    if (progress_ != nullptr) progress_->hide();
    TerminalMainDialog dialog(prompt_, out_);
    return dialog.run(logic);
  }

 private:
  // Tells the backend while it is shown, so that a message first clears the bar.
  class Progress : public ProgressLine {
   public:
    Progress(TerminalBackend& owner, std::FILE* out)
        : ProgressLine(
              out, [descriptor = ::fileno(out)] { return TerminalWidth(descriptor); },
              [] { return std::chrono::steady_clock::now(); }),
          owner_(owner) {
      owner_.progress_ = this;
    }
    ~Progress() override { owner_.progress_ = nullptr; }

   private:
    TerminalBackend& owner_;
  };

  // The caption, the text, and the detail line when there is one.
  void printBox(std::string_view text, Icon icon, std::string_view detail) {
    if (progress_ != nullptr) progress_->hide();
    std::string box =
        std::string(kTitleLine) + "\n" + IconWord(icon) + ": " + std::string(text) + "\n";
    if (!detail.empty()) box += std::string(detail) + "\n";
    std::fwrite(box.data(), 1, box.size(), out_);
    std::fflush(out_);
  }

  int runOverwrite(DialogLogic& logic) {
    printBox(message::kBookmarkFileExists, Icon::Question, {});
    int button = IDCANCEL;
    if (!options_.askQuestions) {
      answeredCancel();
    } else {
      button = prompt_.ask("[M]erge, [R]eplace or [C]ancel? (Enter: Merge) ",
                           {{"m", IDOK},
                            {"merge", IDOK},
                            {"r", IDC_REPLACE},
                            {"replace", IDC_REPLACE},
                            {"c", IDCANCEL},
                            {"cancel", IDCANCEL}},
                           IDOK);
      if (button == 0) button = IDCANCEL;  // the end of input
    }
    ButtonPress press;
    logic.command(press, button);
    return press.result;
  }

  bool answeredCancel() {
    std::fputs("No terminal to answer on: taken as Cancel.\n", out_);
    std::fflush(out_);
    return false;
  }

  TerminalOptions options_;
  Prompt prompt_;
  std::FILE* out_;
  Progress* progress_ = nullptr;
};

}  // namespace

TerminalOptions DetectTerminal() {
  return {.askQuestions = ::isatty(STDIN_FILENO) == 1,
          .drawProgress = ::isatty(STDERR_FILENO) == 1};
}

std::unique_ptr<Backend> MakeTerminalBackend(const TerminalOptions& options) {
  std::unique_ptr<LineInput> input;
  if (options.askQuestions) input = MakeEditedInput(stderr);
  if (!input) input = MakePlainInput(stdin, stderr);
  return std::make_unique<TerminalBackend>(options, std::move(input), stderr);
}

std::unique_ptr<Backend> MakeTerminalBackend(const TerminalOptions& options, std::FILE* in,
                                             std::FILE* out) {
  return std::make_unique<TerminalBackend>(options, MakePlainInput(in, out), out);
}

}  // namespace pelmo::ui

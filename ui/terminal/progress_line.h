#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "ui/progress.h"
#include "ui/ui.h"

namespace pelmo::ui {

// The text of one progress line, exactly width columns wide: the status text (cut,
// control bytes shown as '?') and a bar with the share done.
std::string RenderProgressLine(std::string_view status, double fraction, int width);

// A progress window drawn as one line on a terminal, redrawn as RedrawThrottle says,
// as wide as the terminal is at each drawing. The cursor waits at the start of the
// line below the bar, so that whatever comes next (a shell prompt after Ctrl-C, too)
// starts on a line of its own.
class ProgressLine : public ProgressView {
 public:
  using Clock = RedrawThrottle::Clock;
  using Width = std::function<int()>;  // the terminal's columns

  ProgressLine(std::FILE* out, Width width, Clock clock);
  ~ProgressLine() override;  // clears the line

  void setStatus(std::string_view text) override;
  void setRange(std::uint32_t upper) override;
  void setStep(int step) override;
  void step() override;
  void setPosition(int position) override;

  // Clears the line so that a message can be printed; the next change draws it again.
  void hide();

 private:
  void changed();
  void draw();

  std::FILE* out_;
  Width width_;
  RedrawThrottle throttle_;
  std::string status_;
  ProgressBar bar_;
  bool drawn_ = false;
};

}  // namespace pelmo::ui

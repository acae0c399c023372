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

// A progress window drawn as one line on a terminal, redrawn as RedrawThrottle says.
class ProgressLine : public ProgressView {
 public:
  using Clock = RedrawThrottle::Clock;

  ProgressLine(std::FILE* out, int width, Clock clock);
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
  int width_;
  RedrawThrottle throttle_;
  std::string status_;
  ProgressBar bar_;
  bool drawn_ = false;
};

}  // namespace pelmo::ui

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

// A progress window drawn as one line on a terminal, redrawn at most about 20 times
// a second so that a conversion of many small files is not slowed by the drawing.
class ProgressLine : public ProgressView {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  ProgressLine(std::FILE* out, int width, Clock clock);
  ~ProgressLine() override;  // clears the line

  void setStatus(std::string_view text) override;
  void setRange(std::uint16_t upper) override;
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
  Clock clock_;
  std::string status_;
  ProgressBar bar_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point lastDraw_{};
};

}  // namespace pelmo::ui

#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "ui/ui.h"

namespace pelmo::ui {

// A converter's handle on its progress window; null means there is none, and every
// operation on a null handle does nothing.
using ProgressDialog = std::unique_ptr<ProgressView>;

ProgressDialog ProgressOpen(Backend& backend);
void ProgressSetStatus(const ProgressDialog& dialog, std::string_view text);
void ProgressSetRange(const ProgressDialog& dialog, std::uint32_t upper);
void ProgressSetStep(const ProgressDialog& dialog, int step);
void ProgressStep(const ProgressDialog& dialog);
void ProgressSetPosition(const ProgressDialog& dialog, int position);
void ProgressClose(ProgressDialog& dialog);

// The state of a progress bar as backends draw it: the range 0 to upper, a step that
// starts again from 0 when it would pass the upper bound, positions outside the
// range shown at the nearer end.
class ProgressBar {
 public:
  void setRange(std::uint32_t upper);
  void setStep(int step) { step_ = step; }
  void step();
  void setPosition(int position);

  std::int64_t position() const { return position_; }
  std::int64_t upper() const { return upper_; }
  // Share of the bar that is filled, 0 to 1.
  double fraction() const;

 private:
  std::int64_t upper_ = 100;
  std::int64_t step_ = 10;
  std::int64_t position_ = 0;
};

// When a progress window redraws. A conversion of many small files must not be
// slowed by drawing, so changes are drawn at most every kInterval; but the first
// change after the window opens is drawn at once (a long silent phase, such as
// counting lines, may follow it), and a change held back is drawn before the window
// closes or gives way to a message.
class RedrawThrottle {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr std::chrono::milliseconds kInterval{50};

  explicit RedrawThrottle(Clock clock);

  // Called on every visible change: true when it is to be drawn now; otherwise it is
  // held back. mustDraw: the view draws now for its own reasons.
  bool admit(bool mustDraw = false);
  // True, once, when a change was held back since the last draw; the view then
  // draws it.
  bool takeHeldBack();

 private:
  Clock clock_;
  std::optional<std::chrono::steady_clock::time_point> lastDraw_;
  bool heldBack_ = false;
};

}  // namespace pelmo::ui

#include "ui/progress.h"

#include <algorithm>
#include <utility>

namespace pelmo::ui {

ProgressDialog ProgressOpen(Backend& backend) {
  return backend.openProgress();
}

void ProgressSetStatus(const ProgressDialog& dialog, std::string_view text) {
  if (dialog) dialog->setStatus(text);
}

void ProgressSetRange(const ProgressDialog& dialog, std::uint32_t upper) {
  if (dialog) dialog->setRange(upper);
}

void ProgressSetStep(const ProgressDialog& dialog, int step) {
  if (dialog) dialog->setStep(step);
}

void ProgressStep(const ProgressDialog& dialog) {
  if (dialog) dialog->step();
}

void ProgressSetPosition(const ProgressDialog& dialog, int position) {
  if (dialog) dialog->setPosition(position);
}

void ProgressClose(ProgressDialog& dialog) {
  dialog.reset();
}

void ProgressBar::setRange(std::uint32_t upper) {
  upper_ = upper;
  position_ = std::clamp<std::int64_t>(position_, 0, upper_);
}

void ProgressBar::step() {
  const std::int64_t next = position_ + step_;
  position_ = (next > upper_ || next < 0) ? 0 : next;
}

void ProgressBar::setPosition(int position) {
  position_ = std::clamp<std::int64_t>(position, 0, upper_);
}

double ProgressBar::fraction() const {
  return upper_ == 0 ? 0.0 : static_cast<double>(position_) / upper_;
}

RedrawThrottle::RedrawThrottle(Clock clock) : clock_(std::move(clock)) {}

bool RedrawThrottle::admit(bool mustDraw) {
  const auto now = clock_();
  if (mustDraw || !lastDraw_ || now - *lastDraw_ >= kInterval) {
    lastDraw_ = now;
    heldBack_ = false;
    return true;
  }
  heldBack_ = true;
  return false;
}

bool RedrawThrottle::takeHeldBack() {
  if (!heldBack_) return false;
  heldBack_ = false;
  lastDraw_ = clock_();
  return true;
}

}  // namespace pelmo::ui

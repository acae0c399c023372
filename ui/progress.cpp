#include "ui/progress.h"

#include <algorithm>

namespace pelmo::ui {

ProgressDialog ProgressOpen(Backend& backend) {
  return backend.openProgress();
}

void ProgressSetStatus(const ProgressDialog& dialog, std::string_view text) {
  if (dialog) dialog->setStatus(text);
}

void ProgressSetRange(const ProgressDialog& dialog, std::uint16_t upper) {
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

void ProgressBar::setRange(std::uint16_t upper) {
  upper_ = upper;
  position_ = std::clamp(position_, 0, upper_);
}

void ProgressBar::step() {
  int next = position_ + step_;
  position_ = (next > upper_ || next < 0) ? 0 : next;
}

void ProgressBar::setPosition(int position) {
  position_ = std::clamp(position, 0, upper_);
}

double ProgressBar::fraction() const {
  return upper_ == 0 ? 0.0 : static_cast<double>(position_) / upper_;
}

}  // namespace pelmo::ui

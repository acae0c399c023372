#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "ui/ui.h"

namespace pelmo::ui {

// A converter's handle on its progress window; null means there is none, and every
// operation on a null handle does nothing.
using ProgressDialog = std::unique_ptr<ProgressView>;

ProgressDialog ProgressOpen(Backend& backend);
void ProgressSetStatus(const ProgressDialog& dialog, std::string_view text);
void ProgressSetRange(const ProgressDialog& dialog, std::uint16_t upper);
void ProgressSetStep(const ProgressDialog& dialog, int step);
void ProgressStep(const ProgressDialog& dialog);
void ProgressSetPosition(const ProgressDialog& dialog, int position);
void ProgressClose(ProgressDialog& dialog);

// The state of a progress bar as backends draw it: the range 0 to upper, a step that
// starts again from 0 when it would pass the upper bound, positions outside the
// range shown at the nearer end.
class ProgressBar {
 public:
  void setRange(std::uint16_t upper);
  void setStep(int step) { step_ = step; }
  void step();
  void setPosition(int position);

  int position() const { return position_; }
  int upper() const { return upper_; }
  // Share of the bar that is filled, 0 to 1.
  double fraction() const;

 private:
  int upper_ = 100;
  int step_ = 10;
  int position_ = 0;
};

}  // namespace pelmo::ui

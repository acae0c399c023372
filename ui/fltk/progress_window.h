#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include "ui/dialog_template.h"
#include "ui/fltk/dialog_units.h"
#include "ui/fltk/dialog_window.h"
#include "ui/fltk/input_block.h"
#include "ui/progress.h"
#include "ui/ui.h"

namespace pelmo::ui {

// The progress window: shown at once, with the wait cursor over it, until it is destroyed.
// Between the converter's file operations it repaints; input to PELMO's windows is
// dropped meanwhile, and the rest of the desktop is left alone.
class ProgressWindow : public ProgressView {
 public:
  ProgressWindow(const DialogTemplate& dialog, const DialogFont& font);
  ~ProgressWindow() override;

  void setStatus(std::string_view text) override;
  void setRange(std::uint32_t upper) override;
  void setStep(int step) override;
  void step() override;
  void setPosition(int position) override;

 private:
  void showBar();
  // Paints what changed, as often as the throttle allows.
  void changed();

  // Before the window, so that input is dropped from its first showing to its end.
  InputBlock block_;
  std::unique_ptr<DialogWindow> window_;
  ProgressBar bar_;
  int filledPixels_ = 0;
  RedrawThrottle throttle_{[] { return std::chrono::steady_clock::now(); }};
};

}  // namespace pelmo::ui

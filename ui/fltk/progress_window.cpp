#include "ui/fltk/progress_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Progress.H>

#include <string>

#include "res/resource.h"

namespace pelmo::ui {

ProgressWindow::ProgressWindow(const DialogTemplate& dialog, const DialogFont& font)
    : window_(std::make_unique<DialogWindow>(dialog, font)) {
  // No button and no close box that does anything: the window only reports.
  window_->callback([](Fl_Widget*, void*) {});
  window_->show();
  window_->wait_for_expose();
  window_->cursor(FL_CURSOR_WAIT);
  Fl::flush();
}

ProgressWindow::~ProgressWindow() {
  window_->cursor(FL_CURSOR_DEFAULT);
  window_->hide();
  Fl::flush();
}

void ProgressWindow::setStatus(std::string_view text) {
  Fl_Widget* status = window_->control(IDC_PROGRESS_STATUS);
  if (!status) return;
  status->copy_label(std::string(text).c_str());
  status->redraw();
  changed();
}

void ProgressWindow::setRange(std::uint32_t upper) {
  bar_.setRange(upper);
  showBar();
}

void ProgressWindow::setStep(int step) {
  bar_.setStep(step);
}

void ProgressWindow::step() {
  bar_.step();
  showBar();
}

void ProgressWindow::setPosition(int position) {
  bar_.setPosition(position);
  showBar();
}

// Repaints only when the filled part gains or loses a pixel: a long file steps the bar
// far more often than it can change.
void ProgressWindow::showBar() {
  auto* bar = dynamic_cast<Fl_Progress*>(window_->control(IDC_PROGRESS_BAR));
  if (!bar) return;
  const int filled = static_cast<int>(bar_.fraction() * bar->w());
  if (filled == filledPixels_) return;
  filledPixels_ = filled;
  bar->value(static_cast<float>(bar_.fraction()));
  changed();
}

// A held-back change is painted by the next event loop that runs: a message box's, or
// the next dialog's.
void ProgressWindow::changed() {
  if (throttle_.admit()) HandlePendingEvents();
}

}  // namespace pelmo::ui

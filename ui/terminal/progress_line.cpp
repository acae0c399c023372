#include "ui/terminal/progress_line.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "text/utf8.h"

namespace pelmo::ui {

namespace {

constexpr int kBarColumns = 20;

// Keeps at most columns characters of text; a UTF-8 sequence counts as one column
// and is never split, and a byte that starts none takes a column of its own, as the
// terminal shows it.
std::string FitToColumns(std::string_view text, int columns) {
  std::string fitted;
  int used = 0;
  for (std::size_t at = 0; at < text.size() && used < columns; ++used) {
    const std::size_t length = std::max<std::size_t>(text::Utf8SequenceAt(text, at), 1);
    for (const char byte : text.substr(at, length)) {
      const auto value = static_cast<unsigned char>(byte);
      fitted.push_back(value < 0x20 || value == 0x7F ? '?' : byte);
    }
    at += length;
  }
  fitted.append(static_cast<std::size_t>(columns - used), ' ');
  return fitted;
}

}  // namespace

std::string RenderProgressLine(std::string_view status, double fraction, int width) {
  fraction = std::clamp(fraction, 0.0, 1.0);
  int filled = static_cast<int>(std::lround(fraction * kBarColumns));
  std::string bar = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                    std::string(static_cast<std::size_t>(kBarColumns - filled), '.') + "] ";
  char percent[8];
  std::snprintf(percent, sizeof percent, "%3d%% ", static_cast<int>(std::lround(fraction * 100)));
  std::string prefix = bar + percent;
  int statusColumns = std::max(0, width - static_cast<int>(prefix.size()));
  if (width < static_cast<int>(prefix.size())) return FitToColumns(prefix, width);
  return prefix + FitToColumns(status, statusColumns);
}

ProgressLine::ProgressLine(std::FILE* out, Width width, Clock clock)
    : out_(out), width_(std::move(width)), throttle_(std::move(clock)) {
  draw();
}

ProgressLine::~ProgressLine() {
  hide();
}

void ProgressLine::setStatus(std::string_view text) {
  status_.assign(text);
  changed();
}

void ProgressLine::setRange(std::uint32_t upper) {
  bar_.setRange(upper);
  changed();
}

void ProgressLine::setStep(int step) {
  bar_.setStep(step);
}

void ProgressLine::step() {
  bar_.step();
  changed();
}

void ProgressLine::setPosition(int position) {
  bar_.setPosition(position);
  changed();
}

void ProgressLine::hide() {
  if (!drawn_) return;
  if (throttle_.takeHeldBack()) draw();
  // Up to the bar's line, then erase it: the next output takes its place.
  std::fputs("\x1b[A\r\x1b[K", out_);
  std::fflush(out_);
  drawn_ = false;
}

void ProgressLine::changed() {
  // After hide() the line is drawn again at once.
  if (throttle_.admit(!drawn_)) draw();
}

void ProgressLine::draw() {
  // One column short of the width, so that the terminal never wraps the line.
  const std::string line = RenderProgressLine(status_, bar_.fraction(), std::max(width_() - 1, 1));
  std::fputs(drawn_ ? "\x1b[A\r" : "\r", out_);
  std::fwrite(line.data(), 1, line.size(), out_);
  // Erases what a wider terminal left behind, and parks the cursor below.
  std::fputs("\x1b[K\n", out_);
  std::fflush(out_);
  drawn_ = true;
}

}  // namespace pelmo::ui

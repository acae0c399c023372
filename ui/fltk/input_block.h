#pragma once

#include <FL/Fl.H>

namespace pelmo::ui {

// While a conversion runs, keys and clicks aimed at PELMO's windows are dropped
// unhandled, and nothing else on the desktop is held: other programs keep their
// keyboard and mouse. What was typed at PELMO meanwhile never reaches a later dialog.
class InputBlock {
 public:
  InputBlock();
  ~InputBlock();
  InputBlock(const InputBlock&) = delete;
  InputBlock& operator=(const InputBlock&) = delete;
};

// Handles what the X server has sent so far: uncovered windows repaint, and input
// dropped by a block goes.
void HandlePendingEvents();

// A dialog that must be answered while a block holds (a message during a conversion):
// it takes input from now on, and nothing queued before it opened.
class InputReopened {
 public:
  InputReopened();
  ~InputReopened();
  InputReopened(const InputReopened&) = delete;
  InputReopened& operator=(const InputReopened&) = delete;

 private:
  Fl_Event_Dispatch held_;
};

}  // namespace pelmo::ui

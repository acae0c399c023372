#pragma once

#include <signal.h>

namespace pelmo::platform {

// The one temporary file that is being written, removed when SIGINT, SIGTERM, SIGHUP
// or SIGQUIT ends the process, so that an interrupted run leaves nothing beside the
// file it was replacing. A signal whose action is not the default (ignored under
// nohup, say) keeps its action.
//
// The name is relative to the open directory, so that the handler needs neither
// the current directory nor a long path; both stay valid until Forget.
void RememberTemporaryFile(int directoryFd, const char* name);
void ForgetTemporaryFile();

// Holds SIGINT, SIGTERM, SIGHUP and SIGQUIT back while it lives: a step that must
// finish once begun (a rename, a rewrite in place) runs whole, and a signal that
// arrived meanwhile takes effect afterwards.
class InterruptsHeld {
 public:
  InterruptsHeld();
  ~InterruptsHeld();
  InterruptsHeld(const InterruptsHeld&) = delete;
  InterruptsHeld& operator=(const InterruptsHeld&) = delete;

 private:
  sigset_t saved_;
};

}  // namespace pelmo::platform

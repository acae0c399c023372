#include "platform/posix/interrupt_cleanup.h"

#include "platform/process.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace pelmo::platform {
namespace {

constexpr std::array<int, 4> kInterrupts{SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// A signal handler can reach nothing else; every write to it happens with the
// interrupts held, so the handler never sees half of one.
struct LiveTemporaryFile {
  volatile sig_atomic_t live = 0;
  int directoryFd = -1;
  char name[NAME_MAX + 1] = {};
};
LiveTemporaryFile liveFile;
bool handlersInstalled = false;

void RemoveAndDie(int signalNumber) {
  if (liveFile.live) ::unlinkat(liveFile.directoryFd, liveFile.name, 0);
  liveFile.live = 0;
  // The default action ends the process with this signal, as the parent expects;
  // it is delivered as soon as the handler returns and the mask is lifted.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  ::sigemptyset(&fallback.sa_mask);
  ::sigaction(signalNumber, &fallback, nullptr);
  ::raise(signalNumber);
}

void InstallHandlers() {
  if (handlersInstalled) return;
  handlersInstalled = true;
  struct sigaction handler {};
  handler.sa_handler = RemoveAndDie;
  ::sigemptyset(&handler.sa_mask);
  for (int signalNumber : kInterrupts) ::sigaddset(&handler.sa_mask, signalNumber);
  for (int signalNumber : kInterrupts) {
    struct sigaction previous {};
    if (::sigaction(signalNumber, nullptr, &previous) != 0) continue;
    if (previous.sa_handler != SIG_DFL || (previous.sa_flags & SA_SIGINFO) != 0) continue;
    ::sigaction(signalNumber, &handler, nullptr);
  }
}

}  // namespace

void PrepareProcess() {
  // A standard stream that was closed would otherwise be the first file the run
  // opens, and a message would be written into it.
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) ::close(opened);
  }
  // A write beyond the file-size limit, or to a pipe nobody reads, fails like any
  // other and is counted as such.
  ::signal(SIGXFSZ, SIG_IGN);
  ::signal(SIGPIPE, SIG_IGN);
}

InterruptsHeld::InterruptsHeld() {
  sigset_t held;
  ::sigemptyset(&held);
  for (int signalNumber : kInterrupts) ::sigaddset(&held, signalNumber);
  ::sigprocmask(SIG_BLOCK, &held, &saved_);
}

InterruptsHeld::~InterruptsHeld() {
  ::sigprocmask(SIG_SETMASK, &saved_, nullptr);
}

void RememberTemporaryFile(int directoryFd, const char* name) {
  const std::size_t length = std::strlen(name);
  if (length >= sizeof liveFile.name) return;
  InterruptsHeld held;
  InstallHandlers();
  liveFile.directoryFd = directoryFd;
  std::memcpy(liveFile.name, name, length + 1);
  liveFile.live = 1;
}

void ForgetTemporaryFile() {
  InterruptsHeld held;
  liveFile.live = 0;
}

}  // namespace pelmo::platform

#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#ifdef _WIN32

namespace pelmo::testing {

// Windows has neither fork nor users to drop to: the tests that need these are
// POSIX_ONLY in CMake and never run there; this keeps their suites compiling.
template <typename Body>
int RunInChild(Body) {
  return -1;
}
inline bool BecomePlainUserIfRoot(const std::filesystem::path&) {
  return false;
}
inline void LimitFileSize(unsigned long long) {}
inline void LimitAddressSpace(unsigned long long) {}

}  // namespace pelmo::testing

#else

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pelmo::testing {

// Runs body in a forked child and gives its exit status (body's result), or -1
// when the child died otherwise. Limits set in the child stay there.
template <typename Body>
int RunInChild(Body body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Makes writes past limit bytes fail with EFBIG instead of killing the process,
// as a full disk would make them fail.
inline void LimitFileSize(rlim_t limit) {
  ::signal(SIGXFSZ, SIG_IGN);
  const rlimit bound{limit, limit};
  if (::setrlimit(RLIMIT_FSIZE, &bound) != 0) ::_exit(100);
}

// Bounds the address space to what the process uses now and headroom bytes more,
// so that a larger allocation fails as when memory runs out.
inline void LimitAddressSpace(rlim_t headroom) {
  rlim_t used = 0;
  if (FILE* status = std::fopen("/proc/self/statm", "r")) {
    unsigned long pages = 0;
    if (std::fscanf(status, "%lu", &pages) == 1) used = pages * ::sysconf(_SC_PAGESIZE);
    std::fclose(status);
  }
  const rlimit bound{used + headroom, used + headroom};
  if (used == 0 || ::setrlimit(RLIMIT_AS, &bound) != 0) ::_exit(100);
}

// Root passes every permission check, so a test of locked files or directories drops
// to an ordinary user in a forked child first, handing it the tree below root. False
// when that is not possible.
inline bool BecomePlainUserIfRoot(const std::filesystem::path& root) {
  if (::geteuid() != 0) return true;
  constexpr uid_t kNobody = 65534;
  if (::chown(root.c_str(), kNobody, kNobody) != 0) return false;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (::lchown(entry.path().c_str(), kNobody, kNobody) != 0) return false;
  }
  return ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
}

}  // namespace pelmo::testing

#endif

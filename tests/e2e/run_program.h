#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_dir.h"

namespace pelmo::testing {

struct ProgramRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs the built program in directory with the given words and extra environment
// (NAME=VALUE), stdin from input, and collects what it printed. The registry file is
// one that does not exist unless the environment names another.
inline ProgramRun RunProgram(const std::string& directory, const std::vector<std::string>& words,
                             std::vector<std::string> environment = {},
                             const std::string& input = "") {
  TempDir io;
  WriteFile(io / "in", input);
  pid_t child = ::fork();
  if (child == 0) {
    if (::chdir(directory.c_str()) != 0) ::_exit(127);
    int in = ::open((io / "in").c_str(), O_RDONLY);
    int out = ::open((io / "out").c_str(), O_WRONLY | O_CREAT, 0600);
    int err = ::open((io / "err").c_str(), O_WRONLY | O_CREAT, 0600);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    ::setenv("PELMO_REGISTRY", (io / "no-registry.reg").c_str(), 1);
    ::unsetenv("PELMO_UI");
    // No desktop windows: a test display (Xvfb) must not catch the run.
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    for (std::string& setting : environment) ::putenv(setting.data());
    std::vector<char*> argv;
    std::string program = PELMO_EXECUTABLE;
    argv.push_back(program.data());
    std::vector<std::string> copies = words;
    for (std::string& word : copies) argv.push_back(word.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    std::_Exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ProgramRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadFile(io / "out");
  run.err = ReadFile(io / "err");
  return run;
}

// The wait status of a child process, once it has ended.
inline int Wait(pid_t child) {
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

// The stress tests run a share of their runs under ctest; PELMO_STRESS_RUNS=1 gives
// the full count.
inline int StressRuns(int full, int share) {
  const char* all = std::getenv("PELMO_STRESS_RUNS");
  return all != nullptr && std::string_view(all) == "1" ? full : share;
}

}  // namespace pelmo::testing

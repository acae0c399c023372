#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace pelmo::platform {

// Guesses the character set of text that names none and is not UTF-8, from its bytes,
// with a detector made for the job where the build has one. Only guesses for East
// Asian sets and for scripts other than Latin are given: Latin code pages cannot be
// told apart reliably.
class CharsetDetector {
 public:
  CharsetDetector();
  CharsetDetector(const CharsetDetector&) = delete;
  CharsetDetector& operator=(const CharsetDetector&) = delete;
  ~CharsetDetector();

  // Whether this build has a detector; without one, charset() is always empty.
  static bool available();

  // Takes the text piece by piece; only pieces with non-ASCII bytes tell anything, and
  // only the first MiB of those is looked at, so a large file costs little.
  void add(std::string_view bytes);
  // A name that TextConverter::open takes; empty when there is no guess.
  std::string charset();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace pelmo::platform

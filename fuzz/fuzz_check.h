#pragma once

namespace pelmo::fuzz {

// A broken invariant must stop the run where it happened, with a stack libFuzzer
// can report, whether or not assertions are compiled in.
inline void Check(bool holds) {
  if (!holds) __builtin_trap();
}

}  // namespace pelmo::fuzz

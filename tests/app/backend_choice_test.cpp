#include "app/backend_choice.h"

#include <gtest/gtest.h>

namespace pelmo {
namespace {

TEST(BackendChoice, DisplayThenTerminalThenNoneUnlessNamed) {
  struct Case {
    std::string_view override;
    bool hasDisplay;
    bool stdinIsTerminal;
    BackendKind expected;
  };
  const Case cases[] = {
      {"", true, false, BackendKind::Desktop},
      {"", false, true, BackendKind::Terminal},
      {"", false, false, BackendKind::None},
      {"terminal", true, false, BackendKind::Terminal},
      {"none", true, true, BackendKind::None},
      {"fltk", false, false, BackendKind::Desktop},
      {"FLTK", false, true, BackendKind::Terminal},  // an unknown name chooses as usual
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PreferredBackend({c.override, c.hasDisplay, c.stdinIsTerminal}), c.expected)
        << c.override << " " << c.hasDisplay << c.stdinIsTerminal;
    // Only a name that is none of the three is said on stderr.
    EXPECT_EQ(IsKnownOverride(c.override), c.override != "FLTK") << c.override;
  }
  EXPECT_FALSE(IsKnownOverride("gtk"));
}

}  // namespace
}  // namespace pelmo

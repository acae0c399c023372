#include "util/text.h"

#include <gtest/gtest.h>

#include <string>

namespace pelmo {
namespace {

constexpr auto npos = std::string_view::npos;

TEST(IsFileNameChar, AcceptsExactlyTheAllowedBytes) {
  const std::string rejectedMarks = "\"*./:<>?\\|";
  for (int byte = 0; byte < 256; ++byte) {
    const bool control = byte < 0x20 || byte == 0x7F;
    const bool rejected =
        control || (byte < 0x80 && rejectedMarks.find(static_cast<char>(byte)) != npos);
    EXPECT_EQ(IsFileNameChar(static_cast<unsigned char>(byte)), !rejected) << byte;
  }
}

}  // namespace
}  // namespace pelmo

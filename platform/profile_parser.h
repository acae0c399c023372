#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/profile.h"

namespace pelmo::platform {

// Finds one key of one section in profile (INI) text that arrives a line at a
// time, so that a large file never has to be held whole.
class ProfileKeySearch {
 public:
  ProfileKeySearch(std::string_view section, std::string_view key);

  // Takes the next line, without its line end; false once the answer is known.
  bool addLine(std::string_view line);
  // The value, once found.
  const std::optional<std::string>& value() const { return value_; }

 private:
  enum class State { BeforeSection, InSection, Done };

  std::string section_;
  std::string key_;
  State state_ = State::BeforeSection;
  bool firstLine_ = true;
  std::optional<std::string> value_;
};

}  // namespace pelmo::platform

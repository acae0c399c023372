#include "platform/profile_parser.h"

#include "platform/line_reading.h"
#include "text/ascii.h"
#include "text/utf8.h"

namespace pelmo::platform {
namespace {

// The name of a section line "[name]", or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  if (line.empty() || line.front() != '[') return std::nullopt;
  const std::size_t close = line.find(']');
  return text::TrimBlanks(
      line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
}

std::string_view WithoutQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

ProfileKeySearch::ProfileKeySearch(std::string_view section, std::string_view key)
    : section_(text::TrimBlanks(section)), key_(text::TrimBlanks(key)) {}

bool ProfileKeySearch::addLine(std::string_view line) {
  if (firstLine_ && line.starts_with(text::kUtf8ByteOrderMark)) {
    line.remove_prefix(text::kUtf8ByteOrderMark.size());
  }
  firstLine_ = false;
  if (state_ == State::Done) return false;

  line = text::TrimBlanks(line);
  if (std::optional<std::string_view> name = SectionName(line)) {
    // Only the first section of the name is searched.
    if (state_ == State::InSection) {
      state_ = State::Done;
    } else if (text::EqualNoCase(*name, section_)) {
      state_ = State::InSection;
    }
    return state_ != State::Done;
  }
  if (state_ != State::InSection) return true;

  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return true;
  if (!text::EqualNoCase(text::TrimBlanks(line.substr(0, equals)), key_)) return true;
  // The value ends at a NUL byte, as a C string would: none is ever passed on.
  std::string_view value = line.substr(equals + 1);
  value = value.substr(0, value.find('\0'));
  value_ = std::string(WithoutQuotes(text::TrimBlanks(value)));
  state_ = State::Done;
  return false;
}

std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key) {
  ProfileKeySearch search(section, key);
  StringByteSource source(text);
  std::string line;
  while (ReadLine(source, line) && search.addLine(line)) {
  }
  return search.value();
}

}  // namespace pelmo::platform

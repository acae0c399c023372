#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pelmo::platform {

// The text of a registry export file as UTF-8: UTF-16LE (with its byte-order mark)
// is converted, and a UTF-8 byte-order mark is dropped.
std::string DecodeRegistryText(std::string_view bytes);

// A string value of a key in registry export text; fullKey is the whole key path
// ("HKEY_USERS\.Default\..."), and an empty valueName is the key's default value
// ("@"). Nothing when the text is no registry export, the key or value is missing,
// or the value is not a string.
std::optional<std::string> FindRegistryString(std::string_view text, std::string_view fullKey,
                                              std::string_view valueName);

// The same search over a registry export file given in pieces of any size, so that
// a file of any size is searched in little memory: UTF-16LE (with its byte-order
// mark) is decoded piece by piece, and of a line longer than kLongestRegistryLine only
// its start and end are looked at, which is all a key line or a value that PELMO
// reads can need.
inline constexpr std::size_t kLongestRegistryLine = 64 * 1024;

class RegistryFileSearch {
 public:
  RegistryFileSearch(std::string_view fullKey, std::string_view valueName);
  // False once the search is over, so the rest need not be read.
  bool feed(std::string_view bytes);
  std::optional<std::string> finish();

 private:
  bool begin();
  void addText(std::string_view text);
  void endLine();
  bool addLine(std::string_view line);

  std::string fullKey_;
  std::string valueName_;
  bool started_ = false;  // the byte-order mark has been looked at
  bool utf16_ = false;
  std::string pending_;  // the first bytes, or bytes of a UTF-16 character cut by a piece
  std::string line_;
  bool lineCut_ = false;
  char lastNonBlank_ = 0;  // of a line that was cut
  bool afterCr_ = false;
  bool sawHeader_ = false;
  bool inKey_ = false;
  bool continuation_ = false;
  bool over_ = false;
  std::optional<std::string> value_;
};

}  // namespace pelmo::platform

#pragma once

#include <cstddef>
#include <string_view>

#include "platform/file.h"

namespace pelmo {

// What one pass over a bookmark file hands on, in the order of the file.
class TextReceiver {
 public:
  // A physical line begins (one call per line, also for a last line without a line end).
  virtual void lineStart() = 0;
  // Bytes of the current line; a line end arrives as "\n" (at the end of a piece).
  virtual void text(std::string_view bytes) = 0;

 protected:
  ~TextReceiver() = default;
};

struct TextPass {
  bool readAll = false;  // false: a read failed
  bool utf16 = false;    // the file was UTF-16 and was handed on as UTF-8
};

// Reads the file from its current position to its end in blocks. A UTF-8 byte-order
// mark is skipped; a UTF-16 one (either byte order) makes the rest be read as UTF-16
// and handed on as UTF-8. Lines end at CR LF, LF or CR; on each line, the bytes from
// a zero byte on are not text and are dropped.
TextPass ReadBookmarkText(platform::File& file, TextReceiver& receiver);

// Follows the bytes of a text piece by piece and tells whether all of them form
// valid UTF-8.
class Utf8Check {
 public:
  void add(std::string_view bytes);
  bool valid() const { return valid_ && pending_ == 0; }

 private:
  bool valid_ = true;
  int pending_ = 0;           // continuation bytes still expected
  unsigned char low_ = 0x80;  // bounds of the next continuation byte
  unsigned char high_ = 0xBF;
};

}  // namespace pelmo

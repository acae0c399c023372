#include "book2fav/bookmark_text.h"

#include <array>
#include <cstdint>
#include <string>

#include "platform/utf8.h"

namespace pelmo {
namespace {

constexpr std::size_t kBlockSize = 64 * 1024;
constexpr char32_t kReplacement = 0xFFFD;

// Splits text into lines, whatever the size of the blocks it arrives in.
class LineSplitter {
 public:
  explicit LineSplitter(TextReceiver& receiver) : receiver_(receiver) {}

  void add(std::string_view block) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < block.size(); ++i) {
      const char byte = block[i];
      if (afterCr_) {
        afterCr_ = false;
        if (byte == '\n') {
          start = i + 1;
          continue;
        }
      }
      if (atLineStart_) {
        receiver_.lineStart();
        atLineStart_ = false;
      }
      if (byte == '\n' || byte == '\r') {
        if (!dropping_ && byte == '\n') {
          receiver_.text(block.substr(start, i + 1 - start));
        } else {
          if (!dropping_ && i > start) receiver_.text(block.substr(start, i - start));
          receiver_.text("\n");
        }
        dropping_ = false;
        atLineStart_ = true;
        afterCr_ = byte == '\r';
        start = i + 1;
      } else if (byte == '\0' && !dropping_) {
        if (i > start) receiver_.text(block.substr(start, i - start));
        dropping_ = true;
      }
    }
    if (!dropping_ && start < block.size()) receiver_.text(block.substr(start));
  }

 private:
  TextReceiver& receiver_;
  bool atLineStart_ = true;
  bool afterCr_ = false;   // a LF next belongs to the line end just seen
  bool dropping_ = false;  // behind a zero byte until the line ends
};

// Turns UTF-16 arriving in blocks of any size into UTF-8.
class Utf16Decoder {
 public:
  explicit Utf16Decoder(bool bigEndian) : bigEndian_(bigEndian) {}

  void decode(std::string_view bytes, std::string& out) {
    out.clear();
    for (char byte : bytes) {
      if (!haveOdd_) {
        odd_ = static_cast<unsigned char>(byte);
        haveOdd_ = true;
        continue;
      }
      haveOdd_ = false;
      auto second = static_cast<unsigned char>(byte);
      addUnit(bigEndian_ ? (odd_ << 8 | second) : (second << 8 | odd_), out);
    }
  }

  // A surrogate or a byte left over when the file ends.
  void finish(std::string& out) {
    out.clear();
    if (highSurrogate_ != 0 || haveOdd_) platform::AppendUtf8(out, kReplacement);
    highSurrogate_ = 0;
    haveOdd_ = false;
  }

 private:
  void addUnit(std::uint32_t unit, std::string& out) {
    if (unit >= 0xDC00 && unit <= 0xDFFF && highSurrogate_ != 0) {
      platform::AppendUtf8(out, 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00));
      highSurrogate_ = 0;
      return;
    }
    if (highSurrogate_ != 0) platform::AppendUtf8(out, kReplacement);
    highSurrogate_ = 0;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      highSurrogate_ = unit;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      platform::AppendUtf8(out, kReplacement);
    } else {
      platform::AppendUtf8(out, unit);
    }
  }

  bool bigEndian_;
  bool haveOdd_ = false;
  unsigned char odd_ = 0;
  std::uint32_t highSurrogate_ = 0;
};

enum class Mark { None, Utf8, Utf16Le, Utf16Be };

Mark MarkAtStart(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return Mark::Utf8;
  if (bytes.starts_with("\xFF\xFE")) return Mark::Utf16Le;
  if (bytes.starts_with("\xFE\xFF")) return Mark::Utf16Be;
  return Mark::None;
}

std::size_t MarkLength(Mark mark) {
  switch (mark) {
    case Mark::Utf8:
      return 3;
    case Mark::Utf16Le:
    case Mark::Utf16Be:
      return 2;
    case Mark::None:
      break;
  }
  return 0;
}

}  // namespace

TextPass ReadBookmarkText(platform::File& file, TextReceiver& receiver) {
  LineSplitter lines(receiver);
  std::string block(kBlockSize, '\0');
  std::size_t got = file.read(block.data(), block.size());
  std::string_view bytes(block.data(), got);
  const Mark mark = MarkAtStart(bytes);
  bytes.remove_prefix(MarkLength(mark));
  TextPass pass;
  pass.utf16 = mark == Mark::Utf16Le || mark == Mark::Utf16Be;
  if (!pass.utf16) {
    while (!bytes.empty()) {
      lines.add(bytes);
      got = file.read(block.data(), block.size());
      bytes = std::string_view(block.data(), got);
    }
  } else {
    Utf16Decoder decoder(mark == Mark::Utf16Be);
    std::string decoded;
    while (!bytes.empty()) {
      decoder.decode(bytes, decoded);
      lines.add(decoded);
      got = file.read(block.data(), block.size());
      bytes = std::string_view(block.data(), got);
    }
    decoder.finish(decoded);
    lines.add(decoded);
  }
  pass.readAll = !file.readFailed();
  return pass;
}

void Utf8Check::add(std::string_view bytes) {
  for (char signedByte : bytes) {
    if (!valid_) return;
    auto byte = static_cast<unsigned char>(signedByte);
    if (pending_ > 0) {
      valid_ = byte >= low_ && byte <= high_;
      low_ = 0x80;
      high_ = 0xBF;
      --pending_;
      continue;
    }
    if (byte < 0x80) continue;
    // The bounds on the second byte rule out overlong forms, surrogates and values
    // above U+10FFFF.
    if (byte >= 0xC2 && byte <= 0xDF) {
      pending_ = 1;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      pending_ = 2;
      if (byte == 0xE0) low_ = 0xA0;
      if (byte == 0xED) high_ = 0x9F;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
      pending_ = 3;
      if (byte == 0xF0) low_ = 0x90;
      if (byte == 0xF4) high_ = 0x8F;
    } else {
      valid_ = false;
    }
  }
}

}  // namespace pelmo

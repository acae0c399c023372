#include "book2fav/bookmark_text.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "text/utf16.h"
#include "text/utf8.h"

namespace pelmo {
namespace {

constexpr std::size_t kBlockSize = 64 * 1024;

// Splits text into lines, whatever the size of the blocks it arrives in.
class LineSplitter {
 public:
  explicit LineSplitter(TextReceiver& receiver) : receiver_(receiver) {}

  // Whole runs of text go on at once: the line ends and zero bytes are found with
  // memchr, not byte by byte.
  void add(std::string_view block) {
    while (!block.empty()) {
      if (afterCr_) {
        afterCr_ = false;
        if (block.front() == '\n') {
          block.remove_prefix(1);
          continue;
        }
      }
      if (atLineStart_) {
        receiver_.lineStart();
        atLineStart_ = false;
      }
      const std::size_t lf = block.find('\n');
      const std::size_t cr = block.substr(0, lf).find('\r');
      const std::size_t end = cr != std::string_view::npos ? cr : lf;
      std::string_view kept = dropping_ ? std::string_view() : block.substr(0, end);
      if (std::size_t zero = kept.find('\0'); zero != std::string_view::npos) {
        kept = kept.substr(0, zero);
        dropping_ = true;
      }
      const bool lineEnds = end != std::string_view::npos;
      if (lineEnds && !dropping_ && end == lf) {
        receiver_.text(block.substr(0, end + 1));
      } else {
        if (!kept.empty()) receiver_.text(kept);
        if (lineEnds) receiver_.text("\n");
      }
      if (!lineEnds) return;
      dropping_ = false;
      atLineStart_ = true;
      afterCr_ = end == cr;
      block.remove_prefix(end + 1);
    }
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
      units_.add(bigEndian_ ? (odd_ << 8 | second) : (second << 8 | odd_), out);
    }
  }

  // A surrogate or a byte left over when the file ends: one U+FFFD for either.
  void finish(std::string& out) {
    out.clear();
    if (units_.finish(out) && haveOdd_) text::AppendUtf8(out, text::kReplacementCharacter);
    haveOdd_ = false;
  }

 private:
  bool bigEndian_;
  bool haveOdd_ = false;
  unsigned char odd_ = 0;
  text::Utf16Joiner units_;
};

enum class Mark { None, Utf8, Utf16Le, Utf16Be };

Mark MarkAtStart(std::string_view bytes) {
  if (bytes.starts_with(text::kUtf8ByteOrderMark)) return Mark::Utf8;
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
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (!valid_) return;
    // Runs of ASCII, the bulk of any bookmark file, are passed eight bytes at a time.
    if (pending_ == 0) {
      while (i + 8 <= bytes.size()) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        if ((word & 0x8080808080808080u) != 0) break;
        i += 8;
      }
      if (i == bytes.size()) return;
    }
    const char signedByte = bytes[i];
    auto byte = static_cast<unsigned char>(signedByte);
    if (pending_ > 0) {
      valid_ = byte >= low_ && byte <= high_;
      low_ = 0x80;
      high_ = 0xBF;
      --pending_;
      continue;
    }
    if (byte < 0x80) continue;
    const text::Utf8Lead lead = text::Utf8LeadOf(byte);
    if (lead.length == 0) {
      valid_ = false;
      continue;
    }
    pending_ = lead.length - 1;
    low_ = lead.low;
    high_ = lead.high;
  }
}

}  // namespace pelmo

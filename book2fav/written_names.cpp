#include "book2fav/written_names.h"

#include <cstdint>

#include "platform/names.h"
#include "platform/paths.h"
#include "platform/temporary_name.h"
#include "text/utf8.h"

namespace pelmo {
namespace {

std::size_t SuffixLength(unsigned number) {
  return number < 2 ? 0 : std::to_string(number).size() + 3;
}

// The stem of the name with that number: the title cut so that the whole name fits,
// or nothing when only the number and the extension would not fit either.
std::string_view Stem(std::string_view title, unsigned number, std::size_t maxLength) {
  const std::size_t fixed = kShortcutExtension.size() + SuffixLength(number);
  return FitTrimmedName(title, maxLength > fixed ? maxLength - fixed : 0);
}

std::string NumberedName(std::string_view stem, unsigned number) {
  std::string name(stem);
  if (number >= 2) {
    if (!name.empty()) name += ' ';
    // Piece by piece: "(" + string trips a false -Wrestrict in GCC 12.
    name += '(';
    name += std::to_string(number);
    name += ')';
  }
  name += kShortcutExtension;
  return name;
}

// 64 bits of the directory and the folded name: two names of a million collide with a
// chance below one in ten million.
std::uint64_t Fingerprint(const platform::FileIdentity& directory, std::string_view key) {
  std::uint64_t hash = 0xCBF29CE484222325ULL;  // FNV-1a
  for (char byte : key) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= 0x100000001B3ULL;
  }
  std::uint64_t state = hash ^ (directory.device * 0x9E3779B97F4A7C15ULL) ^ directory.inode;
  const std::uint64_t mixed = platform::NextRandom(state);
  return mixed == 0 ? 1 : mixed;
}

}  // namespace

std::string_view FitTrimmedName(std::string_view name, std::size_t maxBytes) {
  if (name.size() <= maxBytes) return name;
  std::string_view cut = text::CutUtf8(name, maxBytes);
  while (!cut.empty() && (cut.back() == ' ' || cut.back() == '.')) cut.remove_suffix(1);
  return cut;
}

WrittenNames::WrittenNames(const platform::FileIdentity& top) {
  path_.push_back({top, {}});
}

void WrittenNames::enter(const platform::FileIdentity& directory) {
  path_.push_back({directory, {}});
}

void WrittenNames::leave() {
  if (path_.size() > 1) path_.pop_back();
}

std::string WrittenNames::claimShortcutName(std::string_view title, std::size_t maxLength) {
  // Keys as the file system compares names, so that two it takes for one count as one.
  Level& level = path_.back();
  unsigned number = 1;
  for (;;) {
    std::string_view stem = Stem(title, number, maxLength);
    unsigned& next = level.nextNumber[platform::NameKey(stem)];
    // A higher number may need a shorter stem, and so another count: look again.
    if (next > number) {
      number = next;
      continue;
    }
    next = number + 1;
    std::string name = NumberedName(stem, number);
    if (taken_.insert(Fingerprint(level.directory, platform::NameKey(name)))) return name;
    ++number;
  }
}

bool WrittenNames::FingerprintSet::insert(std::uint64_t fingerprint) {
  if ((count_ + 1) * 2 > slots_.size()) grow();
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = fingerprint & mask;; slot = (slot + 1) & mask) {
    if (slots_[slot] == fingerprint) return false;
    if (slots_[slot] == 0) {
      slots_[slot] = fingerprint;
      ++count_;
      return true;
    }
  }
}

void WrittenNames::FingerprintSet::grow() {
  std::vector<std::uint64_t> old = std::move(slots_);
  slots_.assign(old.empty() ? 64 : old.size() * 2, 0);
  count_ = 0;
  for (std::uint64_t fingerprint : old) {
    if (fingerprint != 0) insert(fingerprint);
  }
}

}  // namespace pelmo

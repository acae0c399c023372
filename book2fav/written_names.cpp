#include "book2fav/written_names.h"

#include "platform/names.h"
#include "platform/paths.h"
#include "platform/utf8.h"

namespace pelmo {
namespace {

// How many bytes a UTF-8 sequence has that starts with this byte; 0 when it starts none.
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// Names that the file system takes for one must count as one.
std::string Folded(std::string_view text) {
  return platform::NameKey(text);
}

std::string NumberedName(std::string_view title, unsigned number) {
  std::string suffix = number < 2 ? "" : " (" + std::to_string(number) + ")";
  std::size_t room = platform::kMaxNameLength - suffix.size() - kShortcutExtension.size();
  std::string name(FitName(title, room));
  name += suffix;
  name += kShortcutExtension;
  return name;
}

}  // namespace

std::string_view FitName(std::string_view name, std::size_t maxBytes) {
  if (name.size() <= maxBytes) return name;
  // Only a cut behind the lead byte of a complete sequence splits a character; bytes
  // of other single-byte code pages are cut anywhere.
  std::size_t cut = maxBytes;
  for (std::size_t back = 1; back <= 3 && back <= cut; ++back) {
    auto byte = static_cast<unsigned char>(name[cut - back]);
    if (platform::IsUtf8Continuation(byte)) continue;
    std::size_t length = SequenceLength(byte);
    bool complete = cut - back + length <= name.size();
    for (std::size_t i = 1; complete && i < length; ++i) {
      complete = platform::IsUtf8Continuation(static_cast<unsigned char>(name[cut - back + i]));
    }
    if (length > back && complete) cut -= back;
    break;
  }
  return name.substr(0, cut);
}

WrittenNames::WrittenNames() : directories_(1) {}

void WrittenNames::enter(std::string_view directoryName) {
  std::string key = Folded(directoryName);
  auto found = directories_[current_].subdirectories.find(key);
  if (found != directories_[current_].subdirectories.end()) {
    current_ = found->second;
    return;
  }
  std::size_t index = directories_.size();
  directories_.emplace_back().parent = current_;
  directories_[current_].subdirectories.emplace(std::move(key), index);
  current_ = index;
}

void WrittenNames::leave() {
  current_ = directories_[current_].parent;
}

std::string WrittenNames::claimShortcutName(std::string_view title) {
  Directory& directory = directories_[current_];
  std::string titleKey = Folded(title);
  unsigned& number = directory.nextNumber[titleKey];
  if (number == 0) number = 1;
  for (;; ++number) {
    std::string name = NumberedName(title, number);
    if (directory.usedNames.insert(Folded(name)).second) return name;
  }
}

}  // namespace pelmo

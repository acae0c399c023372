#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "fuzz/fuzz_check.h"
#include "util/conversion_settings.h"

namespace {

using pelmo::fuzz::Check;

constexpr std::string_view kProgramPath = "/usr/local/bin/pelmo";

void CheckSwitches(const std::vector<std::string>& words, std::size_t pathCapacity) {
  pelmo::ConversionSettings settings;
  pelmo::ApplySwitches(words, settings, pathCapacity);
  const std::size_t pathLimit = pathCapacity == 0 ? 0 : pathCapacity - 1;
  Check(settings.favouritesFolder.size() <= pathLimit);
  Check(settings.bookmarkFile.size() <= pathLimit);
  Check(settings.bookmarkTitle.size() <= pelmo::kTitleCapacity - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // The first byte picks a small capacity too, so that cutting is exercised without
  // inputs of many kilobytes.
  const std::size_t smallCapacity = data[0] % 16;
  std::string_view commandLine(reinterpret_cast<const char*>(data + 1), size - 1);

  std::vector<std::string> words = pelmo::SplitCommandLine(commandLine, kProgramPath);
  Check(!words.empty() && words[0] == kProgramPath);
  std::size_t total = 0;
  for (std::size_t i = 1; i < words.size(); ++i) total += words[i].size();
  // Quotes and escapes only ever drop bytes.
  Check(total <= commandLine.size());

  CheckSwitches(words, 4096);
  CheckSwitches(words, smallCapacity);
  return 0;
}

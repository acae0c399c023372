#include <algorithm>
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

void CheckSwitches(const std::vector<std::string>& words) {
  pelmo::ConversionSettings settings;
  pelmo::ApplySwitches(words, settings);
  Check(settings.bookmarkTitle.size() <= pelmo::kTitleCapacity - 1);
  // Paths are never cut, so each is one of the words.
  for (const std::string* path : {&settings.favouritesFolder, &settings.bookmarkFile}) {
    Check(path->empty() || std::find(words.begin(), words.end(), *path) != words.end());
  }
  // A refusal always says what was refused, and only a refusal does.
  const pelmo::CommandLineCheck check = pelmo::CheckCommandLine(words);
  Check(check.request == pelmo::CommandLineRequest::Refused ? !check.refusal.empty()
                                                            : check.refusal.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  std::string_view commandLine(reinterpret_cast<const char*>(data), size);

  std::vector<std::string> words = pelmo::SplitCommandLine(commandLine, kProgramPath);
  Check(!words.empty() && words[0] == kProgramPath);
  std::size_t total = 0;
  for (std::size_t i = 1; i < words.size(); ++i) total += words[i].size();
  // Quotes and escapes only ever drop bytes.
  Check(total <= commandLine.size());

  CheckSwitches(words);
  return 0;
}

#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/ui.h"
#include "util/conversion_settings.h"

namespace pelmo {

// What the program needs from the world, so that tests can stand in for the platform
// check, the registry, the dialog and the converters.
struct ProgramServices {
  std::function<std::optional<std::uint32_t>()> queryPlatformId;
  std::function<std::optional<std::string>(std::string_view subKey, std::string_view value)>
      readRegistry;
  std::size_t pathCapacity = 0;  // the longest path the platform takes, terminator included
  // The process's current directory, read at the start and entered again every turn.
  std::function<std::optional<std::string>()> currentDirectory;
  std::function<bool(std::string_view)> changeDirectory;
  std::function<bool(ConversionSettings&, ui::Backend&)> mainDialog;
  std::function<bool(const ConversionSettings&, ui::Backend&)> convertFavouritesToBookmarks;
  std::function<bool(const ConversionSettings&, ui::Backend&)> convertBookmarksToFavourites;
};

// The real platform, registry, dialog and converters.
ProgramServices DefaultServices();

inline constexpr int kExitRefused = 0;             // the platform query failed or was refused
inline constexpr int kExitDone = 1;                // every other end
inline constexpr int kExitGaveUp = 2;              // automatic mode: the conversion gave up
inline constexpr int kExitRefusedCommandLine = 2;  // a switch unknown in /auto, or a value missing

// The built-in defaults, then the two registry values.
ConversionSettings LoadDefaultSettings(const ProgramServices& services);

// The whole run: platform check, settings, switches (words[0] is the program), then
// the dialog and the conversions. Returns the process exit code.
int RunPelmo(const std::vector<std::string>& words, const ProgramServices& services,
             ui::Backend& backend);

}  // namespace pelmo

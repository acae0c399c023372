#pragma once

#include <functional>
#include <optional>
#include <string>

namespace pelmo::platform {

// Looks up one environment variable; nothing when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

// Where the registry file is: $PELMO_REGISTRY, else under $XDG_CONFIG_HOME, else
// under $HOME/.config; nothing when none of them is usable.
std::optional<std::string> RegistryFilePath(const EnvironmentLookup& environment);

// The process's own environment.
std::optional<std::string> ProcessEnvironment(const char* name);

}  // namespace pelmo::platform

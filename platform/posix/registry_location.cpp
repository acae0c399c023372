#include "platform/posix/registry_location.h"

#include <cstdlib>

namespace pelmo::platform {
namespace {

constexpr const char* kRegistryFileName = "/pelmo/registry.reg";

std::optional<std::string> NonEmpty(const EnvironmentLookup& environment, const char* name) {
  std::optional<std::string> value = environment(name);
  if (value && value->empty()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::string> RegistryFilePath(const EnvironmentLookup& environment) {
  if (std::optional<std::string> path = NonEmpty(environment, "PELMO_REGISTRY")) return path;
  // A relative XDG_CONFIG_HOME is invalid and is to be ignored.
  std::optional<std::string> config = NonEmpty(environment, "XDG_CONFIG_HOME");
  if (config && config->front() == '/') return *config + kRegistryFileName;
  if (std::optional<std::string> home = NonEmpty(environment, "HOME")) {
    return *home + "/.config" + kRegistryFileName;
  }
  return std::nullopt;
}

std::optional<std::string> ProcessEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

}  // namespace pelmo::platform

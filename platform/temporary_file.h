#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/system_file.h"

namespace pelmo::platform {

// The folder a temporary file is made in: the one held open as handle where the
// system holds folders open, else the one that prefix names (up to and including its
// last separator). Neither (-1 and empty) is the current directory.
struct TemporaryFolder {
  std::intptr_t handle = -1;
  std::string_view prefix;
};

// Who may open the file, where the system has permissions: everyone the process's
// file mode creation mask allows, or only its owner (for a copy of a file whose
// permissions are copied onto it afterwards).
enum class TemporaryAccess { Shared, OwnerOnly };

struct TemporaryFile {
  system_file::Handle handle = system_file::kNoHandle;
  std::string name;  // in its folder, a TemporaryName
};

// Creates a new file for writing under a fresh TemporaryName drawn from randomState,
// in the folder. Never opens what is there already (a file, a link, a pipe, a
// device): a name that is taken is followed by another; nullopt on any other failure,
// or when many names in a row were taken.
std::optional<TemporaryFile> CreateTemporaryFile(const TemporaryFolder& folder,
                                                 std::uint64_t& randomState,
                                                 TemporaryAccess access = TemporaryAccess::Shared);

// A seed for temporary names, different for each process and each call.
std::uint64_t TemporaryNameSeed();

}  // namespace pelmo::platform

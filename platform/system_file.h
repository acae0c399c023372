#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/file.h"

// The per-system half of File: unbuffered calls on a handle. File's buffering sits
// above it, written once for every system.
namespace pelmo::platform::system_file {

using Handle = std::intptr_t;
inline constexpr Handle kNoHandle = -1;

// kNoHandle on failure.
Handle Open(std::string_view path, FileAccess access);
// Bytes read, 0 at the end of the file, -1 on failure.
std::ptrdiff_t Read(Handle handle, char* destination, std::size_t count);
// Writes everything, continuing after short writes.
bool WriteAll(Handle handle, const char* bytes, std::size_t count);
bool SeekToStart(Handle handle);
// Forces written bytes to the disk.
bool Sync(Handle handle);
// Releases the handle whatever the result.
bool Close(Handle handle);

}  // namespace pelmo::platform::system_file

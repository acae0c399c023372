#pragma once

#include <string>

#include "platform/win32/windows_headers.h"

namespace pelmo::platform {

// The system calls that put a file in place of another, apart so that a test can make
// the first one fail as it does on the Windows 95 family.
struct MoveCalls {
  BOOL(WINAPI* moveFileEx)(LPCSTR, LPCSTR, DWORD) = ::MoveFileExA;
  BOOL(WINAPI* moveFile)(LPCSTR, LPCSTR) = ::MoveFileA;
  BOOL(WINAPI* deleteFile)(LPCSTR) = ::DeleteFileA;
  BOOL(WINAPI* copyFile)(LPCSTR, LPCSTR, BOOL) = ::CopyFileA;
};

// Moves source over target in one step where the system can; where MoveFileExA is not
// implemented, moves the old target aside to a backup name, moves source in, and then
// deletes the backup. On failure the target holds the old content (moved back, or a
// copy of the backup when it cannot be) and source is still there; the target path
// never stays empty.
bool MoveIntoPlace(const std::string& source, const std::string& target,
                   const MoveCalls& calls = {});

// Everything up to and including the last '\', '/' or drive colon; empty for a bare name.
std::string DirectoryPrefix(const std::string& path);

}  // namespace pelmo::platform

#include "platform/replace.h"

#include "platform/system_file.h"
#include "platform/win32/move_into_place.h"
#include "platform/win32/windows_headers.h"

namespace pelmo::platform {
namespace {

constexpr unsigned kMaxNameAttempts = 100;

// Attributes the new file takes over, so that a hidden or archived file stays so.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

HANDLE CreateExclusive(const std::string& target, std::string& path) {
  for (unsigned attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    path = UnusedNameBeside(target, ".tmp", attempt);
    HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) return handle;
    if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

std::optional<ReplacementFile> ReplacementFile::create(std::string_view targetPath) {
  std::string target(targetPath);
  if (target.empty()) return std::nullopt;
  const DWORD attributes = ::GetFileAttributesA(target.c_str());
  // Only a file may be replaced: a folder is no bookmark file.
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return std::nullopt;
  }
  std::string temporaryPath;
  HANDLE handle = CreateExclusive(target, temporaryPath);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  return ReplacementFile(File(reinterpret_cast<system_file::Handle>(handle)),
                         std::move(temporaryPath), std::move(target));
}

bool ReplacementFile::commit() {
  if (!file_) return false;
  bool written = file_->sync();
  written = file_->close() && written;
  file_.reset();
  const DWORD oldAttributes = ::GetFileAttributesA(targetPath_.c_str());
  if (!written || !MoveIntoPlace(temporaryPath_, targetPath_)) {
    discard();
    return false;
  }
  temporaryPath_.clear();
  committed_ = true;
  if (oldAttributes != INVALID_FILE_ATTRIBUTES && (oldAttributes & kKeptAttributes)) {
    ::SetFileAttributesA(targetPath_.c_str(), oldAttributes & kKeptAttributes);
  }
  return true;
}

}  // namespace pelmo::platform

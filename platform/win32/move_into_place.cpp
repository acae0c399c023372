#include "platform/win32/move_into_place.h"

#include <cstdint>

#include "platform/temporary_file.h"
#include "platform/temporary_name.h"

namespace pelmo::platform {
namespace {

constexpr unsigned kMaxNameAttempts = 100;

bool MovedAside(const std::string& target, std::string& backup, const MoveCalls& calls) {
  std::uint64_t randomState = TemporaryNameSeed();
  for (unsigned attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    backup = DirectoryPrefix(target) + TemporaryName(randomState, TemporaryKind::Backup);
    if (calls.moveFile(target.c_str(), backup.c_str())) return true;
    if (::GetLastError() != ERROR_ALREADY_EXISTS && ::GetLastError() != ERROR_FILE_EXISTS) break;
  }
  return false;
}

// After the new file could not be moved in: the target path must not stay empty. The
// old file goes back; where it cannot, the new one is tried again, and last a copy of
// the old one is made. The result says whether the new content is in place.
bool PutBack(const std::string& source, const std::string& target, const std::string& backup,
             const MoveCalls& calls) {
  if (calls.moveFile(backup.c_str(), target.c_str())) return false;
  // Another program put a file there meanwhile: the path holds a whole file.
  if (::GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
  if (calls.moveFile(source.c_str(), target.c_str())) {
    calls.deleteFile(backup.c_str());
    return true;
  }
  // The backup stays: it is the old content, should even the copy fail.
  calls.copyFile(backup.c_str(), target.c_str(), TRUE);
  return false;
}

}  // namespace

std::string DirectoryPrefix(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

bool MoveIntoPlace(const std::string& source, const std::string& target, const MoveCalls& calls) {
  if (calls.moveFileEx(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  if (::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;

  if (::GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
    return calls.moveFile(source.c_str(), target.c_str()) != 0;
  }
  std::string backup;
  if (!MovedAside(target, backup, calls)) return false;
  if (!calls.moveFile(source.c_str(), target.c_str()))
    return PutBack(source, target, backup, calls);
  // The new content is in place; a backup that cannot be deleted is only litter.
  calls.deleteFile(backup.c_str());
  return true;
}

}  // namespace pelmo::platform

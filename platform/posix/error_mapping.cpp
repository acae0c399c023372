#include "platform/posix/error_mapping.h"

#include <sys/stat.h>

#include <cerrno>
#include <string>

namespace pelmo::platform {
namespace {

// Win32 codes for failures that the conversion logic does not tell apart; they
// only need to be distinct from the three it does.
constexpr ErrorCode kErrorAccessDenied = 5;
constexpr ErrorCode kErrorNotEnoughMemory = 8;
constexpr ErrorCode kErrorTooManyOpenFiles = 4;
constexpr ErrorCode kErrorWriteProtect = 19;
constexpr ErrorCode kErrorGeneralFailure = 31;
constexpr ErrorCode kErrorInvalidParameter = 87;
constexpr ErrorCode kErrorDiskFull = 112;
constexpr ErrorCode kErrorDirectoryNotEmpty = 145;
constexpr ErrorCode kErrorBusy = 170;
constexpr ErrorCode kErrorFileNameTooLong = 206;
constexpr ErrorCode kErrorDirectoryName = 267;
constexpr ErrorCode kErrorIoDevice = 1117;
constexpr ErrorCode kErrorCantResolveFileName = 1921;

// Everything before the last component, with trailing slashes of the path ignored.
std::string ParentOf(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return ".";
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

bool IsDirectory(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

ErrorCode ErrorCodeFromErrno(int error, ParentState parent) {
  const bool parentIsDirectory = parent == ParentState::Directory;
  switch (error) {
    case ENOENT:
      return parentIsDirectory ? kErrorFileNotFound : kErrorPathNotFound;
    case ENOTDIR:
      // With a sound parent, the last component itself is the file in the way.
      return parentIsDirectory ? kErrorDirectoryName : kErrorPathNotFound;
    case EEXIST:
      return kErrorAlreadyExists;
    case EACCES:
    case EPERM:
    case EISDIR:
      return kErrorAccessDenied;
    case ENAMETOOLONG:
      return kErrorFileNameTooLong;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return kErrorDiskFull;
    case EROFS:
      return kErrorWriteProtect;
    case ELOOP:
      return kErrorCantResolveFileName;
    case ENOTEMPTY:
      return kErrorDirectoryNotEmpty;
    case EBUSY:
      return kErrorBusy;
    case EINVAL:
      return kErrorInvalidParameter;
    case ENOMEM:
      return kErrorNotEnoughMemory;
    case EMFILE:
    case ENFILE:
      return kErrorTooManyOpenFiles;
    case EIO:
      return kErrorIoDevice;
    default:
      return kErrorGeneralFailure;
  }
}

ErrorCode ErrorCodeForPath(int error, std::string_view path) {
  if (path.empty()) return kErrorPathNotFound;
  if (error != ENOENT && error != ENOTDIR) return ErrorCodeFromErrno(error, ParentState::Directory);
  const ParentState parent =
      IsDirectory(ParentOf(path)) ? ParentState::Directory : ParentState::NotDirectory;
  return ErrorCodeFromErrno(error, parent);
}

}  // namespace pelmo::platform

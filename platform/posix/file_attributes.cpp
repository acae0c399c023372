#include "platform/posix/file_attributes.h"

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <vector>

namespace pelmo::platform {
namespace {

constexpr std::string_view kAccessAcl = "system.posix_acl_access";
constexpr int kAttempts = 4;  // the list may grow between asking its size and reading it

std::vector<char> ListAttributeNames(int fd) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const ssize_t size = ::flistxattr(fd, nullptr, 0);
    if (size <= 0) return {};
    std::vector<char> names(static_cast<std::size_t>(size));
    const ssize_t got = ::flistxattr(fd, names.data(), names.size());
    if (got >= 0) {
      names.resize(static_cast<std::size_t>(got));
      return names;
    }
    if (errno != ERANGE) return {};
  }
  return {};
}

bool CopyAttribute(int from, int to, const char* name) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const ssize_t size = ::fgetxattr(from, name, nullptr, 0);
    if (size < 0) return false;
    std::vector<char> value(static_cast<std::size_t>(size));
    const ssize_t got = ::fgetxattr(from, name, value.data(), value.size());
    if (got >= 0) return ::fsetxattr(to, name, value.data(), static_cast<std::size_t>(got), 0) == 0;
    if (errno != ERANGE) return false;
  }
  return false;
}

// False when the ACL could not be carried over; other attributes are copied where
// the system lets the user set them.
bool CopyExtendedAttributes(int from, int to) {
  const std::vector<char> names = ListAttributeNames(from);
  bool aclCopied = true;
  for (std::size_t at = 0; at < names.size();) {
    const char* name = names.data() + at;
    const std::string_view view(name);
    if (!CopyAttribute(from, to, name) && view == kAccessAcl) aclCopied = false;
    at += view.size() + 1;
  }
  return aclCopied;
}

}  // namespace

bool CopyOwnershipAndAttributes(int from, int to) {
  struct stat old {};
  if (::fstat(from, &old) != 0) return false;
  // Only a privileged user may give a file away; a member of its group may still
  // set the group.
  if (::fchown(to, old.st_uid, old.st_gid) != 0) {
    [[maybe_unused]] const int ignored = ::fchown(to, static_cast<uid_t>(-1), old.st_gid);
  }
  // After the owner: a change of owner clears the set-user-ID and set-group-ID bits.
  if (::fchmod(to, old.st_mode & 07777) != 0) return false;
  if (!CopyExtendedAttributes(from, to)) return ::fchmod(to, old.st_mode & 07700) == 0;
  return true;
}

}  // namespace pelmo::platform

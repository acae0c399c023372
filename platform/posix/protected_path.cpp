#include "platform/posix/protected_path.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <deque>

#include "platform/posix/system_call.h"

namespace pelmo::platform {
namespace {

constexpr int kMaxLinkHops = 40;  // as the kernel's own limit

std::deque<std::string> Components(std::string_view path) {
  std::deque<std::string> components;
  while (!path.empty()) {
    const std::size_t slash = path.find('/');
    std::string_view component = path.substr(0, slash);
    if (!component.empty() && component != ".") components.emplace_back(component);
    path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
  }
  return components;
}

UniqueFd OpenPathAt(int directory, const char* name) {
  return UniqueFd(RetryOnInterrupt(
      [&] { return ::openat(directory, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC); }));
}

UniqueFd Start(std::string_view path) {
  return OpenPathAt(AT_FDCWD, !path.empty() && path.front() == '/' ? "/" : ".");
}

bool MayFollow(int directory, const struct stat& link) {
  struct stat holder {};
  if (::fstat(directory, &holder) != 0) return false;
  const bool shared = (holder.st_mode & S_ISVTX) != 0 && (holder.st_mode & S_IWOTH) != 0;
  return !shared || link.st_uid == ::geteuid() || link.st_uid == holder.st_uid;
}

std::optional<std::string> ReadLinkAt(int directory, const std::string& name) {
  std::string target(PATH_MAX, '\0');
  const ssize_t length = ::readlinkat(directory, name.c_str(), target.data(), target.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return std::nullopt;
  target.resize(static_cast<std::size_t>(length));
  return target;
}

// Walks the components under the rule. With stopAtLast, the walk ends in front of the
// last component that is no link (or is missing), which is left in the queue.
bool Walk(UniqueFd& at, std::deque<std::string>& components, bool stopAtLast) {
  for (int hops = 0; !components.empty();) {
    const std::string& name = components.front();
    struct stat status {};
    if (::fstatat(at.get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
      return stopAtLast && errno == ENOENT && components.size() == 1;
    }
    if (S_ISLNK(status.st_mode)) {
      if (!MayFollow(at.get(), status)) {
        errno = EACCES;
        return false;
      }
      std::optional<std::string> target = ReadLinkAt(at.get(), name);
      if (++hops > kMaxLinkHops || !target) {
        errno = ELOOP;
        return false;
      }
      components.pop_front();
      if (target->front() == '/') at = Start("/");
      std::deque<std::string> inner = Components(*target);
      components.insert(components.begin(), inner.begin(), inner.end());
      if (!at.valid()) return false;
      continue;
    }
    if (stopAtLast && components.size() == 1) return true;
    // O_NOFOLLOW: a link put there since the look is refused, not followed.
    UniqueFd next = OpenPathAt(at.get(), name.c_str());
    if (!next.valid()) return false;
    at = std::move(next);
    components.pop_front();
  }
  return true;
}

UniqueFd Reopen(const UniqueFd& at) {
  return UniqueFd(RetryOnInterrupt(
      [&] { return ::openat(at.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY); }));
}

}  // namespace

UniqueFd OpenDirectoryProtected(std::string_view path) {
  std::deque<std::string> components = Components(path);
  UniqueFd at = Start(path);
  if (!at.valid() || !Walk(at, components, false)) return UniqueFd();
  return Reopen(at);
}

std::optional<PathEnd> OpenParentProtected(std::string_view path) {
  // A path that ends in a separator or a dot names a directory, not a file in one.
  if (path.empty() || path.back() == '/' || path.ends_with("/.") || path.ends_with("/..") ||
      path == "." || path == "..") {
    errno = EEXIST;
    return std::nullopt;
  }
  std::deque<std::string> components = Components(path);
  UniqueFd at = Start(path);
  if (!at.valid() || !Walk(at, components, true)) return std::nullopt;
  if (components.size() != 1 || components.front() == "..") {
    errno = EEXIST;  // the links led to a directory
    return std::nullopt;
  }
  UniqueFd directory = Reopen(at);
  if (!directory.valid()) return std::nullopt;
  return PathEnd{std::move(directory), std::move(components.front())};
}

}  // namespace pelmo::platform

#include "platform/favourites_output.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/paths.h"
#include "platform/system_file.h"
#include "platform/temporary_file.h"
#include "platform/win32/move_into_place.h"
#include "platform/win32/path_identity.h"
#include "platform/win32/windows_headers.h"

namespace pelmo::platform {
namespace {

// The longest full path of a file, and of a folder, which keeps room below it for a
// separator and an 8.3 name: the Windows 95 family makes and lists nothing longer.
constexpr std::size_t kLongestFilePath = MAX_PATH - 1;
constexpr std::size_t kLongestFolderPath = kLongestFilePath - 13;

bool IsPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("\\/:\0", 4)) == std::string_view::npos;
}

std::optional<std::string> CurrentPath() {
  char path[MAX_PATH];
  const DWORD length = ::GetCurrentDirectoryA(MAX_PATH, path);
  if (length == 0 || length >= MAX_PATH) return std::nullopt;
  return std::string(path, length);
}

std::optional<FileIdentity> CurrentIdentity() {
  std::optional<std::string> path = CurrentPath();
  if (!path) return std::nullopt;
  return IdentityOfPath(*path);
}

// The full path of a name in the directory; a root such as "C:\" has its separator.
std::string PathIn(const std::string& directory, std::string_view name) {
  std::string path = directory;
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
  path += name;
  return path;
}

struct FindCloser {
  HANDLE handle;
  ~FindCloser() { ::FindClose(handle); }
};

// Never opens what is there already, so never a device.
HANDLE CreateExclusive(const std::string& name) {
  return ::CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// Writes and closes; on any failure the file is removed.
bool FinishFile(system_file::Handle handle, const std::string& name, std::string_view bytes) {
  bool written = system_file::WriteAll(handle, bytes.data(), bytes.size());
  written = system_file::Close(handle) && written;
  if (!written) ::DeleteFileA(name.c_str());
  return written;
}

// Only a plain file that may be written is replaced: a read-only shortcut stays.
bool Replaceable(const std::string& target) {
  const DWORD attributes = ::GetFileAttributesA(target.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE |
                         FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_REPARSE_POINT));
}

bool ReplaceWhole(const std::string& target, std::string_view bytes, std::uint64_t& randomState) {
  if (!Replaceable(target)) return false;
  std::optional<TemporaryFile> temporary = CreateTemporaryFile({}, randomState);
  if (!temporary || !FinishFile(temporary->handle, temporary->name, bytes)) return false;
  if (MoveIntoPlace(temporary->name, target)) return true;
  ::DeleteFileA(temporary->name.c_str());
  return false;
}

WriteOutcome OutcomeOf(bool written) {
  return written ? WriteOutcome::Written : WriteOutcome::Failed;
}

// The system has no folder handles on the Windows 95 family: a held folder is its path.
std::string* HeldPath(std::intptr_t handle) {
  return reinterpret_cast<std::string*>(handle);
}

}  // namespace

// A failure never leaves the current directory changed: the caller would create the
// folder's siblings inside it.
std::optional<FileIdentity> EnterSubdirectory(std::string_view name) {
  if (!IsPlainName(name)) return std::nullopt;
  const std::optional<std::string> here = CurrentPath();
  if (!here) return std::nullopt;
  const std::string target = PathIn(*here, name);
  if (target.size() > kLongestFolderPath) return std::nullopt;
  // It may exist already; whether it can be entered decides.
  ::CreateDirectoryA(target.c_str(), nullptr);
  const DWORD attributes = ::GetFileAttributesA(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return std::nullopt;
  }
  if (!::SetCurrentDirectoryA(target.c_str())) return std::nullopt;
  std::optional<FileIdentity> entered = CurrentIdentity();
  if (!entered) ::SetCurrentDirectoryA(here->c_str());
  return entered;
}

std::optional<FileIdentity> EnterParentDirectory() {
  const std::optional<std::string> here = CurrentPath();
  if (!here || !::SetCurrentDirectoryA("..")) return std::nullopt;
  std::optional<FileIdentity> parent = CurrentIdentity();
  if (!parent) ::SetCurrentDirectoryA(here->c_str());
  return parent;
}

std::size_t RoomForName(NewEntry entry) {
  const std::optional<std::string> here = CurrentPath();
  if (!here) return 0;
  const std::size_t used = PathIn(*here, "").size();
  const std::size_t longest = entry == NewEntry::Folder ? kLongestFolderPath : kLongestFilePath;
  return used >= longest ? 0 : std::min(kMaxNameLength, longest - used);
}

std::optional<std::vector<std::string>> CurrentSubdirectoryNames() {
  WIN32_FIND_DATAA found{};
  HANDLE search = ::FindFirstFileA("*.*", &found);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  // Closed however the listing ends, running out of memory included.
  FindCloser closer{search};
  std::vector<std::string> names;
  do {
    std::string_view name = found.cFileName;
    const bool directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                           !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (directory && name != "." && name != "..") names.emplace_back(name);
  } while (::FindNextFileA(search, &found));
  if (::GetLastError() != ERROR_NO_MORE_FILES) return std::nullopt;
  return names;
}

std::optional<HeldDirectory> HeldDirectory::current() {
  std::optional<std::string> path = CurrentPath();
  if (!path) return std::nullopt;
  const FileIdentity identity = IdentityOfPath(*path);
  auto held = std::make_unique<std::string>(*path);
  return HeldDirectory(reinterpret_cast<std::intptr_t>(held.release()), identity, *path);
}

HeldDirectory::HeldDirectory(HeldDirectory&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)),
      identity_(other.identity_),
      path_(std::move(other.path_)) {}

HeldDirectory& HeldDirectory::operator=(HeldDirectory&& other) noexcept {
  if (this != &other) {
    if (handle_ != -1) delete HeldPath(handle_);
    handle_ = std::exchange(other.handle_, -1);
    identity_ = other.identity_;
    path_ = std::move(other.path_);
  }
  return *this;
}

HeldDirectory::~HeldDirectory() {
  if (handle_ != -1) delete HeldPath(handle_);
}

bool HeldDirectory::makeCurrent() const {
  return handle_ != -1 && ::SetCurrentDirectoryA(HeldPath(handle_)->c_str());
}

// A folder that is some process's current directory cannot be moved on Windows, so
// the path still naming a folder is enough.
bool HeldDirectory::stillLeadsTo(const std::vector<std::string>& names,
                                 const FileIdentity& expected) const {
  std::string path = path_;
  for (const std::string& name : names) path += "\\" + name;
  if (path.size() >= MAX_PATH) return true;
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         (names.empty() ? expected == identity_ : IdentityOfPath(path) == expected);
}

// Windows has no unnamed files: a new file is created under its name at once.
WholeFileWriter::WholeFileWriter(bool) : randomState_(TemporaryNameSeed()), newFileMethod_(0) {}

WriteOutcome WholeFileWriter::write(std::string_view name, std::string_view bytes,
                                    ExistingFile existing) {
  if (!IsPlainName(name)) return WriteOutcome::Failed;
  const std::string target(name);
  HANDLE handle = CreateExclusive(target);
  if (handle != INVALID_HANDLE_VALUE) {
    return OutcomeOf(FinishFile(reinterpret_cast<system_file::Handle>(handle), target, bytes));
  }
  const DWORD error = ::GetLastError();
  if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return WriteOutcome::Failed;
  if (existing == ExistingFile::Keep) return WriteOutcome::NameTaken;
  return OutcomeOf(ReplaceWhole(target, bytes, randomState_));
}

}  // namespace pelmo::platform

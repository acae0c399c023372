#include "platform/replace.h"

#include <new>

#include "platform/system_file.h"
#include "platform/temporary_file.h"
#include "platform/win32/move_into_place.h"
#include "platform/win32/windows_headers.h"

namespace pelmo::platform {
namespace {

// Attributes the new file takes over, so that a hidden or archived file stays so.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

// A folder and a name joined on the stack: cleaning up must work when memory has run
// out. A path too long for it names nothing, so calls on it fail.
class JoinedPath {
 public:
  JoinedPath(const std::string& directory, const std::string& name) {
    if (directory.size() + name.size() >= sizeof text_) return;
    directory.copy(text_, directory.size());
    name.copy(text_ + directory.size(), name.size());
    text_[directory.size() + name.size()] = '\0';
  }
  const char* c_str() const { return text_; }

 private:
  char text_[2 * MAX_PATH] = {};
};

bool IsFolder(const std::string& directory) {
  const DWORD attributes = ::GetFileAttributesA(directory.empty() ? "." : directory.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

// The Windows 95 family has neither links nor directory handles: the target is the
// path as given, and its folder is reached by name.
std::optional<ReplacementFile> ReplacementFile::open(std::string_view targetPath) {
  const std::string target(targetPath);
  std::string directory = DirectoryPrefix(target);
  std::string name = target.substr(directory.size());
  if (name.empty() || name == "." || name == "..") return std::nullopt;
  // The temporary file needs a folder beside the target; better known before the work.
  if (!IsFolder(directory)) return std::nullopt;
  const DWORD attributes = ::GetFileAttributesA(target.c_str());
  std::optional<File> existing;
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    // A folder is no bookmark file, and a read-only file is not to be replaced.
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return std::nullopt;
    HANDLE handle = ::CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    try {
      existing = File(reinterpret_cast<system_file::Handle>(handle));
    } catch (const std::bad_alloc&) {
      ::CloseHandle(handle);
      return std::nullopt;
    }
  }
  return ReplacementFile(-1, std::move(directory), std::move(name), std::move(existing));
}

bool ReplacementFile::begin() {
  if (file_ || committed_) return false;
  std::optional<TemporaryFile> created;
  try {
    std::uint64_t randomState = TemporaryNameSeed();
    created = CreateTemporaryFile({-1, directory_}, randomState);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (!created) return false;
  // Remembered at once, so that any failure after it removes the file.
  temporaryName_ = std::move(created->name);
  try {
    file_ = File(created->handle);
  } catch (const std::bad_alloc&) {
    system_file::Close(created->handle);
    discard();
    return false;
  }
  return true;
}

bool ReplacementFile::commit() {
  if (!file_) return false;
  const bool written = file_->sync();
  if (!written || !rename()) {
    discard();
    return false;
  }
  committed_ = true;
  return true;
}

bool ReplacementFile::rename() {
  if (!file_->close()) return false;
  file_.reset();
  // A file that is still open cannot be replaced.
  existing_.reset();
  const std::string target = directory_ + targetName_;
  const DWORD oldAttributes = ::GetFileAttributesA(target.c_str());
  if (!MoveIntoPlace(directory_ + temporaryName_, target)) return false;
  temporaryName_.clear();
  if (oldAttributes != INVALID_FILE_ATTRIBUTES && (oldAttributes & kKeptAttributes)) {
    ::SetFileAttributesA(target.c_str(), oldAttributes & kKeptAttributes);
  }
  return true;
}

void ReplacementFile::discard() {
  // Closed first: a file that is still open cannot be removed.
  file_.reset();
  if (temporaryName_.empty()) return;
  ::DeleteFileA(JoinedPath(directory_, temporaryName_).c_str());
  temporaryName_.clear();
}

void ReplacementFile::closeDirectory() {
  existing_.reset();
  directoryHandle_ = -1;
}

}  // namespace pelmo::platform

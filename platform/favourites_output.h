#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/directory.h"

// What writing a Favourites tree needs from the system: folders entered by name and
// never through a link, a way back that can be checked, and files written whole.
namespace pelmo::platform {

// Makes the subdirectory of that name of the current directory current, creating it
// when it is missing. A symbolic link of that name is never followed. The identity
// of the directory entered, or nullopt when it could not be entered.
std::optional<FileIdentity> EnterSubdirectory(std::string_view name);

// Makes the parent of the current directory current; its identity, or nullopt when
// it could not be made current.
std::optional<FileIdentity> EnterParentDirectory();

// What a new name in the current directory is for.
enum class NewEntry { File, Folder };

// The longest name, in bytes, that a new file or folder in the current directory may
// have: kMaxNameLength, or less where the system bounds the length of a whole path. A
// folder's bound keeps room below it for names of its own. 0 when nothing fits.
std::size_t RoomForName(NewEntry entry);

// The names of the directories in the current directory (not of links to them), "."
// and ".." left out; nullopt when it cannot be listed.
std::optional<std::vector<std::string>> CurrentSubdirectoryNames();

// The current directory, held open so that the process can come back to it whatever
// becomes of the path that led there.
class HeldDirectory {
 public:
  static std::optional<HeldDirectory> current();

  HeldDirectory(HeldDirectory&& other) noexcept;
  HeldDirectory& operator=(HeldDirectory&& other) noexcept;
  HeldDirectory(const HeldDirectory&) = delete;
  HeldDirectory& operator=(const HeldDirectory&) = delete;
  ~HeldDirectory();

  const FileIdentity& identity() const { return identity_; }
  bool makeCurrent() const;

  // Whether the folder is still found at the path where it was held, and the names
  // lead from it, folder by folder, to the directory of that identity. A path too
  // long to look up counts as leading there.
  bool stillLeadsTo(const std::vector<std::string>& names, const FileIdentity& expected) const;

 private:
  HeldDirectory(std::intptr_t handle, const FileIdentity& identity, std::string path)
      : handle_(handle), identity_(identity), path_(std::move(path)) {}

  std::intptr_t handle_ = -1;
  FileIdentity identity_;
  std::string path_;  // where it was held
};

// What to do with a file of the same name.
enum class ExistingFile {
  Replace,  // a regular file is replaced; anything else is left alone
  Keep,     // nothing is replaced: the name counts as taken
};

enum class WriteOutcome { Written, NameTaken, Failed };

// Writes files whole into the current directory. A new file appears whole or not at
// all: it is written unnamed and then given its name, which never replaces a file
// that appeared meanwhile (where the file system has no unnamed files, it is written
// under a temporary name first). An existing regular file is replaced through a
// temporary file beside it that takes its place in one step, so that no reader ever
// finds it empty or mixed, and other hard links to it keep the old content. A
// symbolic link, pipe, device or directory of that name is never written through,
// and a read-only file or one that the user may not write is not replaced. An
// interrupt (SIGINT, SIGTERM, SIGHUP, SIGQUIT on POSIX) that arrives while a named
// temporary file exists takes effect once the file is in place.
class WholeFileWriter {
 public:
  // unnamedFiles false: always through a temporary name, as where the system has no
  // unnamed files.
  explicit WholeFileWriter(bool unnamedFiles = true);

  WriteOutcome write(std::string_view name, std::string_view bytes, ExistingFile existing);

 private:
  std::uint64_t randomState_;  // for the names of temporary files
  int newFileMethod_;          // how new files are made, learnt from the first ones
};

}  // namespace pelmo::platform

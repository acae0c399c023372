#include "platform/database.h"

#include <sqlite3.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <system_error>
#include <utility>

#include "text/ascii.h"
#include "text/hex.h"

namespace pelmo::platform {
namespace {

// The path as a URI's path: bytes other than unreserved ones and '/' percent-coded,
// so that '?', '#' and '%' in a name stay part of it.
std::string UriPath(std::string_view path) {
  std::string uri;
  for (char signedByte : path) {
    auto byte = static_cast<unsigned char>(signedByte);
    if (text::IsAsciiLetter(byte) || text::IsAsciiDigit(byte) ||
        std::string_view("-._~/").find(signedByte) != std::string_view::npos) {
      uri.push_back(signedByte);
    } else {
      text::AppendPercentEncoded(uri, byte);
    }
  }
  return uri;
}

class StatementRow final : public DatabaseRow {
 public:
  explicit StatementRow(sqlite3_stmt* statement) : statement_(statement) {}
  std::int64_t integer(int column) const override {
    return sqlite3_column_int64(statement_, column);
  }
  std::string_view text(int column) const override {
    const unsigned char* bytes = sqlite3_column_text(statement_, column);
    if (!bytes) return {};
    return {reinterpret_cast<const char*>(bytes),
            static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))};
  }
  bool isNull(int column) const override {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
  }

 private:
  sqlite3_stmt* statement_;
};

struct StatementCloser {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

// A private folder in the system's temporary directory, removed with all it holds.
class ScratchFolder {
 public:
  static std::optional<ScratchFolder> make(std::string& error) {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/pelmo-XXXXXX";
    if (!mkdtemp(pattern.data())) {
      error = "cannot make a temporary folder for the database's copy";
      return std::nullopt;
    }
    return ScratchFolder(std::move(pattern));
  }
  ScratchFolder(ScratchFolder&& other) noexcept : path_(std::move(other.path_)) {
    other.path_.clear();
  }
  ScratchFolder& operator=(ScratchFolder&& other) noexcept {
    std::swap(path_, other.path_);
    return *this;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  explicit ScratchFolder(std::string path) : path_(std::move(path)) {}
  std::string path_;
};

// Whether a write-ahead journal with content lies beside the database: what a running
// (or crashed) writer has not yet put into the file itself.
bool HasJournal(const std::string& path) {
  struct stat status {};
  return stat((path + "-wal").c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
         status.st_size > 0;
}

}  // namespace

struct Database::State {
  sqlite3* connection = nullptr;
  std::optional<ScratchFolder> copy;  // removed after the body has closed the connection
  ~State() { sqlite3_close(connection); }
};

Database::Database(std::unique_ptr<State> state) : state_(std::move(state)) {}
Database::Database(Database&& other) noexcept = default;
Database& Database::operator=(Database&& other) noexcept = default;
Database::~Database() = default;

bool Database::available() {
  return true;
}

// Opens the file itself, immutable; or, when its journal holds content, which an
// immutable open would silently pass over, a private copy of both that SQLite may
// bring up to date.
std::optional<Database> Database::openSnapshot(std::string_view path, std::string& error) {
  auto state = std::make_unique<State>();
  std::string uri = "file:" + UriPath(path) + "?immutable=1";
  int flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
  const std::string original(path);
  if (HasJournal(original)) {
    state->copy = ScratchFolder::make(error);
    if (!state->copy) return std::nullopt;
    const std::string copy = state->copy->path() + "/places";
    std::error_code failed;
    std::filesystem::copy_file(original, copy, failed);
    if (!failed) std::filesystem::copy_file(original + "-wal", copy + "-wal", failed);
    if (failed) {
      error = "cannot copy the database with its journal: " + failed.message();
      return std::nullopt;
    }
    uri = "file:" + UriPath(copy);
    flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI;
  }
  int status = sqlite3_open_v2(uri.c_str(), &state->connection, flags, nullptr);
  if (status != SQLITE_OK) {
    error = state->connection ? sqlite3_errmsg(state->connection) : sqlite3_errstr(status);
    return std::nullopt;
  }
  return Database(std::move(state));
}

bool Database::query(std::string_view sql, const std::function<void(const DatabaseRow&)>& row,
                     std::string& error) {
  sqlite3_stmt* prepared = nullptr;
  if (sqlite3_prepare_v2(state_->connection, sql.data(), static_cast<int>(sql.size()), &prepared,
                         nullptr) != SQLITE_OK) {
    error = sqlite3_errmsg(state_->connection);
    return false;
  }
  std::unique_ptr<sqlite3_stmt, StatementCloser> statement(prepared);
  const StatementRow current(prepared);
  for (;;) {
    int status = sqlite3_step(prepared);
    if (status == SQLITE_DONE) return true;
    if (status != SQLITE_ROW) {
      error = sqlite3_errmsg(state_->connection);
      return false;
    }
    row(current);
  }
}

}  // namespace pelmo::platform

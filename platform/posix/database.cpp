#include "platform/database.h"

#include <sqlite3.h>

namespace pelmo::platform {
namespace {

// The path as a URI's path: bytes other than unreserved ones and '/' percent-coded,
// so that '?', '#' and '%' in a name stay part of it.
std::string UriPath(std::string_view path) {
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri;
  for (char signedByte : path) {
    auto byte = static_cast<unsigned char>(signedByte);
    bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                 (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                 byte == '~' || byte == '/';
    if (plain) {
      uri.push_back(signedByte);
    } else {
      uri += '%';
      uri += kHex[byte >> 4];
      uri += kHex[byte & 0x0F];
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

}  // namespace

struct Database::State {
  sqlite3* connection = nullptr;
  ~State() { sqlite3_close(connection); }
};

Database::Database(std::unique_ptr<State> state) : state_(std::move(state)) {}
Database::Database(Database&& other) noexcept = default;
Database& Database::operator=(Database&& other) noexcept = default;
Database::~Database() = default;

bool Database::available() {
  return true;
}

std::optional<Database> Database::openImmutable(std::string_view path, std::string& error) {
  auto state = std::make_unique<State>();
  const std::string uri = "file:" + UriPath(path) + "?immutable=1";
  int status = sqlite3_open_v2(uri.c_str(), &state->connection,
                               SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
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

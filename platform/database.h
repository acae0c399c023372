#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pelmo::platform {

// One row of a query's result, valid during the call that hands it over.
class DatabaseRow {
 public:
  virtual std::int64_t integer(int column) const = 0;   // 0 for NULL
  virtual std::string_view text(int column) const = 0;  // empty for NULL
  virtual bool isNull(int column) const = 0;

 protected:
  ~DatabaseRow() = default;
};

// An SQLite database file read as it stands, never locked or written, so that a
// program that has it open (a running browser) neither blocks the reader nor is
// disturbed by it: the file is opened immutable, or, when a write-ahead journal
// (`-wal`) with content lies beside it, a private copy of both is read, so that what
// the journal holds is not lost. Where the build has no SQLite, every open fails and
// says so.
class Database {
 public:
  // Whether this build can read such files at all.
  static bool available();
  // The database in the file at path, or nullopt with the reason in error.
  static std::optional<Database> openSnapshot(std::string_view path, std::string& error);

  Database(Database&& other) noexcept;
  Database& operator=(Database&& other) noexcept;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;
  ~Database();

  // Runs one statement and hands each row of its result to row, in order; false with
  // the reason in error when the statement or reading a row failed.
  bool query(std::string_view sql, const std::function<void(const DatabaseRow&)>& row,
             std::string& error);

 private:
  struct State;
  explicit Database(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace pelmo::platform

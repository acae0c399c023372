#include "platform/database.h"

namespace pelmo::platform {

// This build has no SQLite: a database file cannot be read, and the reason says so.
struct Database::State {};

Database::Database(std::unique_ptr<State> state) : state_(std::move(state)) {}
Database::Database(Database&& other) noexcept = default;
Database& Database::operator=(Database&& other) noexcept = default;
Database::~Database() = default;

bool Database::available() {
  return false;
}

std::optional<Database> Database::openSnapshot(std::string_view, std::string& error) {
  error = "this build of PELMO cannot read SQLite databases";
  return std::nullopt;
}

bool Database::query(std::string_view, const std::function<void(const DatabaseRow&)>&,
                     std::string& error) {
  error = "this build of PELMO cannot read SQLite databases";
  return false;
}

}  // namespace pelmo::platform

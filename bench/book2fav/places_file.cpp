#include <sqlite3.h>

#include <cstdio>
#include <string>

#include "bookmark_set.h"
#include "firefox_places_schema.h"

namespace pelmo::bench {
namespace {

using testing::kFirefoxPlacesSchema;

constexpr int kMenuId = 2;
constexpr std::int64_t kAddedMicroseconds = kAddedSeconds * 1000000;

// Closes what it holds when it goes.
struct Statement {
  sqlite3_stmt* handle = nullptr;
  ~Statement() { sqlite3_finalize(handle); }
};

struct Connection {
  sqlite3* handle = nullptr;
  ~Connection() { sqlite3_close(handle); }
};

bool Run(sqlite3_stmt* statement) {
  const bool done = sqlite3_step(statement) == SQLITE_DONE;
  sqlite3_reset(statement);
  return done;
}

void BindText(sqlite3_stmt* statement, int index, const std::string& text) {
  sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

bool InsertBookmark(sqlite3_stmt* statement, int id, int type, int fk, int parent, int position,
                    const std::string& title) {
  sqlite3_bind_int(statement, 1, id);
  sqlite3_bind_int(statement, 2, type);
  if (fk > 0) {
    sqlite3_bind_int(statement, 3, fk);
  } else {
    sqlite3_bind_null(statement, 3);
  }
  sqlite3_bind_int(statement, 4, parent);
  sqlite3_bind_int(statement, 5, position);
  BindText(statement, 6, title);
  sqlite3_bind_int64(statement, 7, kAddedMicroseconds);
  BindText(statement, 8, "b" + std::to_string(id));
  return Run(statement);
}

bool InsertPlace(sqlite3_stmt* statement, int id, const std::string& url) {
  sqlite3_bind_int(statement, 1, id);
  BindText(statement, 2, url);
  BindText(statement, 3, "p" + std::to_string(id));
  return Run(statement);
}

bool WriteRows(sqlite3* db) {
  Statement bookmark;
  Statement place;
  if (sqlite3_prepare_v2(db,
                         "INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, "
                         "dateAdded, guid) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                         -1, &bookmark.handle, nullptr) != SQLITE_OK ||
      sqlite3_prepare_v2(db, "INSERT INTO moz_places (id, url, guid) VALUES (?, ?, ?)", -1,
                         &place.handle, nullptr) != SQLITE_OK) {
    return false;
  }
  int nextId = 100;
  for (int folder = 0; folder < kFolders; ++folder) {
    const int folderId = nextId++;
    if (!InsertBookmark(bookmark.handle, folderId, 2, 0, kMenuId, folder, FolderTitle(folder))) {
      return false;
    }
    for (int link = 0; link < kLinksPerFolder; ++link) {
      const int linkId = nextId++;
      if (!InsertPlace(place.handle, linkId, LinkUrl(folder, link)) ||
          !InsertBookmark(bookmark.handle, linkId, 1, linkId, folderId, link,
                          LinkTitle(folder, link))) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

bool WritePlacesFile(const std::filesystem::path& path) {
  Connection db;
  if (sqlite3_open(path.c_str(), &db.handle) != SQLITE_OK) return false;
  char* error = nullptr;
  bool written =
      sqlite3_exec(db.handle, "BEGIN;", nullptr, nullptr, &error) == SQLITE_OK &&
      sqlite3_exec(db.handle, kFirefoxPlacesSchema, nullptr, nullptr, &error) == SQLITE_OK &&
      WriteRows(db.handle) &&
      sqlite3_exec(db.handle, "COMMIT;", nullptr, nullptr, &error) == SQLITE_OK;
  if (!written) {
    std::fprintf(stderr, "could not write %s: %s\n", path.c_str(),
                 error ? error : sqlite3_errmsg(db.handle));
  }
  sqlite3_free(error);
  return written;
}

}  // namespace pelmo::bench

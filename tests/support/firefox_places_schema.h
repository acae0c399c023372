#pragma once

// Firefox's bookmark tables, trimmed of what reading does not need, and its roots by
// guid: the one layout that the tests' and the bench's places.sqlite files are made in.
namespace pelmo::testing {

inline constexpr const char* kFirefoxPlacesSchema =
    "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR,"
    " rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL,"
    " typed INTEGER DEFAULT 0 NOT NULL, frecency INTEGER DEFAULT -1 NOT NULL,"
    " last_visit_date INTEGER, guid TEXT, foreign_count INTEGER DEFAULT 0 NOT NULL,"
    " url_hash INTEGER DEFAULT 0 NOT NULL, description TEXT, preview_image_url TEXT,"
    " site_name TEXT, origin_id INTEGER);"
    "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL,"
    " parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id INTEGER,"
    " folder_type TEXT, dateAdded INTEGER, lastModified INTEGER, guid TEXT,"
    " syncStatus INTEGER NOT NULL DEFAULT 0, syncChangeCounter INTEGER NOT NULL DEFAULT 1);"
    "CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY AUTOINCREMENT, keyword TEXT UNIQUE,"
    " place_id INTEGER, post_data TEXT);"
    "CREATE UNIQUE INDEX moz_places_guid_uniqueindex ON moz_places (guid);"
    "CREATE INDEX moz_bookmarks_itemindex ON moz_bookmarks (fk, type);"
    "CREATE INDEX moz_bookmarks_parentindex ON moz_bookmarks (parent, position);"
    "CREATE UNIQUE INDEX moz_bookmarks_guid_uniqueindex ON moz_bookmarks (guid);"
    "INSERT INTO moz_bookmarks (id, type, parent, position, title, dateAdded, guid) VALUES"
    " (1, 2, 0, 0, '', 1, 'root________'), (2, 2, 1, 0, 'menu', 1, 'menu________'),"
    " (3, 2, 1, 1, 'toolbar', 1, 'toolbar_____'), (4, 2, 1, 2, 'tags', 1, 'tags________'),"
    " (5, 2, 1, 3, 'unfiled', 1, 'unfiled_____'), (6, 2, 1, 4, 'mobile', 1, 'mobile______');";

}  // namespace pelmo::testing

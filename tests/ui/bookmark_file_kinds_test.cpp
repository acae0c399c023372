#include "ui/bookmark_file_kinds.h"

#include <gtest/gtest.h>

#include <string>

namespace pelmo::ui {
namespace {

using namespace std::string_literals;

// Reading offers the browsers' stores; writing only what PELMO writes, so that a store
// is never picked to be overwritten with HTML.
TEST(BookmarkFileKinds, ChooserFiltersOfferTheStoresForReadingOnly) {
  struct Row {
    BookmarkFileUse use;
    std::string fltk, win32;
  };
  const Row rows[] = {
      {BookmarkFileUse::Read,
       "HTML files\t*.{htm,html}\n"
       "Chrome, Edge and Chromium bookmarks\tBookmarks\n"
       "Firefox bookmarks\tplaces.sqlite",
       "HTML files\0*.htm;*.html\0"
       "Chrome, Edge and Chromium bookmarks\0Bookmarks\0"
       "Firefox bookmarks\0places.sqlite\0"
       "All files\0*.*\0"s},
      {BookmarkFileUse::Written, "HTML files\t*.{htm,html}",
       "HTML files\0*.htm;*.html\0All files\0*.*\0"s},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FltkChooserFilter(row.use), row.fltk);
    EXPECT_EQ(Win32ChooserFilter(row.use), row.win32);
  }
}

TEST(BookmarkFileKinds, BrowserStoresAreKnownByTheirWholeName) {
  struct Row {
    std::string_view name;
    bool store;
  };
  const Row rows[] = {
      {"Bookmarks", true},          {"places.sqlite", true},
      {"BOOKMARKS", true},          {"Bookmarks.bak", false},
      {"places.sqlite-wal", false}, {"xBookmarks", false},
      {"bookmarks.html", false},    {"", false},
  };
  for (const Row& row : rows) EXPECT_EQ(IsBrowserStoreName(row.name), row.store) << row.name;
}

}  // namespace
}  // namespace pelmo::ui

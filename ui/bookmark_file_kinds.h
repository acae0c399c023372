#pragma once

#include <span>
#include <string>
#include <string_view>

// The kinds of bookmark file that the main dialog's file chooser offers, in the order
// it lists them, and the filter texts that the two desktop choosers take from them.
namespace pelmo::ui {

struct BookmarkFileKind {
  std::string_view description;  // as the chooser lists it
  // A browser's own store is known by the one name the browser gives it; an HTML file
  // by its extensions (without the dot). Neither: any file.
  std::string_view fileName;
  std::span<const std::string_view> extensions;
  // Bookmarks to Favourites reads every kind; Favourites to Bookmarks writes HTML only,
  // so its chooser leaves out the stores that browsers own.
  bool written;
};

enum class BookmarkFileUse { Read, Written };

std::span<const BookmarkFileKind> BookmarkFileKinds();

// Whether a file's name (its last component) is one a browser gives its store, in any
// letter case, as Windows matches names.
bool IsBrowserStoreName(std::string_view fileName);

// "description TAB pattern" lines joined by LF, a kind's extensions as "*.{htm,html}";
// no line for any file, which FLTK's choosers always offer themselves.
std::string FltkChooserFilter(BookmarkFileUse use);

// "description NUL patterns NUL" pairs, the extensions as "*.htm;*.html", ended by one
// more NUL (the string's own terminator makes the list's last one).
std::string Win32ChooserFilter(BookmarkFileUse use);

}  // namespace pelmo::ui

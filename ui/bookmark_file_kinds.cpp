#include "ui/bookmark_file_kinds.h"

#include <array>

#include "text/ascii.h"

namespace pelmo::ui {
namespace {

constexpr std::array<std::string_view, 2> kHtmlExtensions = {"htm", "html"};

constexpr std::array<BookmarkFileKind, 4> kKinds = {{
    {"HTML files", {}, kHtmlExtensions, true},
    {"Chrome, Edge and Chromium bookmarks", "Bookmarks", {}, false},
    {"Firefox bookmarks", "places.sqlite", {}, false},
    {"All files", {}, {}, true},
}};

bool Offered(const BookmarkFileKind& kind, BookmarkFileUse use) {
  return use == BookmarkFileUse::Read || kind.written;
}

// The kind's patterns, each extension as prefix + extension, joined by separator.
std::string JoinExtensions(const BookmarkFileKind& kind, std::string_view prefix,
                           std::string_view separator) {
  std::string joined;
  for (std::string_view extension : kind.extensions) {
    if (!joined.empty()) joined += separator;
    joined += prefix;
    joined += extension;
  }
  return joined;
}

std::string FltkPattern(const BookmarkFileKind& kind) {
  if (!kind.fileName.empty()) return std::string(kind.fileName);
  if (kind.extensions.empty()) return "*";
  if (kind.extensions.size() == 1) return "*." + std::string(kind.extensions.front());
  return "*.{" + JoinExtensions(kind, "", ",") + "}";
}

std::string Win32Pattern(const BookmarkFileKind& kind) {
  if (!kind.fileName.empty()) return std::string(kind.fileName);
  if (kind.extensions.empty()) return "*.*";
  return JoinExtensions(kind, "*.", ";");
}

}  // namespace

std::span<const BookmarkFileKind> BookmarkFileKinds() {
  return kKinds;
}

bool IsBrowserStoreName(std::string_view fileName) {
  for (const BookmarkFileKind& kind : kKinds) {
    if (!kind.fileName.empty() && text::EqualNoCase(fileName, kind.fileName)) return true;
  }
  return false;
}

std::string FltkChooserFilter(BookmarkFileUse use) {
  std::string filter;
  for (const BookmarkFileKind& kind : kKinds) {
    // FLTK's choosers add their own "All Files (*)"; a second one would stand beside it.
    if (!Offered(kind, use) || (kind.fileName.empty() && kind.extensions.empty())) continue;
    if (!filter.empty()) filter += '\n';
    filter.append(kind.description).append("\t").append(FltkPattern(kind));
  }
  return filter;
}

std::string Win32ChooserFilter(BookmarkFileUse use) {
  std::string filter;
  for (const BookmarkFileKind& kind : kKinds) {
    if (!Offered(kind, use)) continue;
    filter.append(kind.description).append(1, '\0');
    filter.append(Win32Pattern(kind)).append(1, '\0');
  }
  return filter;
}

}  // namespace pelmo::ui

#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace pelmo::bench {

// The one set of bookmarks that every kind of bookmark file in the bench holds:
// folders of links, each folder and link with its title, URL and date.
constexpr int kFolders = 1000;
constexpr int kLinksPerFolder = 100;
constexpr std::int64_t kAddedSeconds = 1700000000;  // since 1970

std::string FolderTitle(int folder);
std::string LinkTitle(int folder, int link);
std::string LinkUrl(int folder, int link);

// Shaped like a browser export: indented lines, dates, a short icon on every link.
void WriteHtmlFile(const std::filesystem::path& path);

// Chromium's Bookmarks file, indented as Chromium writes it; the folders lie in the
// bookmarks bar, the other roots are empty.
void WriteChromiumFile(const std::filesystem::path& path);

// Firefox's places.sqlite with the folders in the bookmarks menu; false (and a
// message on stderr) when this build cannot write one.
bool WritePlacesFile(const std::filesystem::path& path);

}  // namespace pelmo::bench

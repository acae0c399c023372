#include "bookmark_set.h"

#include <fstream>

namespace pelmo::bench {
namespace {

// Microseconds from 1601-01-01 to 1970-01-01, Chromium's epoch to the Unix one.
constexpr std::int64_t kMicrosecondsFrom1601To1970 = 11644473600LL * 1000000;

std::string EscapedHtml(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    if (c == '&') {
      escaped += "&amp;";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

// A node's members common to folders and links, in Chromium's (alphabetical) order.
void WriteNodeStart(std::ofstream& out, const std::string& indent, int id) {
  out << indent << "   \"date_added\": \"" << kMicrosecondsFrom1601To1970 + kAddedSeconds * 1000000
      << "\",\n"
      << indent << "   \"date_last_used\": \"0\",\n"
      << indent << "   \"guid\": \"00000000-0000-4000-8000-"
      << std::string(12 - std::to_string(id).size(), '0') << id << "\",\n"
      << indent << "   \"id\": \"" << id << "\",\n";
}

void WriteChromiumRoot(std::ofstream& out, std::string_view key, std::string_view name, int id,
                       bool withFolders, bool last) {
  const std::string indent(6, ' ');
  out << indent << '"' << key << "\": {\n" << indent << "   \"children\": [ ";
  int nextId = 100;
  for (int folder = 0; withFolders && folder < kFolders; ++folder) {
    const std::string folderIndent = indent + "   ";
    out << (folder == 0 ? "" : ", ") << "{\n" << folderIndent << "   \"children\": [ ";
    for (int link = 0; link < kLinksPerFolder; ++link) {
      const std::string linkIndent = folderIndent + "   ";
      out << (link == 0 ? "" : ", ") << "{\n";
      WriteNodeStart(out, linkIndent, nextId++);
      out << linkIndent << "   \"name\": \"" << LinkTitle(folder, link) << "\",\n"
          << linkIndent << "   \"type\": \"url\",\n"
          << linkIndent << "   \"url\": \"" << LinkUrl(folder, link) << "\"\n"
          << linkIndent << "}";
    }
    out << " ],\n";
    WriteNodeStart(out, folderIndent, nextId++);
    out << folderIndent << "   \"date_modified\": \"0\",\n"
        << folderIndent << "   \"name\": \"" << FolderTitle(folder) << "\",\n"
        << folderIndent << "   \"type\": \"folder\"\n"
        << folderIndent << "}";
  }
  out << " ],\n";
  WriteNodeStart(out, indent, id);
  out << indent << "   \"date_modified\": \"0\",\n"
      << indent << "   \"name\": \"" << name << "\",\n"
      << indent << "   \"type\": \"folder\"\n"
      << indent << '}' << (last ? "\n" : ",\n");
}

}  // namespace

std::string FolderTitle(int folder) {
  return "Folder " + std::to_string(folder);
}

std::string LinkTitle(int folder, int link) {
  return "Page " + std::to_string(link) + " of folder " + std::to_string(folder) + " & more";
}

std::string LinkUrl(int folder, int link) {
  return "https://site" + std::to_string(folder) + ".example.com/page/" + std::to_string(link) +
         "?a=1&b=2";
}

void WriteHtmlFile(const std::filesystem::path& path) {
  std::ofstream out(path, std::ios::binary);
  out << "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" "
         "CONTENT=\"text/html; charset=UTF-8\">\n<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n"
         "<DL><p>\n";
  const std::string icon = "data:image/png;base64," + std::string(200, 'A');
  for (int folder = 0; folder < kFolders; ++folder) {
    out << "    <DT><H3 ADD_DATE=\"" << kAddedSeconds << "\" LAST_MODIFIED=\"" << kAddedSeconds
        << "\">" << FolderTitle(folder) << "</H3>\n    <DL><p>\n";
    for (int link = 0; link < kLinksPerFolder; ++link) {
      out << "        <DT><A HREF=\"" << EscapedHtml(LinkUrl(folder, link)) << "\" ADD_DATE=\""
          << kAddedSeconds << "\" ICON=\"" << icon << "\">" << EscapedHtml(LinkTitle(folder, link))
          << "</A>\n";
    }
    out << "    </DL><p>\n";
  }
  out << "</DL>\n";
}

void WriteChromiumFile(const std::filesystem::path& path) {
  std::ofstream out(path, std::ios::binary);
  out << "{\n   \"checksum\": \"00000000000000000000000000000000\",\n   \"roots\": {\n";
  WriteChromiumRoot(out, "bookmark_bar", "Bookmarks bar", 1, true, false);
  WriteChromiumRoot(out, "other", "Other bookmarks", 2, false, false);
  WriteChromiumRoot(out, "synced", "Mobile bookmarks", 3, false, true);
  out << "   },\n   \"version\": 1\n}\n";
}

}  // namespace pelmo::bench

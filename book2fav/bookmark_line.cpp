#include "book2fav/bookmark_line.h"

#include "book2fav/character_references.h"
#include "util/text.h"

namespace pelmo {
namespace {

constexpr std::size_t npos = std::string_view::npos;

std::size_t FindOrEnd(std::string_view line, char byte, std::size_t from) {
  std::size_t found = from < line.size() ? line.find(byte, from) : npos;
  return found == npos ? line.size() : found;
}

void AppendNameChar(std::string& name, char byte) {
  if (IsFileNameChar(static_cast<unsigned char>(byte))) name.push_back(byte);
}

}  // namespace

LineMatch RecogniseLine(std::string_view line) {
  if (std::size_t anchor = FindNoCase(line, "<A HREF="); anchor != npos) {
    return {LineKind::Shortcut, anchor};
  }
  std::size_t heading = FindNoCase(line, "<H3");
  if (heading != npos && FindNoCase(line, "<DT>") != npos) {
    return {LineKind::FolderHeading, heading};
  }
  if (FindNoCase(line, "</DL><P>") != npos) return {LineKind::EndOfList, 0};
  return {};
}

ShortcutUrl ExtractUrl(std::string_view line, std::size_t tagPosition) {
  std::size_t openingQuote = FindOrEnd(line, '"', tagPosition);
  if (openingQuote == line.size()) return {"", line.size()};
  std::size_t closingQuote = FindOrEnd(line, '"', openingQuote + 1);
  std::string_view raw = line.substr(openingQuote + 1, closingQuote - openingQuote - 1);
  return {DecodeCharacterReferences(raw), closingQuote};
}

std::string ExtractTitle(std::string_view line, std::size_t start, char endLetter) {
  std::size_t tagEnd = FindOrEnd(line, '>', start);
  if (tagEnd == line.size()) return "";
  std::size_t begin = tagEnd + 1;
  while (begin < line.size() && line[begin] == ' ') ++begin;
  const char endTag[] = {'<', '/', endLetter};
  std::size_t end = line.find(std::string_view(endTag, 3), begin);
  if (end == npos) end = line.size();
  while (end > begin && line[end - 1] == ' ') --end;
  return FilterTitle(line.substr(begin, end - begin));
}

std::string FilterTitle(std::string_view title) {
  std::string name;
  name.reserve(title.size());
  for (std::size_t i = 0; i < title.size(); ++i) {
    if (title[i] != '&') {
      AppendNameChar(name, title[i]);
      continue;
    }
    if (auto reference = ReadCharacterReference(title, i)) {
      for (char byte : reference->bytes) AppendNameChar(name, byte);
      i += reference->length - 1;
      continue;
    }
    // A lone '&' is dropped and the byte behind it taken literally, so "&&" gives '&'.
    if (++i < title.size()) AppendNameChar(name, title[i]);
  }
  return name;
}

}  // namespace pelmo

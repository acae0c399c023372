#include "platform/registry.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "platform/posix/registry_location.h"
#include "platform/posix/registry_parser.h"

namespace pelmo::platform {
namespace {

constexpr const char* kNetscapeKey =
    "HKEY_USERS\\.Default\\Software\\Netscape\\Netscape Navigator\\Bookmark List";

const std::string kExport =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "; exported for the tests\r\n"
    "[HKEY_USERS\\.Default\\Software\\Netscape\\Netscape Navigator\\Bookmark List]\r\n"
    "\"File Location\"=\"C:\\\\Program Files\\\\Netscape\\\\bookmark.htm\"\r\n"
    "\"Binary\"=hex:01,02,03,\\\r\n"
    "  \"Quoted\"=\"hidden in a continuation\",\\\r\n"
    "  05,06\r\n"
    "\"Number\"=dword:00000001\r\n"
    "\"Expand\"=hex(2):25,00,00,00\r\n"
    "\"Escapes \\\"x\\\"\"=\"say \\\"hi\\\" \\\\ done\"\r\n"
    "@=\"the default\"\r\n"
    "\r\n"
    "[HKEY_USERS\\.Default\\Software\\Other]\r\n"
    "\"Later\"=\"other key\"\r\n"
    "\r\n"
    "[hkey_users\\.DEFAULT\\software\\netscape\\netscape navigator\\bookmark list]\r\n"
    "\"File Location\"=\"second occurrence\"\r\n"
    "\"Later\"=\"from a second occurrence\"\r\n";

TEST(RegistryParserTest, FindsStringValues) {
  struct Case {
    const char* key;
    const char* name;
    std::optional<std::string> value;
  };
  const Case cases[] = {
      {kNetscapeKey, "File Location", "C:\\Program Files\\Netscape\\bookmark.htm"},
      {kNetscapeKey, "file location", "C:\\Program Files\\Netscape\\bookmark.htm"},
      {kNetscapeKey, "Escapes \"x\"", "say \"hi\" \\ done"},
      {kNetscapeKey, "", "the default"},
      {kNetscapeKey, "Later", "from a second occurrence"},
      {kNetscapeKey, "Binary", std::nullopt},
      {kNetscapeKey, "Quoted", std::nullopt},
      {kNetscapeKey, "Number", std::nullopt},
      {kNetscapeKey, "Expand", std::nullopt},
      {kNetscapeKey, "Missing", std::nullopt},
      {"HKEY_USERS\\.Default\\Software\\Other", "Later", "other key"},
      {"HKEY_USERS\\.Default\\Software", "Later", std::nullopt},
      {"HKEY_USERS\\.Default\\Software\\Missing", "File Location", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindRegistryString(kExport, c.key, c.name), c.value) << c.key << " / " << c.name;
  }
}

TEST(RegistryParserTest, NeedsAHeader) {
  const std::string body = "[HKEY_USERS\\K]\n\"V\"=\"x\"\n";
  EXPECT_EQ(FindRegistryString("REGEDIT4\n\n" + body, "HKEY_USERS\\K", "V"), "x");
  EXPECT_EQ(
      FindRegistryString("\nWindows Registry Editor Version 5.00\n" + body, "HKEY_USERS\\K", "V"),
      "x");
  EXPECT_EQ(FindRegistryString(body, "HKEY_USERS\\K", "V"), std::nullopt);
  EXPECT_EQ(FindRegistryString("REGEDIT5\n" + body, "HKEY_USERS\\K", "V"), std::nullopt);
  EXPECT_EQ(FindRegistryString("", "HKEY_USERS\\K", "V"), std::nullopt);
}

std::string ToUtf16Le(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

TEST(RegistryParserTest, DecodesUtf16AndDropsByteOrderMarks) {
  const std::string utf16 = ToUtf16Le(
      u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_USERS\\K]\r\n"
      u"\"Favorites\"=\"C:\\\\Favorit\u00e9s \U0001F516\"\r\n");
  const std::string text = DecodeRegistryText(utf16);
  EXPECT_EQ(FindRegistryString(text, "HKEY_USERS\\K", "Favorites"),
            "C:\\Favorit\xC3\xA9s \xF0\x9F\x94\x96");
  // A file read in pieces of any size gives the same, however long its lines: of an
  // overlong line, what matters (its start, whether it continues) is kept.
  const std::string longLines = "\"Binary\"=hex:" + std::string(3 * kLongestRegistryLine, '0') +
                                ",\\\r\n" + "  \"Favorites\"=\"in a continuation\"\r\n\"Long\"=\"" +
                                std::string(2 * kLongestRegistryLine, 'x') + "\"\r\n";
  const struct {
    std::string bytes;
    std::optional<std::string> value;
  } files[] = {
      {utf16, "C:\\Favorit\xC3\xA9s \xF0\x9F\x94\x96"},
      {"\xEF\xBB\xBFREGEDIT4\n[HKEY_USERS\\K]\n\"Favorites\"=\"u\"", "u"},
      {"REGEDIT4\r\n[HKEY_USERS\\K]\r\n" + longLines + "\"Favorites\"=\"after\"\r\n", "after"},
      {ToUtf16Le(u"REGEDIT4\n\n[HKEY_USERS\\K]"), std::nullopt},
  };
  for (const auto& file : files) {
    for (std::size_t piece : {std::size_t{1}, std::size_t{3}, file.bytes.size()}) {
      RegistryFileSearch search("HKEY_USERS\\K", "Favorites");
      for (std::size_t at = 0;
           at < file.bytes.size() && search.feed(file.bytes.substr(at, piece));) {
        at += piece;
      }
      EXPECT_EQ(search.finish(), file.value) << piece;
    }
  }
  EXPECT_EQ(DecodeRegistryText("\xEF\xBB\xBFREGEDIT4"), "REGEDIT4");
  EXPECT_EQ(DecodeRegistryText("REGEDIT4"), "REGEDIT4");
  EXPECT_EQ(DecodeRegistryText(ToUtf16Le(u"a\xD800"
                                         u"b")),
            "a\xEF\xBF\xBD"
            "b");
}

TEST(RegistryLocationTest, PrefersTheVariablesInOrder) {
  using Environment = std::map<std::string, std::string>;
  struct Case {
    Environment environment;
    std::optional<std::string> path;
  };
  const Case cases[] = {
      {{{"PELMO_REGISTRY", "/r.reg"}, {"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}}, "/r.reg"},
      {{{"PELMO_REGISTRY", ""}, {"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}},
       "/x/pelmo/registry.reg"},
      {{{"XDG_CONFIG_HOME", ""}, {"HOME", "/h"}}, "/h/.config/pelmo/registry.reg"},
      {{{"XDG_CONFIG_HOME", "relative"}, {"HOME", "/h"}}, "/h/.config/pelmo/registry.reg"},
      {{{"HOME", ""}}, std::nullopt},
      {{}, std::nullopt},
  };
  for (const Case& c : cases) {
    const EnvironmentLookup lookup = [&c](const char* name) -> std::optional<std::string> {
      auto found = c.environment.find(name);
      if (found == c.environment.end()) return std::nullopt;
      return found->second;
    };
    EXPECT_EQ(RegistryFilePath(lookup), c.path);
  }
}

}  // namespace
}  // namespace pelmo::platform

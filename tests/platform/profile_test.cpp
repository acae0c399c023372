#include "platform/profile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

namespace pelmo::platform {
namespace {

using namespace std::string_literals;

struct ProfileCase {
  const char* what;
  std::string text;
  std::optional<std::string> url;
};

// Many lines of other keys, headed by a section line unless the name is empty.
std::string LongSection(std::string_view name) {
  std::string text;
  // Piece by piece: "[" + string trips a false -Wrestrict in GCC 12.
  if (!name.empty()) text.append("[").append(name).append("]\r\n");
  for (int i = 0; i < 20000; ++i) text += "Key" + std::to_string(i) + "=value\r\n";
  return text;
}

TEST(ProfileParserTest, ShortcutFilesGiveTheirUrl) {
  const ProfileCase cases[] = {
      {"as this program writes it", "[InternetShortcut]\r\nURL=http://a/\r\n", "http://a/"},
      {"LF line ends", "[InternetShortcut]\nURL=http://a/\n", "http://a/"},
      {"CR line ends", "[InternetShortcut]\rURL=http://a/\r", "http://a/"},
      {"no final line end", "[InternetShortcut]\r\nURL=http://a/", "http://a/"},
      {"DEFAULT section first",
       "[DEFAULT]\r\nBASEURL=http://base/\r\nURL=http://wrong/\r\n[InternetShortcut]\r\n"
       "URL=http://a/\r\n",
       "http://a/"},
      {"property section after",
       "[InternetShortcut]\r\nURL=http://a/\r\n[{000214A0-0000-0000-C000-000000000046}]\r\n"
       "Prop3=19,2\r\nURL=http://wrong/\r\n",
       "http://a/"},
      {"byte-order mark", "\xEF\xBB\xBF[InternetShortcut]\r\nURL=http://a/\r\n", "http://a/"},
      {"letter case and blanks", " [ internetshortcut ] \r\n\t url \t= \thttp://a/ \t\r\n",
       "http://a/"},
      {"double quotes", "[InternetShortcut]\nURL=\"http://a/\"\n", "http://a/"},
      {"single quotes", "[InternetShortcut]\nURL='http://a/'\n", "http://a/"},
      {"unmatched quotes stay", "[InternetShortcut]\nURL=\"http://a/'\n", "\"http://a/'"},
      {"only one pair goes", "[InternetShortcut]\nURL=\"\"x\"\"\n", "\"x\""},
      {"equals inside the value", "[InternetShortcut]\nURL=http://a/?b=c&d=e\n",
       "http://a/?b=c&d=e"},
      {"first key wins", "[InternetShortcut]\nURL=http://a/\nURL=http://b/\n", "http://a/"},
      {"first section wins", "[InternetShortcut]\nName=x\n[InternetShortcut]\nURL=http://b/\n",
       std::nullopt},
      {"line without equals is no key", "[InternetShortcut]\nURL\nURL=http://a/\n", "http://a/"},
      {"key before any section", "URL=http://a/\n[InternetShortcut]\n", std::nullopt},
      {"no section", "URL=http://a/\n", std::nullopt},
      {"similar key", "[InternetShortcut]\nURLs=http://a/\n", std::nullopt},
      {"empty text", "", std::nullopt},
      {"NUL ends the value", "[InternetShortcut]\nURL= \"http://a/\0\"x\n"s, "\"http://a/"},
      {"NUL first leaves it empty", "[InternetShortcut]\nURL=\0http://a/\n"s, ""},
      {"empty value", "[InternetShortcut]\r\nURL=\r\n", ""},
      {"key far down", LongSection("Filler") + "[InternetShortcut]\r\nURL=http://far/\r\n",
       "http://far/"},
      {"key far down its section", "[InternetShortcut]\r\n" + LongSection("") + "URL=http://far/",
       "http://far/"},
  };
  for (const ProfileCase& c : cases) {
    EXPECT_EQ(FindProfileValue(c.text, "InternetShortcut", "URL"), c.url) << c.what;
  }
}

}  // namespace
}  // namespace pelmo::platform

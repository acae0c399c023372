#include "util/shortcut_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace pelmo {
namespace {

TEST(ShortcutName, DropsADotAndThreeCharactersAtTheEnd) {
  const struct {
    const char* file;
    const char* name;
  } cases[] = {{"Page.htm", "Page"}, {"Index.html", "Index.html"}, {"a.b", "a.b"},
               {".url", ""},         {"x.y.zzz", "x.y"},           {"...", "..."},
               {"News.URL", "News"}};
  for (const auto& c : cases) EXPECT_EQ(ShortcutName(c.file), c.name) << c.file;
}

// What one direction writes, the other reads back as it was written; only blanks
// at the ends of a URL are lost, as the reader trims every value.
TEST(ShortcutFormat, WrittenShortcutsReadBack) {
  const struct {
    std::string written;
    std::string read;
  } cases[] = {{"http://a/", "http://a/"},
               {"", ""},
               {"http://a/?b=c&d=e#[x]", "http://a/?b=c&d=e#[x]"},
               {" http://a/ b\t", "http://a/ b"}};
  ShortcutReader reader(0);
  for (const auto& c : cases) {
    const std::string bytes = ShortcutFileBytes(c.written);
    EXPECT_TRUE(BeginsAsShortcut(bytes)) << c.written;
    EXPECT_EQ(reader.read(bytes).url, c.read) << c.written;
  }
  EXPECT_EQ(ShortcutFileBytes("http://a/"), "[InternetShortcut]\r\nURL=http://a/\r\n");
  const std::string name = "Title" + std::string(kShortcutExtension);
  EXPECT_TRUE(HasShortcutExtension(name));
  EXPECT_EQ(ShortcutName(name), "Title");
}

TEST(ShortcutFormat, TellsShortcutsByExtensionAndFirstBytes) {
  for (const char* name : {"a.url", "a.URL", ".Url"}) EXPECT_TRUE(HasShortcutExtension(name));
  for (const char* name : {"url", "a.urls", "a_url", ""}) EXPECT_FALSE(HasShortcutExtension(name));
  for (const char* bytes :
       {"[InternetShortcut]", "[internetshortcut]\r\nUR", "\xEF\xBB\xBF[InternetShortcut]"}) {
    EXPECT_TRUE(BeginsAsShortcut(bytes)) << bytes;
  }
  for (const char* bytes : {"", "[InternetShortcut", " [InternetShortcut]", "[DEFAULT]"}) {
    EXPECT_FALSE(BeginsAsShortcut(bytes)) << bytes;
  }
}

// Modified= holds eight bytes of a file time as hex, the least significant first (a
// ninth byte may follow); anything shorter, not hex or before 1970 is no date. Only a web address
// is an icon.
TEST(ShortcutFormat, ReadsTheDateAndAWebIcon) {
  const struct {
    std::string keys;
    std::int64_t modified;
    std::string icon;
  } cases[] = {
      {"Modified=0080A621C989D601D4\r\nIconFile=https://a/f.ico", 1600000000, "https://a/f.ico"},
      {"Modified=0080a621c989d601\r\nIconFile=HTTP://a/f.ico", 1600000000, "HTTP://a/f.ico"},
      {"Modified=00C0D4AA15B19D01", 0, ""},  // 31 December 1969: before any ADD_DATE
      {"Modified=0080A621C989D6\r\nIconFile=C:\\icons\\a.ico", 0, ""},
      {"Modified=0080A621C989D6G1\r\nIconFile=http://", 0, ""},
      {"IconFile=ftp://a/f.ico", 0, ""},
  };
  ShortcutReader reader(0);
  for (const auto& c : cases) {
    const Shortcut shortcut =
        reader.read("[InternetShortcut]\r\nURL=http://a/\r\n" + c.keys + "\r\n");
    EXPECT_EQ(shortcut.url, "http://a/") << c.keys;
    EXPECT_EQ(shortcut.modified, c.modified) << c.keys;
    EXPECT_EQ(shortcut.icon, c.icon) << c.keys;
  }
}

}  // namespace
}  // namespace pelmo

#include "util/shortcut_format.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace pelmo

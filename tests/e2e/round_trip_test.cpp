// Both directions through the built program: what one writes, the other reads back.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/run_program.h"

namespace pelmo::testing {
namespace {

namespace fs = std::filesystem;

std::string Shortcut(const std::string& url) {
  return "[InternetShortcut]\r\nURL=" + url + "\r\n";
}

void ToBookmarks(const TempDir& dir, const std::string& folder, const std::string& file,
                 const std::string& codePage = "1252") {
  ProgramRun run = RunProgram(
      dir.str(), {"/auto", "/ftb", "/fav", folder, "/book", file, "/codepage", codePage});
  ASSERT_EQ(run.exitCode, 1) << run.err;
}

void ToFavourites(const TempDir& dir, const std::string& file, const std::string& folder) {
  ProgramRun run = RunProgram(dir.str(), {"/auto", "/btf", "/book", file, "/fav", folder});
  ASSERT_EQ(run.exitCode, 1) << run.err;
}

TEST(RoundTrip, TheExampleComesBackAsTheSameTreeAndTheSameBytes) {
  TempDir dir;
  ToFavourites(dir, std::string(PELMO_EXAMPLES) + "/bookmarks.html", "F1");
  ToBookmarks(dir, "F1", "b1.html");
  ToFavourites(dir, "b1.html", "F2");
  ToBookmarks(dir, "F2", "b2.html");
  EXPECT_EQ(ReadTree(dir / "F1"), ReadTree(dir / "F2"));
  EXPECT_EQ(ReadFile(dir / "b1.html"), ReadFile(dir / "b2.html"));
}

TEST(RoundTrip, NamesThatTheFilterKeepsComeBackUnchanged) {
  TempDir dir;
  const std::string names[] = {
      "Q&A", "Tom && Jerry", "[beta] {old} ~1 #2 50%",   "Caf\xC3\xA9 M\xC3\xBCnchen",
      "x",   "Ends with &",  "@home = $5, (c) 'quoted'", "UPPER lower",
  };
  for (const std::string& name : names) {
    fs::create_directories(dir / ("F1/" + name + "/Inner"));
    WriteFile(dir / ("F1/" + name + "/" + name + ".url"), Shortcut("http://a/?q=" + name));
  }
  fs::create_directories(dir / "F1/Empty");
  std::string deep = "F1";
  for (int level = 0; level < 45; ++level) deep += "/L" + std::to_string(level);
  fs::create_directories(dir / deep);
  WriteFile(dir / (deep + "/Bottom.URL"), Shortcut("https://bottom.example/?a=1&b=2"));

  ToBookmarks(dir, "F1", "b1.html");
  ToFavourites(dir, "b1.html", "F2");
  auto original = ReadTree(dir / "F1");
  auto returned = ReadTree(dir / "F2");
  // Shortcuts come back with the upper-case extension the other direction writes.
  std::map<std::string, std::string> expected;
  for (auto& [path, bytes] : original) {
    std::string name = path;
    if (name.ends_with(".url")) name.replace(name.size() - 4, 4, ".URL");
    expected[name] = bytes;
  }
  EXPECT_EQ(returned, expected);
}

// A shortcut with a windows-1251 URL (exact in its Unicode section) and a windows-1251
// name among UTF-8 names: every name comes back, the odd one as its UTF-8 reading.
TEST(RoundTrip, ANameThatIsNotUtf8ChangesNoOtherName) {
  TempDir dir;
  const std::string heat = "\xD1\x82\xD0\xB5\xD0\xBF\xD0\xBB\xD0\xBE";  // UTF-8
  fs::create_directories(dir / ("F1/" + heat));
  WriteFile(dir / ("F1/" + heat + "/Caf\xC3\xA9.url"), Shortcut("http://a/"));
  WriteFile(dir / "F1/\xF2\xE5\xEF\xEB\xEE.url",
            "[InternetShortcut]\r\nURL=http://\xF2\xE5\xEF\xEB\xEE.\xF0\xF4/\r\n"
            "[InternetShortcut.W]\r\nURL=http://+BEIENQQ/BDsEPg-.+BEAERA-/\r\n");
  ToBookmarks(dir, "F1", "b1.html", "1251");
  ToFavourites(dir, "b1.html", "F2");
  EXPECT_EQ(ReadTree(dir / "F2"),
            (std::map<std::string, std::string>{
                {heat + "/", ""},
                {heat + "/Caf\xC3\xA9.URL", Shortcut("http://a/")},
                {heat + ".URL", Shortcut("http://" + heat + ".\xD1\x80\xD1\x84/")}}));
}

}  // namespace
}  // namespace pelmo::testing

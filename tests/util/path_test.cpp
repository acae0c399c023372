#include "util/path.h"

#include <gtest/gtest.h>

#include <string>

namespace pelmo {
namespace {

using platform::kPosixPathStyle;
using platform::kWindowsPathStyle;

TEST(PathTail, EachStyleSplitsAtItsOwnSeparators) {
  const struct {
    const platform::PathStyle& style;
    std::string path;
    std::string tail;
  } cases[] = {
      {kWindowsPathStyle, "C:\\Favorites\\News.url", "News.url"},
      {kWindowsPathStyle, "C:News.url", "News.url"},
      {kWindowsPathStyle, "News.url", "News.url"},
      {kWindowsPathStyle, "C:\\Favorites\\", ""},
      {kWindowsPathStyle, "C:", ""},
      {kWindowsPathStyle, "", ""},
      {kWindowsPathStyle, "a/b\\c", "c"},
      {kWindowsPathStyle, "dir\\sub/name", "sub/name"},
      {kPosixPathStyle, "/home/u/Favorites/News.url", "News.url"},
      {kPosixPathStyle, "C:News.url", "C:News.url"},
      {kPosixPathStyle, "/home/u/Favorites/", ""},
      {kPosixPathStyle, "/", ""},
      {kPosixPathStyle, "dir\\name", "dir\\name"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.path.substr(PathTail(c.path, c.style)), c.tail) << c.path;
  }
}

TEST(PathJoin, SeparatesOnceAndStaysBelowTheSize) {
  const std::string path258(258, 'p');
  const std::string path259(259, 'p');
  const std::string path250 = "C:\\" + std::string(247, 'p');
  const struct {
    const platform::PathStyle& style;
    std::string path;
    std::optional<std::string> component;
    std::size_t size;
    std::string expected;
  } cases[] = {
      {kWindowsPathStyle, "C:\\Favorites", "News.url", 260, "C:\\Favorites\\News.url"},
      {kWindowsPathStyle, "C:\\Favorites\\", "News.url", 260, "C:\\Favorites\\News.url"},
      {kWindowsPathStyle, "C:", "News.url", 260, "C:News.url"},
      {kWindowsPathStyle, "", "News.url", 260, "News.url"},
      {kWindowsPathStyle, path258, "News.url", 260, path258 + "\\"},
      {kWindowsPathStyle, path259, "News.url", 260, path259},
      {kWindowsPathStyle, path259 + "q", "x", 260, path259 + "q"},
      {kWindowsPathStyle, path250, std::string(100, 'c'), 260,
       path250 + "\\" + std::string(8, 'c')},
      {kWindowsPathStyle, "C:\\Favorites", std::nullopt, 260, "C:\\Favorites\\"},
      {kWindowsPathStyle, "", std::nullopt, 260, ""},
      {kWindowsPathStyle, "a", "b", 0, "a"},
      {kWindowsPathStyle, "", "b", 1, ""},
      {kPosixPathStyle, "/home/u/Favorites", "News.url", 4096, "/home/u/Favorites/News.url"},
      {kPosixPathStyle, "/home/u/Favorites/", "News.url", 4096, "/home/u/Favorites/News.url"},
      {kPosixPathStyle, "/", "News.url", 4096, "/News.url"},
      {kPosixPathStyle, "C:", "News.url", 4096, "C:/News.url"},
      {kPosixPathStyle, "dir\\", "x", 4096, "dir\\/x"},
      {kPosixPathStyle, "/home", std::string(20, 'c'), 12, "/home/ccccc"},
  };
  for (const auto& c : cases) {
    std::string path = c.path;
    std::optional<std::string_view> component;
    if (c.component) component = *c.component;
    PathJoin(path, component, c.size, c.style);
    EXPECT_EQ(path, c.expected) << "path '" << c.path << "' size " << c.size;
  }
}

}  // namespace
}  // namespace pelmo

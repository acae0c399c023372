#include "util/path.h"

#include <gtest/gtest.h>

#include <string>

namespace pelmo {
namespace {

using platform::kPosixPathStyle;
using platform::kWindowsPathStyle;

struct TailCase {
  std::string path;
  std::string tail;
};

TEST(PathTail, WindowsSeparatorsAndDriveColon) {
  const TailCase cases[] = {
      {"C:\\Favorites\\News.url", "News.url"},
      {"C:News.url", "News.url"},
      {"News.url", "News.url"},
      {"C:\\Favorites\\", ""},
      {"C:", ""},
      {"", ""},
      {"a/b\\c", "c"},
      {"dir\\sub/name", "sub/name"},
  };
  for (const auto& c : cases) {
    const std::size_t tail = PathTail(c.path, kWindowsPathStyle);
    EXPECT_EQ(c.path.substr(tail), c.tail) << c.path;
  }
}

TEST(PathTail, PosixSlashOnly) {
  const TailCase cases[] = {
      {"/home/u/Favorites/News.url", "News.url"},
      {"C:News.url", "C:News.url"},
      {"News.url", "News.url"},
      {"/home/u/Favorites/", ""},
      {"/", ""},
      {"", ""},
      {"dir\\name", "dir\\name"},
  };
  for (const auto& c : cases) {
    const std::size_t tail = PathTail(c.path, kPosixPathStyle);
    EXPECT_EQ(c.path.substr(tail), c.tail) << c.path;
  }
}

struct JoinCase {
  std::string path;
  std::optional<std::string> component;
  std::size_t size;
  std::string expected;
};

void ExpectJoins(const JoinCase* begin, const JoinCase* end, const platform::PathStyle& style) {
  for (const JoinCase* c = begin; c != end; ++c) {
    std::string path = c->path;
    std::optional<std::string_view> component;
    if (c->component) component = *c->component;
    PathJoin(path, component, c->size, style);
    EXPECT_EQ(path, c->expected) << "path '" << c->path << "' size " << c->size;
  }
}

TEST(PathJoin, WindowsRules) {
  const std::string path258(258, 'p');
  const std::string path259(259, 'p');
  const std::string path250 = "C:\\" + std::string(247, 'p');
  const JoinCase cases[] = {
      {"C:\\Favorites", "News.url", 260, "C:\\Favorites\\News.url"},
      {"C:\\Favorites\\", "News.url", 260, "C:\\Favorites\\News.url"},
      {"C:", "News.url", 260, "C:News.url"},
      {"", "News.url", 260, "News.url"},
      {path258, "News.url", 260, path258 + "\\"},
      {path259, "News.url", 260, path259},
      {path259 + "q", "x", 260, path259 + "q"},
      {path250, std::string(100, 'c'), 260, path250 + "\\" + std::string(8, 'c')},
      {"C:\\Favorites", std::nullopt, 260, "C:\\Favorites\\"},
      {"C:\\Favorites\\", std::nullopt, 260, "C:\\Favorites\\"},
      {"C:", std::nullopt, 260, "C:"},
      {"", std::nullopt, 260, ""},
      {"", "", 260, ""},
      {"a", "b", 0, "a"},
      {"", "b", 1, ""},
      {"", "bcd", 3, "bc"},
  };
  ExpectJoins(std::begin(cases), std::end(cases), kWindowsPathStyle);
}

TEST(PathJoin, PosixRules) {
  const std::string path4094(4094, 'p');
  const JoinCase cases[] = {
      {"/home/u/Favorites", "News.url", 4096, "/home/u/Favorites/News.url"},
      {"/home/u/Favorites/", "News.url", 4096, "/home/u/Favorites/News.url"},
      {"/", "News.url", 4096, "/News.url"},
      {"C:", "News.url", 4096, "C:/News.url"},
      {"dir\\", "x", 4096, "dir\\/x"},
      {"", "News.url", 4096, "News.url"},
      {path4094, "News.url", 4096, path4094 + "/"},
      {path4094 + "/", "News.url", 4096, path4094 + "/"},
      {"/home", std::nullopt, 4096, "/home/"},
      {"/home", std::string(20, 'c'), 12, "/home/ccccc"},
  };
  ExpectJoins(std::begin(cases), std::end(cases), kPosixPathStyle);
}

}  // namespace
}  // namespace pelmo

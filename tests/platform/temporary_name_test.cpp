#include "platform/temporary_name.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "platform/system_file.h"
#include "platform/temporary_file.h"
#include "support/temp_dir.h"

namespace pelmo::platform {
namespace {

using pelmo::testing::ReadFile;
using pelmo::testing::TempDir;
using pelmo::testing::WriteFile;

TEST(TemporaryName, TellsTheProgramsOwnNamesApart) {
  const struct {
    const char* name;
    bool temporary;
  } cases[] = {
      {".pelmo-abcdefghij.tmp", true},
      {".pelmo-0123456789.bak", true},
      {".pelmo-a1b2c3d4e5.tmp", true},
      {".pelmo-ABCDEFGHIJ.tmp", false},
      {".pelmo-abcdefghi.tmp", false},
      {".pelmo-abcdefghijk.tmp", false},
      {".pelmo-abcdefghij.TMP", false},
      {".pelmo-abcdefghij.url", false},
      {".pelmo-abcde-ghij.tmp", false},
      {"pelmo-abcdefghij.tmp.", false},
      {".pelmo-abcdefghij.tmp.url", false},
      {"~pelmo0123ABCD.bak", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsTemporaryName(c.name), c.temporary) << c.name;
}

TEST(TemporaryName, DrawsFreshNamesOfTheOneShape) {
  std::uint64_t state = 1;
  std::set<std::string> names;
  for (int i = 0; i < 1000; ++i) {
    const std::string name =
        TemporaryName(state, i % 2 ? TemporaryKind::Backup : TemporaryKind::Temporary);
    EXPECT_TRUE(IsTemporaryName(name)) << name;
    EXPECT_TRUE(name.ends_with(i % 2 ? ".bak" : ".tmp")) << name;
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 1000U);
  EXPECT_NE(TemporaryNameSeed(), TemporaryNameSeed());
}

bool WriteAndClose(system_file::Handle handle, std::string_view bytes) {
  const bool written = system_file::WriteAll(handle, bytes.data(), bytes.size());
  return system_file::Close(handle) && written;
}

// A name that is taken is passed over, and what has it stays as it was.
TEST(TemporaryFile, CreatesOnlyNewFilesInTheFolderGiven) {
  TempDir dir;
  const std::uint64_t seed = 42;
  std::uint64_t state = seed;
  const std::string taken = TemporaryName(state);
  WriteFile(dir.path() / taken, "someone else's");
  std::filesystem::create_directory(dir.path() / TemporaryName(state));

  state = seed;
  const std::string prefix = dir / "";
  std::optional<TemporaryFile> file = CreateTemporaryFile({-1, prefix}, state);
  ASSERT_TRUE(file);
  EXPECT_TRUE(IsTemporaryName(file->name)) << file->name;
  EXPECT_NE(file->name, taken);
  ASSERT_TRUE(WriteAndClose(file->handle, "new"));
  EXPECT_EQ(ReadFile(dir.path() / file->name), "new");
  EXPECT_EQ(ReadFile(dir.path() / taken), "someone else's");

  EXPECT_FALSE(CreateTemporaryFile({-1, dir / "missing/"}, state));
}

TEST(TemporaryFile, AnEmptyFolderIsTheCurrentDirectory) {
  TempDir dir;
  pelmo::testing::CurrentDirectoryGuard guard;
  std::filesystem::current_path(dir.path());
  std::uint64_t state = TemporaryNameSeed();
  std::optional<TemporaryFile> file = CreateTemporaryFile({}, state, TemporaryAccess::OwnerOnly);
  ASSERT_TRUE(file);
  ASSERT_TRUE(WriteAndClose(file->handle, "here"));
  EXPECT_EQ(ReadFile(dir.path() / file->name), "here");
}

}  // namespace
}  // namespace pelmo::platform

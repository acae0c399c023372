#include "platform/favourites_output.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "support/temp_dir.h"

namespace pelmo::platform {
namespace {

namespace fs = std::filesystem;
using testing::ReadTree;
using testing::WriteFile;
using Tree = std::map<std::string, std::string>;

struct WriteCase {
  const char* what;
  void (*place)(const fs::path& dir);
  ExistingFile existing;
  WriteOutcome outcome;
  Tree tree;  // the directory afterwards: no temporary file in any case
};
// Both ways of making a new file appear whole: unnamed and then linked, and through a
// temporary name as where the file system has no unnamed files (a system without
// unnamed files takes both for the second).
TEST(WholeFileWriterTest, WritesWholeFilesAndLeavesNothingElse) {
  const WriteCase cases[] = {
      {"a new file",
       [](const fs::path&) {},
       ExistingFile::Replace,
       WriteOutcome::Written,
       {{"A.URL", "new"}}},
      {"an existing file is replaced",
       [](const fs::path& dir) { WriteFile(dir / "A.URL", "old"); },
       ExistingFile::Replace,
       WriteOutcome::Written,
       {{"A.URL", "new"}}},
      {"an existing file kept",
       [](const fs::path& dir) { WriteFile(dir / "A.URL", "old"); },
       ExistingFile::Keep,
       WriteOutcome::NameTaken,
       {{"A.URL", "old"}}},
      {"a read-only file is not replaced, whoever runs",
       [](const fs::path& dir) {
         WriteFile(dir / "A.URL", "old");
         fs::permissions(dir / "A.URL", fs::perms::owner_read);
       },
       ExistingFile::Replace,
       WriteOutcome::Failed,
       {{"A.URL", "old"}}},
      {"a directory stays",
       [](const fs::path& dir) { fs::create_directory(dir / "A.URL"); },
       ExistingFile::Replace,
       WriteOutcome::Failed,
       {{"A.URL/", ""}}},
  };
  for (bool unnamed : {true, false}) {
    for (const WriteCase& c : cases) {
      testing::TempDir dir;
      testing::CurrentDirectoryGuard guard;
      c.place(dir.path());
      fs::current_path(dir.path());
      WholeFileWriter writer(unnamed);
      EXPECT_EQ(writer.write("A.URL", "new", c.existing), c.outcome) << c.what << unnamed;
      EXPECT_EQ(ReadTree(dir.path()), c.tree) << c.what << unnamed;
    }
  }
}

}  // namespace
}  // namespace pelmo::platform

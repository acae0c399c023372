#include "platform/favourites_output.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "support/child_process.h"
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
// temporary name where the file system has no unnamed files.
TEST(WholeFileWriterTest, WritesWholeFilesAndLeavesNothingElse) {
  const WriteCase cases[] = {
      {"a new file",
       [](const fs::path&) {},
       ExistingFile::Replace,
       WriteOutcome::Written,
       {{"A.URL", "new"}}},
      {"an existing file is replaced; its other link keeps the old bytes",
       [](const fs::path& dir) {
         WriteFile(dir / "A.URL", "old");
         fs::create_hard_link(dir / "A.URL", dir / "other");
       },
       ExistingFile::Replace,
       WriteOutcome::Written,
       {{"A.URL", "new"}, {"other", "old"}}},
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
      {"a link is not written through",
       [](const fs::path& dir) { fs::create_symlink("elsewhere", dir / "A.URL"); },
       ExistingFile::Replace,
       WriteOutcome::Failed,
       {{"A.URL", "-> elsewhere"}}},
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

// A write that fails part-way (here at the file-size limit) leaves neither the file
// nor a temporary one, and the old file stays whole.
TEST(WholeFileWriterTest, AFailedWriteLeavesNothing) {
  for (bool unnamed : {true, false}) {
    testing::TempDir dir;
    testing::CurrentDirectoryGuard guard;
    WriteFile(dir / "Old.URL", "old");
    fs::current_path(dir.path());
    EXPECT_EQ(testing::RunInChild([&] {
                testing::LimitFileSize(16);
                WholeFileWriter writer(unnamed);
                const std::string bytes(100, 'x');
                return writer.write("New.URL", bytes, ExistingFile::Replace) ==
                                   WriteOutcome::Failed &&
                               writer.write("Old.URL", bytes, ExistingFile::Replace) ==
                                   WriteOutcome::Failed
                           ? 0
                           : 1;
              }),
              0)
        << unnamed;
    EXPECT_EQ(ReadTree(dir.path()), (Tree{{"Old.URL", "old"}})) << unnamed;
  }
}

}  // namespace
}  // namespace pelmo::platform

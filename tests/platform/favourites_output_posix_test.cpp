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

// A symbolic link is refused, and a file with another hard link is replaced while the
// other link keeps the old bytes.
TEST(WholeFileWriterTest, LinksAreNeitherWrittenThroughNorBroken) {
  for (bool unnamed : {true, false}) {
    testing::TempDir dir;
    testing::CurrentDirectoryGuard guard;
    fs::create_symlink("elsewhere", dir / "A.URL");
    WriteFile(dir / "B.URL", "old");
    fs::create_hard_link(dir / "B.URL", dir / "other");
    fs::current_path(dir.path());
    WholeFileWriter writer(unnamed);
    EXPECT_EQ(writer.write("A.URL", "new", ExistingFile::Replace), WriteOutcome::Failed);
    EXPECT_EQ(writer.write("B.URL", "new", ExistingFile::Replace), WriteOutcome::Written);
    EXPECT_EQ(ReadTree(dir.path()),
              (Tree{{"A.URL", "-> elsewhere"}, {"B.URL", "new"}, {"other", "old"}}))
        << unnamed;
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

// The walk that creates a destination folder level by level, recorded
// instead of touching the disk: which levels it asks about, which it creates
// and where it stops.
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/directory_path.h"

namespace {

struct FakeDisk {
  std::set<std::string> existing;
  std::set<std::string> refused;  // creating these fails
  std::vector<std::string> asked;
  std::vector<std::string> created;
};

bool Exists(const char* path, void* context) {
  auto* disk = static_cast<FakeDisk*>(context);
  disk->asked.push_back(path);
  return disk->existing.count(path) != 0;
}

bool Create(const char* path, void* context) {
  auto* disk = static_cast<FakeDisk*>(context);
  if (disk->refused.count(path) != 0) return false;
  disk->created.push_back(path);
  disk->existing.insert(path);
  return true;
}

bool Walk(const char* path, FakeDisk& disk) {
  return CreateDirectoryPathWith(path, DirectoryOperations{Exists, Create, &disk});
}

struct WalkCase {
  const char* path;
  std::set<std::string> existing;
  std::vector<std::string> asked;
  std::vector<std::string> created;
};

TEST(DirectoryWalk, AsksEachLevelAndCreatesTheMissingOnes) {
  const WalkCase cases[] = {
      // Drive, two levels and the whole path with its trailing separator.
      {"C:\\App\\Docs\\",
       {"C:"},
       {"C:", "C:\\App", "C:\\App\\Docs", "C:\\App\\Docs\\"},
       {"C:\\App", "C:\\App\\Docs", "C:\\App\\Docs\\"}},
      {"C:\\App\\Docs\\",
       {"C:", "C:\\App", "C:\\App\\Docs", "C:\\App\\Docs\\"},
       {"C:", "C:\\App", "C:\\App\\Docs", "C:\\App\\Docs\\"},
       {}},
      // Without a trailing separator the last level is the whole path.
      {"C:\\App", {"C:"}, {"C:", "C:\\App"}, {"C:\\App"}},
      // An empty base: below the current drive's root.
      {"\\Sub\\", {}, {"\\Sub", "\\Sub\\"}, {"\\Sub", "\\Sub\\"}},
      // Network paths: server and share are never asked about or created.
      {"\\\\server\\share\\App\\",
       {},
       {"\\\\server\\share\\App", "\\\\server\\share\\App\\"},
       {"\\\\server\\share\\App", "\\\\server\\share\\App\\"}},
      {"\\\\server\\share", {}, {}, {}},
      {"\\\\server", {}, {}, {}},
      {"", {}, {}, {}},
  };
  for (const WalkCase& c : cases) {
    SCOPED_TRACE(c.path);
    FakeDisk disk;
    disk.existing = c.existing;
    EXPECT_TRUE(Walk(c.path, disk));
    EXPECT_EQ(disk.asked, c.asked);
    EXPECT_EQ(disk.created, c.created);
  }
}

TEST(DirectoryWalk, StopsAtTheFirstLevelThatCannotBeCreated) {
  FakeDisk disk;
  disk.existing = {"C:"};
  disk.refused = {"C:\\App\\Docs"};
  EXPECT_FALSE(Walk("C:\\App\\Docs\\Deep\\", disk));
  EXPECT_EQ(disk.created, std::vector<std::string>{"C:\\App"});
  EXPECT_EQ(disk.asked.back(), "C:\\App\\Docs");
}

}  // namespace

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>

#include "platform/atomic_file.h"
#include "platform/directory_listing.h"
#include "platform/progress_bar_text.h"
#include "platform/random.h"
#include "tests/support/test_support.h"

namespace tesselor {
namespace {

TEST(Wildcard, IgnoresCaseAsACaseInsensitiveFileSystemDoes) {
  EXPECT_TRUE(WildcardMatch("*.jpg", "Tile.JPG"));
  EXPECT_TRUE(WildcardMatch("*.jpg", "a.b.jpg"));
  EXPECT_FALSE(WildcardMatch("*.jpg", "tile.jpeg"));
  EXPECT_FALSE(WildcardMatch("*.jpg", "tile.jpg.bak"));
  EXPECT_TRUE(WildcardMatch("*", ""));
  EXPECT_TRUE(WildcardMatch("a?c*", "abcdef"));
  EXPECT_FALSE(WildcardMatch("a?c", "ac"));
}

TEST(DirectoryListing, SortsIgnoringCaseThenByBytes) {
  testing::TempDir dir;
  for (const char* name : {"b.jpg", "B.jpg", "a.JPG", "c.txt", "C.jpg"})
    testing::WriteFileBytes(dir.File(name), {1});
  std::vector<std::string> names;
  for (const DirectoryEntry& entry : ListDirectory(dir.Path(), "*.jpg")) {
    names.push_back(entry.name);
    EXPECT_EQ(entry.fullPath, dir.Path() + entry.name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"a.JPG", "B.jpg", "b.jpg", "C.jpg"}));
  EXPECT_TRUE(ListDirectory(dir.File("missing"), "*").empty());

  // Only ASCII letters have a case: in a Latin-1 locale the C library would
  // also lower \xC4 to \xE4, and the order would follow the user's language.
  const char* saved = setlocale(LC_CTYPE, nullptr);
  const std::string before = saved ? saved : "C";
  if (!setlocale(LC_CTYPE, "de_DE.ISO-8859-1") && !setlocale(LC_CTYPE, "en_US.ISO-8859-1"))
    GTEST_SKIP() << "no Latin-1 locale installed";
  for (const char* name : {"\xE4"
                           "a.jpg",
                           "\xC4"
                           "b.jpg"})
    testing::WriteFileBytes(dir.File(name), {1});
  names.clear();
  for (const DirectoryEntry& entry : ListDirectory(dir.Path(), "*.jpg"))
    names.push_back(entry.name);
  setlocale(LC_CTYPE, before.c_str());
  EXPECT_EQ(names.at(4),
            "\xC4"
            "b.jpg");
}

TEST(PathText, TitlesAndEndings) {
  EXPECT_EQ(FileTitle("/x/beach.JPG"), "beach");
  EXPECT_EQ(FileTitle("noext"), "noext");
  EXPECT_EQ(LowerLastThree("/x/A.JpG"), "jpg");
  EXPECT_EQ(WithTrailingSlash("/a//"), "/a/");
}

TEST(ProgressBarText, EstimatesTheTimeLeftFromThePaceSoFar) {
  EXPECT_EQ(ProgressBarText("Loading", 0, 200, 0.4),
            "Loading [..............................]   0%  0:00 elapsed, --:-- left");
  EXPECT_EQ(ProgressBarText("Creating", 50, 200, 75.0),
            "Creating [#######.......................]  25%  1:15 elapsed, 3:45 left");
  EXPECT_EQ(ProgressBarText("Creating", 1, 4000, 3.0),
            "Creating [..............................]   0%  0:03 elapsed, 3:19:57 left");
  // Steps past the range (or an empty one) never show more than done.
  EXPECT_EQ(ProgressBarText("Done", 7, 0, 2.0),
            "Done [##############################] 100%  0:02 elapsed, 0:00 left");
}

TEST(ProgramRandom, MatchesTheClassicRuntimeSequence) {
  RandomGenerator generator;
  EXPECT_EQ(generator.Next(), 41);
  EXPECT_EQ(generator.Next(), 18467);
  EXPECT_EQ(generator.Next(), 6334);
  EXPECT_EQ(generator.Next(), 26500);
}

TEST(AtomicFile, ReplacesTheTargetOnlyOnCommit) {
  testing::TempDir dir;
  const std::string target = dir.File("out");
  testing::WriteFileBytes(target, {1});
  {
    AtomicFile file;
    ASSERT_TRUE(file.Open(target));
    ASSERT_TRUE(file.Write("ab", 2));
  }
  EXPECT_EQ(testing::ReadFileBytes(target), std::vector<uint8_t>{1});
  AtomicFile file;
  ASSERT_TRUE(file.Open(target));
  ASSERT_TRUE(file.Write("ab", 2));
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(testing::ReadFileBytes(target), (std::vector<uint8_t>{'a', 'b'}));
  EXPECT_EQ(testing::ListNames(dir.Path()), std::vector<std::string>{"out"});
}

// A photo shared by a link, or kept private, must stay so when a save
// replaces it.
TEST(AtomicFile, ReplacingWritesThroughLinksAndKeepsPermissions) {
  testing::TempDir dir;
  mkdir(dir.File("real").c_str(), 0777);
  const std::string photo = dir.File("real/photo.jpg");
  testing::WriteFileBytes(photo, {1});
  chmod(photo.c_str(), 0640);
  ASSERT_EQ(symlink("real/photo.jpg", dir.File("link.jpg").c_str()), 0);
  AtomicFile file;
  ASSERT_TRUE(file.Open(dir.File("link.jpg")));
  ASSERT_TRUE(file.Write("ab", 2));
  ASSERT_TRUE(file.Commit());
  struct stat link {
  }, info{};
  ASSERT_EQ(lstat(dir.File("link.jpg").c_str(), &link), 0);
  EXPECT_TRUE(S_ISLNK(link.st_mode));
  EXPECT_EQ(testing::ReadFileBytes(photo), (std::vector<uint8_t>{'a', 'b'}));
  ASSERT_EQ(stat(photo.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(testing::ListNames(dir.File("real")), std::vector<std::string>{"photo.jpg"});
}

}  // namespace
}  // namespace tesselor

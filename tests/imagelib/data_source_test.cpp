#include "imagelib/data_source.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "imagelib/data_sink.h"
#include "imagelib/file_sink.h"
#include "imagelib/file_source.h"
#include "imagelib/resource_source.h"
#include "imagelib/resource_table.h"
#include "imagelib/text_exception.h"
#include "tests/support/test_support.h"

namespace tesselor {
namespace {

using testing::TempDir;

class CountingNotifier : public ProgressNotifier {
 public:
  void OnProgress(double fraction) override { fractions.push_back(fraction); }
  std::vector<double> fractions;
};

TEST(DataSource, ReadingPastTheEndRaisesCode11) {
  std::vector<uint8_t> data(10, 7);
  CMemorySource source(data.data(), 10, "mem");
  source.ReadBytes(4);
  source.ReadBytes(6);
  try {
    source.ReadBytes(1);
    FAIL() << "no exception";
  } catch (const CTextException& e) {
    EXPECT_EQ(e.GetCode(), 11);
    EXPECT_EQ(e.GetText(), "End of file reached while decoding.\n");
  }
}

TEST(DataSource, ProgressOncePerKilobyteBoundaryAndOnClose) {
  std::vector<uint8_t> data(4096, 0);
  CountingNotifier notifier;
  TempDir dir;
  testing::WriteFileBytes(dir.File("f"), data);
  CFileSource source(&notifier);
  ASSERT_EQ(source.OpenFile(dir.File("f")), 0);
  for (int i = 0; i < 8; ++i) source.ReadBytes(300);  // crosses 1024 and 2048
  source.Close();
  ASSERT_EQ(notifier.fractions.size(), 3u);
  EXPECT_DOUBLE_EQ(notifier.fractions[0], 1200.0 / 4096);
  EXPECT_DOUBLE_EQ(notifier.fractions.back(), 1.0);
}

TEST(FileSource, OpenFailuresMapToCodes) {
  TempDir dir;
  CFileSource missingFolder;
  EXPECT_EQ(missingFolder.OpenFile(dir.File("nope/x.jpg")), 3);
  CFileSource missingFile;
  EXPECT_EQ(missingFile.OpenFile(dir.File("x.jpg")), 4);
  testing::WriteFileBytes(dir.File("empty"), {});
  CFileSource empty;
  EXPECT_EQ(empty.OpenFile(dir.File("empty")), 5);
}

TEST(FileSource, PipesAndFoldersAreRefusedWithoutWaiting) {
  TempDir dir;
  testing::MakeIdlePipe(dir.File("b.jpg"));
  ASSERT_EQ(mkdir(dir.File("d.jpg").c_str(), 0700), 0);
  for (const char* name : {"b.jpg", "d.jpg"}) {
    int code = 0;
    EXPECT_TRUE(testing::FinishesBesideIdlePipe(dir.File("b.jpg"), [&] {
      CFileSource source;
      code = source.OpenFile(dir.File(name));
    })) << name;
    EXPECT_EQ(code, 5) << name;
  }
}

TEST(FileSource, HandsOutTheFileBytes) {
  TempDir dir;
  testing::WriteFileBytes(dir.File("f"), {1, 2, 3, 4});
  CFileSource source;
  ASSERT_EQ(source.OpenFile(dir.File("f")), 0);
  EXPECT_EQ(source.Size(), 4);
  EXPECT_EQ(source.Peek()[0], 1);
  EXPECT_EQ(source.ReadWordLE(), 0x0201);
  EXPECT_EQ(source.ReadBytes(2)[1], 4);
  EXPECT_EQ(source.BytesLeft(), 0);
}

TEST(DataSink, OverflowRaisesCode11AndWritesNothing) {
  uint8_t buffer[100];
  CDataSink sink;
  sink.Open("sink", buffer, 100);
  const uint8_t data[60] = {};
  sink.WriteBytes(60, data);
  sink.WriteBytes(40, data);
  EXPECT_EQ(sink.BytesWritten(), 100);
  try {
    sink.WriteBytes(1, data);
    FAIL() << "no exception";
  } catch (const CTextException& e) {
    EXPECT_EQ(e.GetCode(), 11);
    EXPECT_EQ(e.GetText(), "Buffer overflow while encoding.\n");
  }
  EXPECT_EQ(sink.BytesWritten(), 100);
}

TEST(FileSink, AbandonedSinkLeavesTheOldFile) {
  TempDir dir;
  testing::WriteFileBytes(dir.File("out.jpg"), {9, 9});
  {
    CFileSink sink;
    ASSERT_EQ(sink.OpenFile(dir.File("out.jpg"), 10), 0);
    const uint8_t data[4] = {1, 2, 3, 4};
    sink.WriteBytes(4, data);
  }
  EXPECT_EQ(testing::ReadFileBytes(dir.File("out.jpg")), (std::vector<uint8_t>{9, 9}));
  EXPECT_EQ(testing::ListNames(dir.Path()), std::vector<std::string>{"out.jpg"});
}

TEST(FileSink, CloseWritesTheWholeBuffer) {
  TempDir dir;
  CFileSink sink;
  ASSERT_EQ(sink.OpenFile(dir.File("out.bin"), 10), 0);
  const uint8_t data[3] = {5, 6, 7};
  sink.WriteBytes(3, data);
  sink.Close();
  EXPECT_EQ(testing::ReadFileBytes(dir.File("out.bin")), (std::vector<uint8_t>{5, 6, 7}));
  EXPECT_EQ(testing::ListNames(dir.Path()).size(), 1u);
}

TEST(FileSink, UnwritableFolderGivesMinusOne) {
  CFileSink sink;
  EXPECT_EQ(sink.OpenFile("/nonexistent-folder/x.jpg", 10), -1);
}

TEST(ResourceSource, FindsCompiledResourcesByIdAndType) {
  static const uint8_t bytes[] = {0xFF, 0xD8, 0xFF};
  static const ResourceEntry table[] = {{146, "Jpeg", bytes, sizeof bytes}};
  InstallResourceTable(table);
  CResourceSource found;
  ASSERT_EQ(found.OpenResource(146, "JPEG"), 0);
  EXPECT_EQ(found.Name(), "Resource: 146");
  EXPECT_EQ(found.Size(), 3);
  CResourceSource missing;
  EXPECT_EQ(missing.OpenResource(147, "Jpeg"), 4);
  InstallResourceTable({});
}

}  // namespace
}  // namespace tesselor

#include <gtest/gtest.h>

#include <new>

#include "imagelib/draw_dib_bmp.h"
#include "imagelib/win_bmp.h"

namespace tesselor {
namespace {

TEST(BitmapModel, FreshBitmapIs16By16GreyAt8Bits) {
  CDrawDibBmp bmp;
  EXPECT_EQ(bmp.width, 16);
  EXPECT_EQ(bmp.height, 16);
  EXPECT_EQ(bmp.bitsPerPixel, 8);
  EXPECT_FALSE(bmp.hasAlpha);
  ASSERT_NE(bmp.palette, nullptr);
  const uint8_t* white = bmp.palette + 4 * 255;
  EXPECT_EQ(white[0], 255);
  EXPECT_EQ(white[3], 255);
  const uint8_t* one = bmp.palette + 4;
  EXPECT_EQ(one[0], 1);
  EXPECT_EQ(one[1], 1);
  EXPECT_EQ(one[2], 1);
  EXPECT_EQ(one[3], 255);
}

TEST(BitmapModel, RowsAreStoredBottomUp) {
  CDrawDibBmp bmp;
  bmp.Create(3, 2, 32, false);
  EXPECT_EQ(bmp.LineLength(), 12);
  EXPECT_EQ(bmp.lineArray[1], bmp.bits);
  EXPECT_EQ(bmp.lineArray[0], bmp.lineArray[1] + 12);
  EXPECT_EQ(bmp.palette, nullptr);
}

TEST(BitmapModel, LineLengthRoundsBitsUpToFourBytes) {
  EXPECT_EQ(CBmp::LineLengthFor(9, 4), 8);
  EXPECT_EQ(CBmp::LineLengthFor(9, 1), 4);
  EXPECT_EQ(CBmp::LineLengthFor(5, 24), 16);
}

TEST(BitmapModel, ColourTableFollowsDepth) {
  CDrawDibBmp bmp;
  bmp.Create(4, 4, 32, false);
  bmp.Create(4, 4, 8, false);
  ASSERT_NE(bmp.palette, nullptr);
  EXPECT_EQ(bmp.palette[4 * 200], 200);
  bmp.Create(4, 4, 4, false);
  EXPECT_EQ(bmp.palette[4 * 1], 17);
  bmp.Create(4, 4, 32, false);
  EXPECT_EQ(bmp.palette, nullptr);
}

TEST(BitmapModel, MemoryUseCountsHeaderTableAndRows) {
  CDrawDibBmp bmp;
  bmp.Create(64, 64, 32, true);
  EXPECT_EQ(bmp.MemoryUsed(), 16460);
  bmp.Create(16, 16, 8, false);
  EXPECT_EQ(bmp.MemoryUsed(), 16 * 16 + 40 + 1024 + 36);
}

TEST(BitmapModel, NewDibSectionRowsAreZero) {
  CDrawDibBmp bmp;
  bmp.Create(7, 5, 32, false);
  for (int y = 0; y < 5; ++y)
    for (int i = 0; i < 28; ++i) ASSERT_EQ(bmp.lineArray[y][i], 0);
}

TEST(BitmapModel, AbsurdSizesFailBeforeAllocating) {
  CDrawDibBmp bmp;
  EXPECT_THROW(bmp.Create(65536, 10, 32, false), std::bad_alloc);
  EXPECT_THROW(bmp.Create(60000, 60000, 32, false), std::bad_alloc);
  bmp.Create(2, 2, 32, false);
  EXPECT_EQ(bmp.width, 2);
}

TEST(BitmapModel, HeaderDescribesStorage) {
  CWinBmp bmp;
  bmp.Create(5, 3, 24, false);
  const BitmapInfoHeader& header = bmp.Header();
  EXPECT_EQ(header.biSize, 40u);
  EXPECT_EQ(header.biWidth, 5);
  EXPECT_EQ(header.biHeight, 3);
  EXPECT_EQ(header.biPlanes, 1);
  EXPECT_EQ(header.biBitCount, 24);
  EXPECT_EQ(header.biCompression, 0u);
  EXPECT_EQ(bmp.lineArray[2], bmp.bits);
}

}  // namespace
}  // namespace tesselor

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "windows.h"

namespace {

using namespace std::string_literals;

HINSTANCE Self() { return QFModuleFromAddress(reinterpret_cast<const void*>(&Self)); }

// The test program's bitmaps 7 and 8 (the same 3 x 2 picture, stored
// bottom-up and top-down), selected into a memory context.
class ColourBitmap : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    bitmap = LoadBitmapA(Self(), MAKEINTRESOURCEA(GetParam()));
    ASSERT_NE(bitmap, nullptr);
    dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    previous = SelectObject(dc, bitmap);
    ASSERT_NE(previous, nullptr);
  }
  void TearDown() override {
    SelectObject(dc, previous);
    EXPECT_EQ(DeleteDC(dc), TRUE);
    EXPECT_EQ(DeleteObject(bitmap), TRUE);
  }
  // Rows of the bitmap as GetDIBits gives them for the given header size.
  std::string Rows(LONG width, LONG height, UINT start, UINT lines, int* result) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    std::string bits(stride * lines, '?');
    *result = GetDIBits(dc, static_cast<HBITMAP>(bitmap), start, lines, bits.data(), &info,
                        DIB_RGB_COLORS);
    return bits;
  }

  HGDIOBJ bitmap = nullptr;
  HDC dc = nullptr;
  HGDIOBJ previous = nullptr;
};

TEST_P(ColourBitmap, PixelsReadTopRowFirstWithRedLow) {
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 0, 0), 0x000000FFu);
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(dc, 2, 0), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, 0, 1), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(10, 20, 30));
  EXPECT_EQ(GetPixel(dc, 2, 1), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 3, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(dc, 0, 2), CLR_INVALID);
  EXPECT_EQ(GetPixel(dc, 0, -1), CLR_INVALID);
}

// Rows are blue, green, red bytes, padded to 4 bytes.
const std::string kTopRow =
    "\0\0\xff"
    "\0\xff\0"
    "\xff\0\0"
    "\0\0\0"s;
const std::string kBottomRow =
    "\xff\xff\xff"
    "\x1e\x14\x0a"
    "\0\0\0"
    "\0\0\0"s;

TEST_P(ColourBitmap, DIBitsComeBottomUpOrTopDownAsAsked) {
  int result = 0;
  EXPECT_EQ(Rows(3, 2, 0, 2, &result), kBottomRow + kTopRow);
  EXPECT_EQ(result, 2);
  EXPECT_EQ(Rows(3, -2, 0, 2, &result), kTopRow + kBottomRow);
  EXPECT_EQ(result, 2);
  EXPECT_EQ(Rows(3, 2, 1, 1, &result), kTopRow)
      << "scan line 1 of a bottom-up image is the top row";
  EXPECT_EQ(result, 1);
  EXPECT_EQ(Rows(3, 2, 1, 5, &result).substr(0, 12), kTopRow) << "cut at the image's last line";
  EXPECT_EQ(result, 1);
  Rows(3, 2, 2, 1, &result);
  EXPECT_EQ(result, 0) << "starts past the image";
}

TEST_P(ColourBitmap, DIBitsOfALargerImageKeepTheBitmapAtTheTopLeft) {
  int result = 0;
  const std::string rows = Rows(4, 3, 0, 3, &result);
  EXPECT_EQ(result, 3);
  const std::string black(12, '\0');
  EXPECT_EQ(rows, black + kBottomRow + kTopRow);
}

TEST_P(ColourBitmap, DIBitsWithoutBitsDescribeTheBitmap) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  EXPECT_NE(GetDIBits(dc, static_cast<HBITMAP>(bitmap), 0, 2, nullptr, &info, DIB_RGB_COLORS), 0);
  EXPECT_EQ(info.bmiHeader.biWidth, 3);
  EXPECT_EQ(info.bmiHeader.biHeight, 2);
  EXPECT_EQ(info.bmiHeader.biPlanes, 1);
  EXPECT_EQ(info.bmiHeader.biBitCount, 24);
  EXPECT_EQ(info.bmiHeader.biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(info.bmiHeader.biSizeImage, 24u);

  unsigned char bits[64];
  info.bmiHeader.biBitCount = 32;
  EXPECT_EQ(GetDIBits(dc, static_cast<HBITMAP>(bitmap), 0, 2, bits, &info, DIB_RGB_COLORS), 0)
      << "24 bits only";
  info.bmiHeader.biSize = 12;
  EXPECT_EQ(GetDIBits(dc, static_cast<HBITMAP>(bitmap), 0, 2, bits, &info, DIB_RGB_COLORS), 0)
      << "short header";
}

INSTANTIATE_TEST_SUITE_P(BottomUpAndTopDown, ColourBitmap, ::testing::Values(7, 8));

TEST(Gdi, MemoryContextStartsWithOneBlackPixel) {
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 1, 0), CLR_INVALID);
  EXPECT_EQ(DeleteDC(dc), TRUE);
}

TEST(Gdi, MisuseIsRefusedNotFollowed) {
  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  HDC a = CreateCompatibleDC(screen);
  HDC b = CreateCompatibleDC(screen);
  HGDIOBJ bitmap = LoadBitmapA(Self(), MAKEINTRESOURCEA(7));
  ASSERT_NE(bitmap, nullptr);

  EXPECT_EQ(SelectObject(screen, bitmap), nullptr) << "bitmaps go into memory contexts";
  EXPECT_EQ(GetPixel(screen, 0, 0), CLR_INVALID);
  ASSERT_NE(SelectObject(a, bitmap), nullptr);
  EXPECT_EQ(SelectObject(b, bitmap), nullptr) << "already in another context";
  EXPECT_EQ(DeleteObject(bitmap), FALSE) << "still selected";
  EXPECT_EQ(SelectObject(a, reinterpret_cast<HGDIOBJ>(b)), nullptr) << "a context is no object";
  EXPECT_EQ(DeleteObject(reinterpret_cast<HGDIOBJ>(a)), FALSE);

  EXPECT_EQ(DeleteDC(screen), FALSE) << "a screen context is released";
  EXPECT_EQ(ReleaseDC(nullptr, a), 0) << "a memory context is deleted";
  EXPECT_EQ(DeleteDC(a), TRUE);  // lets go of the bitmap
  EXPECT_EQ(DeleteDC(a), FALSE);
  EXPECT_EQ(GetPixel(a, 0, 0), CLR_INVALID);
  EXPECT_NE(SelectObject(b, bitmap), nullptr) << "free for another context";
  EXPECT_EQ(DeleteDC(b), TRUE);
  EXPECT_EQ(DeleteObject(bitmap), TRUE);
  EXPECT_EQ(DeleteObject(bitmap), FALSE) << "deleted twice";
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
  EXPECT_EQ(ReleaseDC(nullptr, screen), 0) << "released twice";
  EXPECT_EQ(CreateCompatibleDC(screen), nullptr) << "from a released context";

  int not_a_handle = 0;
  EXPECT_EQ(DeleteObject(reinterpret_cast<HGDIOBJ>(&not_a_handle)), FALSE);
  EXPECT_EQ(GetPixel(reinterpret_cast<HDC>(&not_a_handle), 0, 0), CLR_INVALID);
}

TEST(Gdi, LoadBitmapNeedsABitmapResource) {
  EXPECT_EQ(LoadBitmapA(Self(), MAKEINTRESOURCEA(1)), nullptr) << "1 is a property list";
  EXPECT_EQ(LoadBitmapA(Self(), MAKEINTRESOURCEA(999)), nullptr) << "the program has no 999";
  HGDIOBJ by_text = LoadBitmapA(Self(), "#7");
  EXPECT_NE(by_text, nullptr);
  EXPECT_EQ(DeleteObject(by_text), TRUE);
}

}  // namespace

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "probe.h"

namespace {

using namespace std::string_literals;

std::string ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type) {
  HRSRC res = FindResourceA(module, name, type);
  if (!res) return "(missing)";
  const void* data = LockResource(LoadResource(module, res));
  if (!data) return "(unreadable)";
  return std::string(static_cast<const char*>(data), SizeofResource(module, res));
}

// The property list both builds carry, but for the name block: the name as one
// length byte, its characters and zeros, 20 bytes in all.
std::string PropertyList(const std::string& name_block) {
  return "\x01\x00"
         "\0\0\0\0"
         "\x0b\0\0\0"s +
         "MIB8"
         "dnik"
         "\0\0\0\0"
         "\x04\0\0\0"
         "TKFe"s +
         "MIB8"
         "eman"
         "\0\0\0\0"
         "\x14\0\0\0"s +
         name_block +
         "MIB8"
         "gtac"
         "\0\0\0\0"
         "\x10\0\0\0"
         "\x0cMorrowglints"
         "\0\0\0"s +
         "MIB8"
         "4668"
         "\0\0\0\0"
         "\x10\0\0\0"
         "EntryPointFunc"
         "\0\0"s +
         "MIB8"
         "RVPe"
         "\0\0\0\0"
         "\x04\0\0\0"
         "\x02\0"
         "\0\0"s +
         "MIB8"
         "RVSe"
         "\0\0\0\0"
         "\x04\0\0\0"
         "\x0d\0"
         "\x02\0"s +
         "MIB8"
         "REVe"
         "\0\0\0\0"
         "\x04\0\0\0"
         "\x01\0"
         "\x10\0"s +
         "MIB8"
         "FNIe"
         "\0\0\0\0"
         "\x02\0\0\0"
         "\0\0"
         "\0\0"s +
         "MIB8"
         "OLGe"
         "\0\0\0\0"
         "\x04\0\0\0"
         "\x54\x84\x00\x06"s +
         "MIB8"
         "ANMe"
         "\0\0\0\0"
         "\x14\0\0\0"s +
         name_block +
         "MIB8"
         "LFea"
         "\0\0\0\0"
         "\x04\0\0\0"
         "\0\0\0\0"s;
}

WORD LanguageOf(const QFResourceTable* table, uintptr_t id) {
  for (size_t i = 0; i < table->count; ++i)
    if (table->entries[i].id == id) return table->entries[i].language;
  return 0xFFFF;
}

TEST(PropertyList, FloralBytesAreExact) {
  Probe probe(QF_PROBE_FLORAL);
  ASSERT_NE(probe.module, nullptr);
  const std::string expected = PropertyList(
      "\x11QuillFrame Floral"
      "\0\0"s);
  ASSERT_EQ(expected.size(), 286u);
  EXPECT_EQ(ResourceBytes(probe.module, MAKEINTRESOURCEA(16000), "PIPL"), expected);
  EXPECT_EQ(LanguageOf(probe.Resources(), 16000), 1033);
  EXPECT_EQ(LanguageOf(probe.Resources(), 999), 1033);
}

TEST(PropertyList, GeometryBytesAreExact) {
  Probe probe(QF_PROBE_GEOMETRY);
  ASSERT_NE(probe.module, nullptr);
  EXPECT_EQ(ResourceBytes(probe.module, MAKEINTRESOURCEA(16000), "PIPL"),
            PropertyList("\x13QuillFrame Geometry"s));
  EXPECT_EQ(LanguageOf(probe.Resources(), 16000), 1049);
  EXPECT_EQ(LanguageOf(probe.Resources(), 999), 1049);
}

TEST(FindResource, TwoModulesKeepTheirOwnResources) {
  Probe floral(QF_PROBE_FLORAL);
  Probe geometry(QF_PROBE_GEOMETRY);
  ASSERT_NE(floral.module, geometry.module);
  EXPECT_NE(floral.Resources(), geometry.Resources());
  EXPECT_NE(ResourceBytes(floral.module, MAKEINTRESOURCEA(16000), "PIPL"),
            ResourceBytes(geometry.module, MAKEINTRESOURCEA(16000), "PIPL"));
  // A handle of one module's resource is not the other module's.
  HRSRC res = FindResourceA(floral.module, MAKEINTRESOURCEA(16000), "PIPL");
  ASSERT_NE(res, nullptr);
  EXPECT_EQ(LoadResource(geometry.module, res), nullptr);
  EXPECT_EQ(SizeofResource(geometry.module, res), 0u);
}

TEST(FindResource, NamesAndTypesByIdOrText) {
  const HMODULE self = QFModuleFromAddress(reinterpret_cast<const void*>(&LanguageOf));
  HRSRC pipl = FindResourceA(self, MAKEINTRESOURCEA(1), "PIPL");
  ASSERT_NE(pipl, nullptr);
  EXPECT_EQ(FindResourceA(self, "#1", "pipl"), pipl) << "type text compared without case";
  EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(1), "Pipl"), pipl)
      << "null module: the program";
  EXPECT_EQ(FindResourceA(self, MAKEINTRESOURCEA(7), RT_BITMAP), FindResourceA(self, "#7", "#2"));
  EXPECT_NE(FindResourceA(self, MAKEINTRESOURCEA(7), RT_BITMAP), nullptr);
  EXPECT_EQ(SizeofResource(self, pipl), 10u + 16 + 4 + 16 + 16);

  EXPECT_EQ(FindResourceA(self, MAKEINTRESOURCEA(1), RT_BITMAP), nullptr) << "id of another type";
  EXPECT_EQ(FindResourceA(self, MAKEINTRESOURCEA(7), "PIPL"), nullptr);
  EXPECT_EQ(FindResourceA(self, MAKEINTRESOURCEA(1), "PIPLX"), nullptr);
  EXPECT_EQ(FindResourceA(self, MAKEINTRESOURCEA(1), "PIP"), nullptr);
  EXPECT_EQ(FindResourceA(self, "#1x", "PIPL"), nullptr);
  EXPECT_EQ(FindResourceA(self, "ONE", "PIPL"), nullptr);

  int not_a_module = 0;
  EXPECT_EQ(FindResourceA(reinterpret_cast<HMODULE>(&not_a_module), MAKEINTRESOURCEA(1), "PIPL"),
            nullptr);
  EXPECT_EQ(LoadResource(self, reinterpret_cast<HRSRC>(&not_a_module)), nullptr);
}

std::vector<unsigned char> ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
}

// Each build's bitmap 999 reads as the committed file: 40 x 40, grey, its
// bottom file row the picture's top row.
TEST(BumpBitmap, EachBuildLoadsTheGreyRelief) {
  const std::vector<unsigned char> file = ReadFile(QF_BUMP_BMP);
  ASSERT_EQ(file.size(), 14u + 40 + 4800);
  for (const char* path : {QF_PROBE_FLORAL, QF_PROBE_GEOMETRY}) {
    SCOPED_TRACE(path);
    Probe probe(path);
    HBITMAP bitmap = LoadBitmapA(probe.module, MAKEINTRESOURCEA(999));
    ASSERT_NE(bitmap, nullptr);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    ASSERT_NE(previous, nullptr);
    int mismatches = 0, levels_seen[256] = {0};
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) {
        const COLORREF c = GetPixel(dc, x, y);
        const unsigned char* p = &file[54 + (39 - y) * 120 + x * 3];
        mismatches += c != RGB(p[2], p[1], p[0]) || GetRValue(c) != GetGValue(c) ||
                      GetRValue(c) != GetBValue(c);
        levels_seen[GetRValue(c)] = 1;
      }
    EXPECT_EQ(mismatches, 0);
    int distinct = 0;
    for (int seen : levels_seen) distinct += seen;
    EXPECT_GT(distinct, 40) << "a relief, not a flat picture";
    EXPECT_EQ(GetPixel(dc, 40, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(dc, 0, 40), CLR_INVALID);
    EXPECT_EQ(GetPixel(dc, -1, 0), CLR_INVALID);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 40;
    info.bmiHeader.biHeight = 40;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    std::vector<unsigned char> rows(4800);
    EXPECT_EQ(
        GetDIBits(dc, static_cast<HBITMAP>(bitmap), 0, 40, rows.data(), &info, DIB_RGB_COLORS), 40);
    EXPECT_TRUE(std::equal(rows.begin(), rows.end(), file.begin() + 54))
        << "bottom-up rows as in the file";

    EXPECT_EQ(SelectObject(dc, previous), bitmap);
    EXPECT_EQ(DeleteDC(dc), TRUE);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_EQ(DeleteObject(bitmap), TRUE);
  }
}

}  // namespace

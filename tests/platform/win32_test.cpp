#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// ---- Page allocator ----

TEST(PageAllocator, GivesZeroedPagesAndReleasesWholeReservations) {
  auto* block = static_cast<unsigned char*>(VirtualAlloc(nullptr, 10000, MEM_COMMIT, PAGE_READWRITE));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 4096, 0u);
  for (int i = 0; i < 10000; ++i) ASSERT_EQ(block[i], 0) << i;
  block[9999] = 7;  // writable to the last byte asked for
  EXPECT_TRUE(VirtualFree(block, 0, MEM_RELEASE));
  EXPECT_FALSE(VirtualFree(block, 0, MEM_RELEASE)) << "a second release is refused";
}

TEST(PageAllocator, RefusesWhatItCannotOrShouldNotDo) {
  EXPECT_EQ(VirtualAlloc(nullptr, 0, MEM_COMMIT, PAGE_READWRITE), nullptr);
  EXPECT_EQ(VirtualAlloc(nullptr, SIZE_MAX, MEM_COMMIT, PAGE_READWRITE), nullptr);
  EXPECT_FALSE(VirtualFree(nullptr, 0, MEM_RELEASE));
  int local = 0;
  EXPECT_FALSE(VirtualFree(&local, 0, MEM_RELEASE));
}

// ---- Modules and their resources ----

class Deliverable : public ::testing::Test {
 protected:
  static HMODULE Load(const char* path) {
    HMODULE module = LoadLibraryA(path);
    EXPECT_NE(module, nullptr) << path;
    return module;
  }
  static std::vector<unsigned char> Resource(HMODULE module, int id, LPCSTR type) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found) return {};
    auto* data = static_cast<unsigned char*>(LockResource(LoadResource(module, found)));
    return std::vector<unsigned char>(data, data + SizeofResource(module, found));
  }
};

TEST_F(Deliverable, InstanceIsTheModuleThatHoldsItsCode) {
  HMODULE floral = Load(QF_FLORAL_AEX);
  HMODULE geometry = Load(QF_GEOMETRY_AEX);
  ASSERT_NE(floral, geometry);
  FARPROC entry = GetProcAddress(floral, "EntryPointFunc");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(QFModuleFromAddress(reinterpret_cast<const void*>(entry)), floral);
  EXPECT_EQ(GetProcAddress(floral, "NoSuchFunction"), nullptr);
  EXPECT_EQ(LoadLibraryA("/nonexistent/module.aex"), nullptr);
}

TEST_F(Deliverable, FileNameIsTheRealPathAndIsCutToTheBuffer) {
  HMODULE floral = Load(QF_FLORAL_AEX);
  char* real = realpath(QF_FLORAL_AEX, nullptr);
  ASSERT_NE(real, nullptr);
  char path[1024];
  DWORD length = GetModuleFileNameA(floral, path, sizeof(path));
  EXPECT_EQ(std::string(path, length), real);

  char small[8];
  EXPECT_EQ(GetModuleFileNameA(floral, small, sizeof(small)), 7u);
  EXPECT_EQ(std::string(small), std::string(real).substr(0, 7));
  std::free(real);

  // The main program, by a null module.
  EXPECT_GT(GetModuleFileNameA(nullptr, path, sizeof(path)), 0u);
  EXPECT_NE(std::string(path).find("platform_tests"), std::string::npos);
}

// The property list as the host reads it, built here from its documented layout.
std::vector<unsigned char> ExpectedPipl(const std::string& name) {
  std::vector<unsigned char> out;
  auto u16 = [&](unsigned v) { out.push_back(v & 0xFF), out.push_back(v >> 8); };
  auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
  auto code = [&](const char* c) { for (int i = 3; i >= 0; --i) out.push_back(c[i]); };
  auto prop = [&](const char* key, std::vector<unsigned char> data) {
    code("8BIM"), code(key), u32(0), u32(static_cast<uint32_t>(data.size()));
    while (data.size() % 4) data.push_back(0);
    out.insert(out.end(), data.begin(), data.end());
  };
  auto text = [](const std::string& s, size_t length) {
    std::vector<unsigned char> d(length, 0);
    d[0] = static_cast<unsigned char>(s.size());
    std::memcpy(&d[1], s.data(), s.size());
    return d;
  };
  u16(1), u32(0), u32(11);
  prop("kind", {'T', 'K', 'F', 'e'});
  prop("name", text(name, 20));
  prop("catg", text("Morrowglints", 16));
  std::vector<unsigned char> entry(16, 0);
  std::memcpy(entry.data(), "EntryPointFunc", 14);
  prop("8664", entry);
  prop("ePVR", {2, 0, 0, 0});
  prop("eSVR", {13, 0, 2, 0});
  prop("eVER", {0x01, 0x00, 0x10, 0x00});
  prop("eINF", {0, 0});
  prop("eGLO", {0x54, 0x84, 0x00, 0x06});
  prop("eMNA", text(name, 20));
  prop("aeFL", {0, 0, 0, 0});
  return out;
}

TEST_F(Deliverable, PropertyListsAreByteExact) {
  EXPECT_EQ(Resource(Load(QF_FLORAL_AEX), 16000, "PIPL"), ExpectedPipl("QuillFrame Floral"));
  EXPECT_EQ(Resource(Load(QF_GEOMETRY_AEX), 16000, "PIPL"), ExpectedPipl("QuillFrame Geometry"));
  EXPECT_TRUE(Resource(Load(QF_FLORAL_AEX), 16001, "PIPL").empty());
  EXPECT_TRUE(Resource(Load(QF_FLORAL_AEX), 16000, "OTHER").empty());
}

// ---- Bitmaps ----

TEST_F(Deliverable, BumpBitmapReadsAsGreyPixelsAndAsRows) {
  HMODULE floral = Load(QF_FLORAL_AEX);
  HBITMAP bitmap = LoadBitmapA(floral, MAKEINTRESOURCEA(999));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(LoadBitmapA(floral, MAKEINTRESOURCEA(998)), nullptr);

  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  ASSERT_NE(previous, nullptr);
  EXPECT_EQ(GetPixel(dc, 40, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(dc, 0, -1), CLR_INVALID);

  BITMAPINFO info = {};
  ASSERT_GT(GetDIBits(dc, bitmap, 0, 40, nullptr, &info, DIB_RGB_COLORS), 0);
  EXPECT_EQ(info.bmiHeader.biWidth, 40);
  EXPECT_EQ(info.bmiHeader.biHeight, 40);
  EXPECT_EQ(info.bmiHeader.biBitCount, 24);
  std::vector<unsigned char> rows(120 * 40);
  ASSERT_EQ(GetDIBits(dc, bitmap, 0, 40, rows.data(), &info, DIB_RGB_COLORS), 40);

  int levels[256] = {};
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      COLORREF c = GetPixel(dc, x, y);
      ASSERT_EQ(GetRValue(c), GetGValue(c));
      ASSERT_EQ(GetRValue(c), GetBValue(c));
      ++levels[GetRValue(c)];
      // Rows come bottom-up in blue, green, red order.
      const unsigned char* p = &rows[(39 - y) * 120 + x * 3];
      ASSERT_EQ(p[2], GetRValue(c)) << x << "," << y;
    }
  int distinct = 0;
  for (int n : levels) distinct += n > 0;
  EXPECT_GT(distinct, 16) << "a relief needs many grey levels";

  EXPECT_FALSE(DeleteObject(bitmap)) << "a selected bitmap stays";
  SelectObject(dc, previous);
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_FALSE(DeleteObject(bitmap));
}

}  // namespace

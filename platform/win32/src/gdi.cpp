// Device contexts and bitmaps: just enough GDI for reading bitmap resources
// pixel by pixel or as rows of device-independent bits.
#include <windows.h>

#include <cstring>
#include <mutex>
#include <set>
#include <vector>

namespace {

// Registries live until the process ends: modules still loaded at exit run
// their unload code after static objects would have been destroyed.

struct Bitmap {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;  // top row first
};

struct DeviceContext {
  bool screen = false;
  Bitmap* selected = nullptr;
};

// A memory context starts with this 1 x 1 bitmap selected, as on Windows.
Bitmap& StockBitmap() {
  static Bitmap stock{1, 1, {0}};
  return stock;
}

std::mutex& Lock() {
  static auto* lock = new std::mutex();
  return *lock;
}
std::set<Bitmap*>& Bitmaps() {
  static auto* bitmaps = new std::set<Bitmap*>();
  return *bitmaps;
}
std::set<DeviceContext*>& Contexts() {
  static auto* contexts = new std::set<DeviceContext*>();
  return *contexts;
}

DeviceContext* FindContext(HDC dc) {
  auto* c = reinterpret_cast<DeviceContext*>(dc);
  return Contexts().count(c) ? c : nullptr;
}
Bitmap* FindBitmap(HGDIOBJ object) {
  auto* b = reinterpret_cast<Bitmap*>(object);
  if (b == &StockBitmap()) return b;
  return Bitmaps().count(b) ? b : nullptr;
}

uint32_t Read32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Read16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Decodes a device-independent bitmap (header, then rows) of 24 or 32 bits.
Bitmap* DecodeDib(const unsigned char* data, DWORD size) {
  if (size < 40 || Read32(data) < 40) return nullptr;
  const uint32_t header = Read32(data);
  const int32_t width = static_cast<int32_t>(Read32(data + 4));
  const int32_t signed_height = static_cast<int32_t>(Read32(data + 8));
  const int bits = Read16(data + 14);
  const uint32_t compression = Read32(data + 16);
  if (width <= 0 || width > 65536 || signed_height == 0 || signed_height < -65536 ||
      signed_height > 65536 || (bits != 24 && bits != 32) || compression != BI_RGB) {
    return nullptr;
  }
  const int height = signed_height < 0 ? -signed_height : signed_height;
  const size_t row_bytes = ((static_cast<size_t>(width) * bits + 31) & ~size_t(31)) / 8;
  if (header > size || (size - header) / row_bytes < static_cast<size_t>(height)) return nullptr;
  auto* bitmap = new Bitmap{width, height, std::vector<COLORREF>(size_t(width) * height)};
  const unsigned char* rows = data + header;
  for (int y = 0; y < height; ++y) {
    const int stored = signed_height > 0 ? height - 1 - y : y;  // bottom-up unless negative
    const unsigned char* row = rows + row_bytes * stored;
    for (int x = 0; x < width; ++x) {
      const unsigned char* p = row + x * (bits / 8);
      bitmap->pixels[size_t(y) * width + x] = RGB(p[2], p[1], p[0]);
    }
  }
  return bitmap;
}

}  // namespace

HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name) {
  HRSRC resource = FindResourceA(instance, name, RT_BITMAP);
  if (!resource) return nullptr;
  auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(instance, resource)));
  Bitmap* bitmap = DecodeDib(data, SizeofResource(instance, resource));
  if (!bitmap) return nullptr;
  std::lock_guard<std::mutex> guard(Lock());
  Bitmaps().insert(bitmap);
  return reinterpret_cast<HBITMAP>(bitmap);
}

HDC GetDC(HWND) {
  auto* dc = new DeviceContext{true, nullptr};
  std::lock_guard<std::mutex> guard(Lock());
  Contexts().insert(dc);
  return reinterpret_cast<HDC>(dc);
}

int ReleaseDC(HWND, HDC dc) {
  std::lock_guard<std::mutex> guard(Lock());
  DeviceContext* c = FindContext(dc);
  if (!c || !c->screen) return 0;
  Contexts().erase(c);
  delete c;
  return 1;
}

HDC CreateCompatibleDC(HDC) {
  auto* dc = new DeviceContext{false, &StockBitmap()};
  std::lock_guard<std::mutex> guard(Lock());
  Contexts().insert(dc);
  return reinterpret_cast<HDC>(dc);
}

BOOL DeleteDC(HDC dc) {
  std::lock_guard<std::mutex> guard(Lock());
  DeviceContext* c = FindContext(dc);
  if (!c || c->screen) return FALSE;
  Contexts().erase(c);
  delete c;
  return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  std::lock_guard<std::mutex> guard(Lock());
  DeviceContext* c = FindContext(dc);
  Bitmap* b = FindBitmap(object);
  if (!c || c->screen || !b) return nullptr;
  Bitmap* previous = c->selected;
  c->selected = b;
  return reinterpret_cast<HGDIOBJ>(previous);
}

BOOL DeleteObject(HGDIOBJ object) {
  std::lock_guard<std::mutex> guard(Lock());
  auto* b = reinterpret_cast<Bitmap*>(object);
  if (b == &StockBitmap()) return TRUE;
  if (!Bitmaps().count(b)) return FALSE;
  for (DeviceContext* c : Contexts()) {
    if (c->selected == b) return FALSE;  // still selected into a context
  }
  Bitmaps().erase(b);
  delete b;
  return TRUE;
}

COLORREF GetPixel(HDC dc, int x, int y) {
  std::lock_guard<std::mutex> guard(Lock());
  DeviceContext* c = FindContext(dc);
  if (!c || !c->selected) return CLR_INVALID;
  const Bitmap& b = *c->selected;
  if (x < 0 || y < 0 || x >= b.width || y >= b.height) return CLR_INVALID;
  return b.pixels[size_t(y) * b.width + x];
}

int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, BITMAPINFO* info,
              UINT) {
  std::lock_guard<std::mutex> guard(Lock());
  Bitmap* b = FindBitmap(bitmap);
  if (!FindContext(dc) || !b || !info) return 0;
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (!bits) {
    std::memset(&h, 0, sizeof(h));
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = b->width;
    h.biHeight = b->height;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(((b->width * 24 + 31) & ~31) / 8 * b->height);
    return b->height;
  }
  if ((h.biBitCount != 24 && h.biBitCount != 32) || h.biWidth != b->width) return 0;
  const bool bottom_up = h.biHeight > 0;
  const size_t row_bytes = ((static_cast<size_t>(b->width) * h.biBitCount + 31) & ~size_t(31)) / 8;
  auto* out = static_cast<unsigned char*>(bits);
  UINT copied = 0;
  for (UINT scan = start; scan < start + lines && scan < static_cast<UINT>(b->height); ++scan) {
    // Scan 0 is the bottom row of a bottom-up image and the top row otherwise.
    const int y = bottom_up ? b->height - 1 - static_cast<int>(scan) : static_cast<int>(scan);
    unsigned char* row = out + row_bytes * (scan - start);
    std::memset(row, 0, row_bytes);
    for (int x = 0; x < b->width; ++x) {
      COLORREF c = b->pixels[size_t(y) * b->width + x];
      unsigned char* p = row + x * (h.biBitCount / 8);
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
    }
    ++copied;
  }
  return static_cast<int>(copied);
}

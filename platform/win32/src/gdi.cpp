// Device contexts and bitmaps. Handles are numbers handed out once and looked
// up on every call, so a stale or foreign handle is refused, never followed.
// A bitmap keeps its pixels as colour values, top row first.
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "windows.h"

namespace {

struct Bitmap {
  LONG width = 0;
  LONG height = 0;
  std::vector<COLORREF> pixels;
  HDC selected_in = nullptr;  // the memory context holding it, if any
  bool stock = false;         // the 1 x 1 bitmap every memory context starts with
};

struct DeviceContext {
  bool memory = false;  // a memory context holds a bitmap; a screen context does not
  uintptr_t bitmap = 0;
};

std::mutex g_mutex;
uintptr_t g_next_handle = 0x10000;
uintptr_t g_stock_bitmap = 0;

std::unordered_map<uintptr_t, Bitmap>& Bitmaps() {
  static auto* map = new std::unordered_map<uintptr_t, Bitmap>;
  return *map;
}
std::unordered_map<uintptr_t, DeviceContext>& Contexts() {
  static auto* map = new std::unordered_map<uintptr_t, DeviceContext>;
  return *map;
}

uintptr_t NewHandle() {
  g_next_handle += 4;
  return g_next_handle;
}
uintptr_t Id(const void* handle) { return reinterpret_cast<uintptr_t>(handle); }
HDC AsDC(uintptr_t id) { return reinterpret_cast<HDC>(id); }
HGDIOBJ AsObject(uintptr_t id) { return reinterpret_cast<HGDIOBJ>(id); }

Bitmap* FindBitmap(uintptr_t id) {
  auto it = Bitmaps().find(id);
  return it == Bitmaps().end() ? nullptr : &it->second;
}
DeviceContext* FindContext(uintptr_t id) {
  auto it = Contexts().find(id);
  return it == Contexts().end() ? nullptr : &it->second;
}

uintptr_t StockBitmap() {
  if (!g_stock_bitmap) {
    g_stock_bitmap = NewHandle();
    Bitmap& b = Bitmaps()[g_stock_bitmap];
    b.width = b.height = 1;
    b.pixels.assign(1, RGB(0, 0, 0));
    b.stock = true;
  }
  return g_stock_bitmap;
}

size_t RowBytes24(LONG width) { return ((static_cast<size_t>(width) * 24 + 31) & ~size_t{31}) / 8; }

// Reads a packed device-independent bitmap (info header, colour table, rows):
// 24 bits a pixel, uncompressed, rows bottom-up for a positive height.
bool DecodeDib(const unsigned char* data, size_t size, Bitmap& out) {
  BITMAPINFOHEADER h;
  if (!data || size < sizeof h) return false;
  std::memcpy(&h, data, sizeof h);
  constexpr LONG kMaxSide = 1 << 15;
  if (h.biSize < sizeof h || h.biSize > size || h.biPlanes != 1 || h.biBitCount != 24 ||
      h.biCompression != BI_RGB || h.biWidth <= 0 || h.biWidth > kMaxSide || h.biHeight == 0 ||
      h.biHeight > kMaxSide || h.biHeight < -kMaxSide || h.biClrUsed > 256)
    return false;
  const bool bottom_up = h.biHeight > 0;
  const LONG height = bottom_up ? h.biHeight : -h.biHeight;
  const size_t offset = h.biSize + size_t{h.biClrUsed} * sizeof(RGBQUAD);
  const size_t stride = RowBytes24(h.biWidth);
  if (offset > size || (size - offset) / stride < static_cast<size_t>(height)) return false;
  out.width = h.biWidth;
  out.height = height;
  out.pixels.resize(static_cast<size_t>(h.biWidth) * static_cast<size_t>(height));
  for (LONG y = 0; y < height; ++y) {
    const unsigned char* row =
        data + offset + stride * static_cast<size_t>(bottom_up ? height - 1 - y : y);
    for (LONG x = 0; x < h.biWidth; ++x) {
      const unsigned char* p = row + 3 * x;
      out.pixels[static_cast<size_t>(y) * static_cast<size_t>(h.biWidth) + static_cast<size_t>(x)] =
          RGB(p[2], p[1], p[0]);
    }
  }
  return true;
}

void Deselect(uintptr_t bitmap) {
  Bitmap* b = FindBitmap(bitmap);
  if (b && !b->stock) b->selected_in = nullptr;
}

}  // namespace

QF_WIN32_API HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name) {
  HRSRC res = FindResourceA(instance, name, RT_BITMAP);
  if (!res) return nullptr;
  Bitmap b;
  if (!DecodeDib(static_cast<const unsigned char*>(LockResource(LoadResource(instance, res))),
                 SizeofResource(instance, res), b))
    return nullptr;
  std::lock_guard<std::mutex> lock(g_mutex);
  const uintptr_t id = NewHandle();
  Bitmaps()[id] = std::move(b);
  return AsObject(id);
}

// There are no windows yet: only the screen has a context.
QF_WIN32_API HDC GetDC(HWND window) {
  if (window) return nullptr;
  std::lock_guard<std::mutex> lock(g_mutex);
  const uintptr_t id = NewHandle();
  Contexts()[id] = DeviceContext{};
  return AsDC(id);
}

QF_WIN32_API int ReleaseDC(HWND window, HDC dc) {
  std::lock_guard<std::mutex> lock(g_mutex);
  DeviceContext* c = FindContext(Id(dc));
  if (window || !c || c->memory) return 0;
  Contexts().erase(Id(dc));
  return 1;
}

QF_WIN32_API HDC CreateCompatibleDC(HDC dc) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (dc && !FindContext(Id(dc))) return nullptr;
  const uintptr_t stock = StockBitmap();
  const uintptr_t id = NewHandle();
  Contexts()[id] = DeviceContext{true, stock};
  return AsDC(id);
}

QF_WIN32_API BOOL DeleteDC(HDC dc) {
  std::lock_guard<std::mutex> lock(g_mutex);
  DeviceContext* c = FindContext(Id(dc));
  if (!c || !c->memory) return FALSE;  // a screen context is released, not deleted
  Deselect(c->bitmap);
  Contexts().erase(Id(dc));
  return TRUE;
}

QF_WIN32_API HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  std::lock_guard<std::mutex> lock(g_mutex);
  DeviceContext* c = FindContext(Id(dc));
  Bitmap* b = FindBitmap(Id(object));
  if (!c || !c->memory || !b) return nullptr;
  // A bitmap lives in one memory context at a time.
  if (!b->stock && b->selected_in && b->selected_in != dc) return nullptr;
  const uintptr_t previous = c->bitmap;
  if (previous != Id(object)) Deselect(previous);
  if (!b->stock) b->selected_in = dc;
  c->bitmap = Id(object);
  return AsObject(previous);
}

QF_WIN32_API BOOL DeleteObject(HGDIOBJ object) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Bitmap* b = FindBitmap(Id(object));
  if (!b || b->selected_in) return FALSE;
  if (!b->stock) Bitmaps().erase(Id(object));
  return TRUE;
}

QF_WIN32_API COLORREF GetPixel(HDC dc, int x, int y) {
  std::lock_guard<std::mutex> lock(g_mutex);
  DeviceContext* c = FindContext(Id(dc));
  const Bitmap* b = c && c->memory ? FindBitmap(c->bitmap) : nullptr;
  if (!b || x < 0 || y < 0 || x >= b->width || y >= b->height) return CLR_INVALID;
  return b->pixels[static_cast<size_t>(y) * static_cast<size_t>(b->width) + static_cast<size_t>(x)];
}

// Without bits, describes the bitmap in the header. With bits, writes scan lines
// start .. start + lines - 1 of a 24-bit image of the header's size, in the
// header's row order (bottom-up for a positive height); the bitmap sits at the
// image's top left and whatever lies outside it is black.
QF_WIN32_API int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits,
                           BITMAPINFO* info, UINT usage) {
  std::lock_guard<std::mutex> lock(g_mutex);
  const Bitmap* b = FindBitmap(Id(bitmap));
  if (!FindContext(Id(dc)) || !b || !info || usage != DIB_RGB_COLORS) return 0;
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER)) return 0;
  if (!bits) {
    h = BITMAPINFOHEADER{};
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = b->width;
    h.biHeight = b->height;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(RowBytes24(b->width) * static_cast<size_t>(b->height));
    return b->height;
  }
  if (h.biBitCount != 24 || h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight == 0)
    return 0;
  const bool bottom_up = h.biHeight > 0;
  const UINT height = static_cast<UINT>(bottom_up ? h.biHeight : -static_cast<int64_t>(h.biHeight));
  if (start >= height) return 0;
  const UINT count = lines < height - start ? lines : height - start;
  const size_t stride = RowBytes24(h.biWidth);
  auto* out = static_cast<unsigned char*>(bits);
  for (UINT line = start; line < start + count; ++line) {
    unsigned char* row = out + stride * (line - start);
    std::memset(row, 0, stride);
    const LONG y = static_cast<LONG>(bottom_up ? height - 1 - line : line);
    if (y >= b->height) continue;
    const LONG width = h.biWidth < b->width ? h.biWidth : b->width;
    for (LONG x = 0; x < width; ++x) {
      const COLORREF c = b->pixels[static_cast<size_t>(y) * static_cast<size_t>(b->width) +
                                   static_cast<size_t>(x)];
      row[3 * x] = GetBValue(c);
      row[3 * x + 1] = GetGValue(c);
      row[3 * x + 2] = GetRValue(c);
    }
  }
  return static_cast<int>(count);
}

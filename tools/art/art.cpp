// qf-art: draws the plug-in's interface pictures as 24-bit BMP files.
//
//   qf-art FONT.ttf FOLDER
//
// writes into FOLDER (the tree keeps them in resources/bitmaps/, remade with
// /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf):
//   about101.bmp                   the About dialog's picture, 164 x 314
//   button123.bmp ... button134.bmp the skinned push button, 18 x 24 each: in each
//                                  look a right cap, a left cap and a middle strip
//                                  (normal 123-125, default 126-128, hover 129-131,
//                                  pressed 132-134)
//   panel781.bmp                   the effect panel's banner, 360 x 81
//   panel782.bmp, panel783.bmp     its About button, 84 x 35, and its hover look
//   panel784.bmp, panel785.bmp     its Help button, 72 x 35, and its hover look
//
// The dialog's pictures are stored bottom-up as usual; the panel reads its
// bitmaps' rows bottom-up and shows them top-down, so those are stored with the
// top row first. Only the panel's pictures carry text (rasterised with FreeType
// from FONT); the others come out the same on every run and machine.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "../bmp_file.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Colour {
  double r, g, b;
};

Colour Mix(Colour a, Colour b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour Rgb(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }

class Canvas {
 public:
  Canvas(int width, int height, Colour fill)
      : width_(width), height_(height), pixels_(width * height, fill) {}
  int width() const { return width_; }
  int height() const { return height_; }
  Colour& at(int x, int y) { return pixels_[y * width_ + x]; }
  const Colour& at(int x, int y) const { return pixels_[y * width_ + x]; }
  void Blend(int x, int y, Colour c, double alpha) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || alpha <= 0) return;
    at(x, y) = Mix(at(x, y), c, std::min(alpha, 1.0));
  }
  Canvas Crop(int left, int top, int width, int height) const {
    Canvas part(width, height, {0, 0, 0});
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) part.at(x, y) = at(left + x, top + y);
    return part;
  }

 private:
  int width_, height_;
  std::vector<Colour> pixels_;
};

// Paints every pixel with the share of its 4 x 4 samples for which inside(x, y) holds.
template <typename Inside>
void FillShape(Canvas& canvas, double x0, double y0, double x1, double y1, Colour c, double alpha,
               Inside inside) {
  const int left = std::max(0, static_cast<int>(std::floor(x0))),
            top = std::max(0, static_cast<int>(std::floor(y0)));
  const int right = std::min(canvas.width() - 1, static_cast<int>(std::ceil(x1)));
  const int bottom = std::min(canvas.height() - 1, static_cast<int>(std::ceil(y1)));
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
          hits += inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4) ? 1 : 0;
      canvas.Blend(x, y, c, alpha * hits / 16.0);
    }
}

// A fixed linear congruential sequence keeps every picture the same on every machine.
struct Sequence {
  uint32_t state;
  double Next() {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / 16777216.0;
  }
  double Between(double low, double high) { return low + (high - low) * Next(); }
};

// ---- Frost: triangles grown from an edge ------------------------------------

struct Point {
  double x, y;
};

struct Triangle {
  Point a, b, c;  // a-b lies on the parent, c is the tip
  int depth;
};

double Cross(Point o, Point p, Point q) {
  return (p.x - o.x) * (q.y - o.y) - (p.y - o.y) * (q.x - o.x);
}

// Grows a triangle on the base a-b towards the side the normal (b - a) turned
// left points to; on it a slightly smaller one continues the stem, and smaller
// ones branch off its two free sides, down to a few pixels.
void Grow(Point a, Point b, int depth, Sequence& seq, std::vector<Triangle>& out) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double base = std::sqrt(dx * dx + dy * dy);
  if (base < 1.6 || depth > 9) return;
  const double rise = base * seq.Between(0.9, 1.3), lean = seq.Between(-0.08, 0.08);
  const double nx = dy / base, ny = -dx / base;  // unit normal towards the tip
  const Point tip = {a.x + dx * (0.5 + lean) + nx * rise, a.y + dy * (0.5 + lean) + ny * rise};
  out.push_back({a, b, tip, depth});
  const Point sides[2][2] = {{a, tip}, {tip, b}};
  for (const auto& side : sides) {
    if (seq.Next() > 0.85) continue;
    const double from = seq.Between(0.25, 0.45), to = from + seq.Between(0.3, 0.4);
    const Point p = {side[0].x + (side[1].x - side[0].x) * from,
                     side[0].y + (side[1].y - side[0].y) * from};
    const Point q = {side[0].x + (side[1].x - side[0].x) * to,
                     side[0].y + (side[1].y - side[0].y) * to};
    Grow(p, q, depth + 1, seq, out);
  }
  // The stem goes on from two thirds of the way up, a little narrower and turned a little.
  const double width = base * seq.Between(0.62, 0.74) / 2, turn = seq.Between(-0.15, 0.15);
  const double ux = dx / base * std::cos(turn) - dy / base * std::sin(turn);
  const double uy = dx / base * std::sin(turn) + dy / base * std::cos(turn);
  const Point mid = {(a.x + b.x) / 2 + nx * rise * 0.66, (a.y + b.y) / 2 + ny * rise * 0.66};
  Grow({mid.x - ux * width, mid.y - uy * width}, {mid.x + ux * width, mid.y + uy * width},
       depth + 1, seq, out);
}

// Grows a row of frost fronds from the segment from-to; the fronds point to the
// left of the direction from-to.
std::vector<Triangle> FrostEdge(Point from, Point to, int fronds, double size, uint32_t seed) {
  Sequence seq{seed};
  std::vector<Triangle> all;
  const double dx = (to.x - from.x) / fronds, dy = (to.y - from.y) / fronds;
  for (int i = 0; i < fronds; ++i) {
    const double at = i + seq.Between(0.0, 0.5),
                 width = size * seq.Between(0.4, 1.0) / std::hypot(dx, dy);
    Grow({from.x + dx * at, from.y + dy * at},
         {from.x + dx * (at + width), from.y + dy * (at + width)}, 0, seq, all);
  }
  std::stable_sort(all.begin(), all.end(),
                   [](const Triangle& l, const Triangle& r) { return l.depth < r.depth; });
  return all;
}

// Ice: each triangle a pale translucent pane with a bright rim, the small ones fainter.
void DrawFrost(Canvas& canvas, const std::vector<Triangle>& frost, double strength) {
  for (const Triangle& t : frost) {
    const double x0 = std::min({t.a.x, t.b.x, t.c.x}), x1 = std::max({t.a.x, t.b.x, t.c.x});
    const double y0 = std::min({t.a.y, t.b.y, t.c.y}), y1 = std::max({t.a.y, t.b.y, t.c.y});
    const double sign = Cross(t.a, t.b, t.c) < 0 ? -1 : 1;
    const double fade = strength * (1 - 0.06 * t.depth);
    const auto inside = [&](double x, double y, double inset) {
      const Point p = {x, y};
      const Point corners[3] = {t.a, t.b, t.c};
      for (int i = 0; i < 3; ++i) {
        const Point u = corners[i], v = corners[(i + 1) % 3];
        const double edge = std::hypot(v.x - u.x, v.y - u.y);
        if (sign * Cross(u, v, p) < inset * edge) return false;
      }
      return true;
    };
    FillShape(canvas, x0, y0, x1, y1, Rgb(190, 228, 255), 0.14 * fade,
              [&](double x, double y) { return inside(x, y, 0); });
    FillShape(canvas, x0, y0, x1, y1, Rgb(240, 250, 255), 0.32 * fade,
              [&](double x, double y) { return inside(x, y, 0) && !inside(x, y, 0.8); });
  }
}

// Tiny four-pointed glints scattered over a region.
void DrawGlints(Canvas& canvas, int count, double x0, double y0, double x1, double y1,
                uint32_t seed) {
  Sequence seq{seed};
  for (int i = 0; i < count; ++i) {
    const double cx = seq.Between(x0, x1), cy = seq.Between(y0, y1), reach = seq.Between(1.5, 3.5);
    const double alpha = seq.Between(0.3, 0.8);
    FillShape(canvas, cx - reach, cy - reach, cx + reach, cy + reach, Rgb(235, 246, 255), alpha,
              [&](double x, double y) {
                const double ax = std::fabs(x - cx), ay = std::fabs(y - cy);
                return ax * ay < 0.35 && ax + ay < reach;
              });
  }
}

void VerticalGradient(Canvas& canvas, Colour top, Colour bottom) {
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x)
      canvas.at(x, y) = Mix(top, bottom, y / (canvas.height() - 1.0));
}

// ---- Buttons -----------------------------------------------------------------

struct ButtonLook {
  Colour rim, top, bottom;
};

// Signed distance from (x, y) to the edge of a rounded rectangle (negative inside).
double RoundedBoxDistance(double x, double y, double left, double top, double right, double bottom,
                          double radius) {
  const double cx = std::max({left + radius - x, 0.0, x - (right - radius)});
  const double cy = std::max({top + radius - y, 0.0, y - (bottom - radius)});
  if (cx > 0 && cy > 0) return std::sqrt(cx * cx + cy * cy) - radius;
  return std::max(cx, cy) - radius;
}

// A glossy rounded face over whatever the canvas holds: a soft shadow below,
// a one-pixel rim, the face shaded from top to bottom with a sheen on its upper half.
void DrawButtonFace(Canvas& canvas, double left, double top, double right, double bottom,
                    const ButtonLook& look) {
  const double radius = 6;
  FillShape(canvas, left, top, right, bottom + 1, Rgb(0, 0, 0), 0.16, [&](double x, double y) {
    return RoundedBoxDistance(x, y - 1, left, top, right, bottom, radius) < 0;
  });
  for (int y = static_cast<int>(top); y < static_cast<int>(std::ceil(bottom)); ++y)
    for (int x = std::max(0, static_cast<int>(left));
         x < std::min<int>(canvas.width(), std::ceil(right)); ++x) {
      double rim = 0, face = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) {
          const double d = RoundedBoxDistance(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4, left, top,
                                              right, bottom, radius);
          rim += d < 0 && d >= -1 ? 1 : 0;
          face += d < -1 ? 1 : 0;
        }
      const double t = (y + 0.5 - top) / (bottom - top);
      Colour shade = Mix(look.top, look.bottom, t);
      if (t < 0.45) shade = Mix(shade, Rgb(255, 255, 255), 0.35 * (1 - t / 0.45));
      Colour& p = canvas.at(x, y);
      const double r = rim / 16, f = face / 16, keep = 1 - r - f;
      p = {p.r * keep + look.rim.r * r + shade.r * f, p.g * keep + look.rim.g * r + shade.g * f,
           p.b * keep + look.rim.b * r + shade.b * f};
    }
}

// The skinned button's pieces of one look: {right cap, left cap, middle}, each
// 18 x 24 over the dialog's grey. The middle strip repeats the left cap's
// innermost column, so a stretched middle meets both caps without a seam.
std::vector<Canvas> ButtonPieces(const ButtonLook& look) {
  const Colour dialog = Rgb(232, 232, 232);
  Canvas whole(36, 24, dialog);
  DrawButtonFace(whole, 1, 1, 35, 22, look);
  Canvas left = whole.Crop(0, 0, 18, 24), right = whole.Crop(18, 0, 18, 24), middle(18, 24, dialog);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 18; ++x) middle.at(x, y) = left.at(17, y);
  return {right, left, middle};
}

// ---- Text ----------------------------------------------------------------------

class Font {
 public:
  explicit Font(const char* path) {
    ok_ = FT_Init_FreeType(&library_) == 0 && FT_New_Face(library_, path, 0, &face_) == 0;
  }
  ~Font() {
    if (face_) FT_Done_Face(face_);
    if (library_) FT_Done_FreeType(library_);
  }
  bool ok() const { return ok_; }

  int Width(const std::string& text, int size) { return Draw(nullptr, text, size, 0, 0, {}, 0); }

  // Writes text with its baseline at y, starting at x; returns the advance width.
  int Draw(Canvas* canvas, const std::string& text, int size, int x, int y, Colour c,
           double alpha) {
    FT_Set_Pixel_Sizes(face_, 0, size);
    int pen = x;
    FT_UInt previous = 0;
    for (unsigned char ch : text) {
      const FT_UInt glyph = FT_Get_Char_Index(face_, ch);
      if (previous && FT_HAS_KERNING(face_)) {
        FT_Vector kern;
        FT_Get_Kerning(face_, previous, glyph, FT_KERNING_DEFAULT, &kern);
        pen += kern.x >> 6;
      }
      if (FT_Load_Glyph(face_, glyph, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) continue;
      const FT_GlyphSlot slot = face_->glyph;
      for (unsigned row = 0; canvas && row < slot->bitmap.rows; ++row)
        for (unsigned col = 0; col < slot->bitmap.width; ++col)
          canvas->Blend(pen + slot->bitmap_left + col, y - slot->bitmap_top + row, c,
                        alpha * slot->bitmap.buffer[row * slot->bitmap.pitch + col] / 255.0);
      pen += slot->advance.x >> 6;
      previous = glyph;
    }
    return pen - x;
  }

 private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
  bool ok_ = false;
};

// ---- Pictures ------------------------------------------------------------------

// The About dialog's picture: a night-blue pane with frost grown up from its
// lower edge and in from its upper left corner.
Canvas AboutPicture() {
  Canvas c(164, 314, {0, 0, 0});
  VerticalGradient(c, Rgb(12, 28, 60), Rgb(44, 104, 160));
  DrawGlints(c, 22, 8, 8, 156, 200, 0xA11u);
  DrawFrost(c, FrostEdge({-20, 314}, {184, 314}, 4, 50, 0x505u), 0.45);
  DrawFrost(c, FrostEdge({-4, 314}, {168, 314}, 6, 34, 0x101u), 1.0);
  DrawFrost(c, FrostEdge({44, -12}, {-12, 44}, 3, 24, 0x202u), 0.7);
  return c;
}

const ButtonLook kNormal = {Rgb(138, 146, 158), Rgb(250, 251, 252), Rgb(214, 219, 226)};
const ButtonLook kDefault = {Rgb(70, 118, 182), Rgb(205, 228, 250), Rgb(150, 192, 236)};
const ButtonLook kHover = {Rgb(86, 142, 206), Rgb(236, 246, 255), Rgb(180, 214, 246)};
const ButtonLook kPressed = {Rgb(52, 96, 156), Rgb(140, 180, 226), Rgb(182, 210, 242)};

// The panel's banner: the effect's name on a dark pane with frost along its
// lower edge, growing in from its right-hand corners.
Canvas Banner(Font& font) {
  Canvas c(360, 81, {0, 0, 0});
  for (int y = 0; y < 81; ++y)
    for (int x = 0; x < 360; ++x)
      c.at(x, y) =
          Mix(Mix(Rgb(10, 24, 52), Rgb(28, 70, 120), x / 359.0), Rgb(6, 16, 38), 0.35 * y / 80.0);
  DrawGlints(c, 18, 100, 6, 352, 40, 0xB22u);
  DrawFrost(c, FrostEdge({96, 82}, {364, 82}, 16, 8, 0x303u), 0.7);
  DrawFrost(c, FrostEdge({296, 96}, {376, 16}, 3, 24, 0x606u), 0.85);
  DrawFrost(c, FrostEdge({364, -1}, {310, -1}, 3, 10, 0x404u), 0.6);
  const std::string name = "QuillFrame", maker = "Morrowglints";
  const int x = 112;
  font.Draw(&c, name, 30, x + 1, 45, Rgb(0, 8, 24), 0.6);
  font.Draw(&c, name, 30, x, 44, Rgb(236, 246, 255), 1.0);
  font.Draw(&c, maker, 12, x + 2, 61, Rgb(150, 196, 236), 1.0);
  return c;
}

// One of the panel's buttons: the banner's pixels under it, a face over them
// over panel columns 12 to 79, and the caption centred on the face. A lit button
// glows on the dark banner.
Canvas PanelButton(const Canvas& banner, Font& font, int left, int top, int width, int face_top,
                   const std::string& caption, const ButtonLook& look, bool lit) {
  Canvas c = banner.Crop(left, top, width, 35);
  const double face_left = 12 - left, face_right = 80 - left, face_bottom = face_top + 24;
  for (int y = 0; lit && y < c.height(); ++y)
    for (int x = 0; x < c.width(); ++x) {
      const double d =
          RoundedBoxDistance(x + 0.5, y + 0.5, face_left, face_top, face_right, face_bottom, 6);
      if (d > 0 && d < 4) c.Blend(x, y, Rgb(150, 210, 255), 0.5 * (1 - d / 4) * (1 - d / 4));
    }
  DrawButtonFace(c, face_left, face_top, face_right, face_bottom, look);
  const int text = font.Width(caption, 13);
  font.Draw(&c, caption, 13, static_cast<int>(face_left + face_right - text) / 2, face_top + 17,
            Rgb(24, 32, 44), 1.0);
  return c;
}

uint8_t Channel(double v) {
  return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
}

bool WriteBmp(const std::string& path, const Canvas& c, bool top_row_first) {
  std::vector<uint8_t> file = qf_tools::Bmp24Header(c.width(), c.height());
  for (int i = 0; i < c.height(); ++i) {
    const int y = top_row_first ? i : c.height() - 1 - i;
    for (int x = 0; x < c.width(); ++x) {
      const Colour& p = c.at(x, y);
      file.insert(file.end(), {Channel(p.b), Channel(p.g), Channel(p.r)});
    }
    file.resize(file.size() + qf_tools::Bmp24RowBytes(c.width()) - c.width() * 3, 0);
  }
  return qf_tools::WriteFile(path.c_str(), file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: qf-art FONT.ttf FOLDER\n");
    return 2;
  }
  Font font(argv[1]);
  if (!font.ok()) {
    std::fprintf(stderr, "%s: not a font FreeType can read\n", argv[1]);
    return 1;
  }
  const std::string folder = std::string(argv[2]) + "/";
  bool ok = WriteBmp(folder + "about101.bmp", AboutPicture(), false);
  int id = 123;
  for (const ButtonLook* look : {&kNormal, &kDefault, &kHover, &kPressed})
    for (const Canvas& piece : ButtonPieces(*look))
      ok = WriteBmp(folder + "button" + std::to_string(id++) + ".bmp", piece, false) && ok;
  const Canvas banner = Banner(font);
  ok = WriteBmp(folder + "panel781.bmp", banner, true) && ok;
  ok = WriteBmp(folder + "panel782.bmp",
                PanelButton(banner, font, 5, 40, 84, 3, "About", kNormal, false), true) &&
       ok;
  ok = WriteBmp(folder + "panel783.bmp",
                PanelButton(banner, font, 5, 40, 84, 3, "About", kHover, true), true) &&
       ok;
  ok = WriteBmp(folder + "panel784.bmp",
                PanelButton(banner, font, 10, 10, 72, 2, "Help", kNormal, false), true) &&
       ok;
  ok = WriteBmp(folder + "panel785.bmp",
                PanelButton(banner, font, 10, 10, 72, 2, "Help", kHover, true), true) &&
       ok;
  return ok ? 0 : 1;
}

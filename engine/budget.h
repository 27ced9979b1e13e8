// The drawing budget of a scene pass: the pixel visits its triangles (or
// its shaded lines) may make, reckoned for each triangle from its vertices
// and the frame (for each line from its ends and the frame) before it is
// drawn. A triangle or line that would take the pass beyond the budget is
// not drawn, nor is any after it: the frame shows what was drawn before.
// Ordinary frames take a small part of it; it bounds the time that millions
// of frame-sized triangles (a huge "Scale" with a high "Length") or lines
// far longer than the frame (a high "Dispersion") would take. The reckoning
// depends on nothing but the geometry and the frame's size, so every build
// and every number of drawing threads stops at the same place.
#pragma once

// Visits a pass may make per frame pixel, a frame counting as at least
// kBudgetLeastPixels pixels: pixels of the flat and Phong fills, which draw
// on several threads; pixels of the subdivided fill and samples of the
// curved walk (a sample costs about as much as a shaded pixel), which draw
// on one; pixels of the shaded lines of the Line and Wire modes, which draw
// on several threads too.
constexpr double kFilledVisitsPerPixel = 4096.0;
constexpr double kCurvedVisitsPerPixel = 1024.0;
constexpr double kLineVisitsPerPixel = 256.0;
constexpr double kBudgetLeastPixels = 640.0 * 360.0;

class DrawBudget {
 public:
  // The budget of one pass over a frame of width x height pixels.
  DrawBudget(double visits_per_pixel, int width, int height);

  // Takes `visits` from what is left: false, taking nothing, when they are
  // more than that or an earlier call was refused.
  bool Take(double visits);

  // Whether a call has been refused.
  bool Spent() const { return left_ < 0.0; }

 private:
  double left_;
};

// The pixels of the rectangle x0 <= x <= x1, y0 <= y <= y1 (image
// coordinates, any values) that lie in the Zwidth x Zheight frame; 0 for an
// empty rectangle or one whose bounds are not numbers.
double FramePixelsWithin(double x0, double y0, double x1, double y1);

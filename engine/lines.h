// Straight lines of the Rough and Line draw modes and of the one-colour
// outlines: one-pixel inverted lines, and wide anti-aliased lines coloured
// by the shader hook or by one colour.
#pragma once

#include <cstdint>

#include "engine/budget.h"
#include "engine/qf_engine.h"

// While one is alive, the shaded lines take what each will visit from the
// budget of a pass over a width x height frame, in the order they are drawn:
// a line that would take more than is left is not drawn, nor is any after
// it. The Line and Wire passes draw on one thread, so the stop is the same
// on every build.
class ShadedLineBudget {
 public:
  ShadedLineBudget(int width, int height);
  ~ShadedLineBudget();
  ShadedLineBudget(const ShadedLineBudget&) = delete;
  ShadedLineBudget& operator=(const ShadedLineBudget&) = delete;

  // Whether a line has been refused: nothing more of the pass is drawn.
  bool Spent() const { return budget_.Spent(); }

 private:
  DrawBudget budget_;
  DrawBudget* outer_;
};

void __PlotInverted(unsigned char* target, unsigned char* source, int width, int height, float x,
                    float y);
void __DrawLineRough(float x0, float y0, float x1, float y1, unsigned char* target,
                     unsigned char* source, int width, int height);
void __DrawLineShaded(float x0, float x1, float y0, float y1, float line_width,
                      unsigned char* target, unsigned char* source, int width, int height,
                      __Texture* textures, material3ds* materials, int material_count,
                      __Triangle3ds* triangle, int unused_count, __Point3ds* unused_vertices,
                      int cx, int cy, float plane_a, float plane_b, float plane_c, float plane_d,
                      int light_count, light3ds* lights, GlassProp* glass);
void __DrawLineColor(uint32_t red, uint32_t green, uint32_t blue, float x0, float y0, float x1,
                     float y1, float line_width, unsigned char* target, unsigned char* source,
                     int width, int height);

void __DrawTriangleRough(unsigned char* target, unsigned char* source, int width, int height,
                         __Texture* textures, material3ds* materials, int material_count,
                         __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                         int light_count, light3ds* lights, GlassProp* glass);
void __DrawTriangleLines(unsigned char* target, unsigned char* source, int width, int height,
                         __Texture* textures, material3ds* materials, int material_count,
                         __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                         int light_count, light3ds* lights, GlassProp* glass);
void __DrawTriangleLineColor(float line_width, int red, int green, int blue, unsigned char* target,
                             unsigned char* source, int width, int height, __Triangle3ds* triangle,
                             __Point3ds* vertices, int cx, int cy);

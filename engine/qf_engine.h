// The engine's public interface: the records in which a caller hands a
// triangle scene to the engine, the per-pixel shader signature, and the
// functions and switches that every deliverable exports by name.
#pragma once

#include <cstdint>

#define QF_ENGINE_API extern "C" __attribute__((visibility("default")))

// One vertex; the triangles index an array of them.
struct __Point3ds {
  float x, y, z;       // pixels about the scene centre; a larger z is nearer
  uint8_t hasTexture;  // 1 when u and v are valid
  float u, v;          // texture coordinates, 0 to 1
  uint8_t hasNormal;   // 1 when the normal is set
  float nx, ny, nz;    // vertex normal
};
static_assert(sizeof(__Point3ds) == 40, "vertex record layout");

struct __Triangle3ds {
  int32_t a, b, c;  // vertex indices
  uint16_t reserved;
  uint16_t material;  // index of the material, its glass record and texture slots
};
static_assert(sizeof(__Triangle3ds) == 16, "triangle record layout");

struct __Point {
  float x, y, z;
};
static_assert(sizeof(__Point) == 12, "point record layout");

// A texture-map record inside a material; its position in the material says
// what it is (0 colour, 2 opacity, 3 bump, 7 reflection).
struct map3ds {
  char name[16];
  float amount;
  float reserved0[5];
  float scaleU, scaleV;
  float offsetU, offsetV;
  float reserved1[54];
};
static_assert(sizeof(map3ds) == 272, "map record layout");

struct material3ds {
  char name[20];
  float ambient[3];
  float diffuse[3];
  float specular[3];
  float shininess;  // the shader's exponent is 100 times this
  float shininessStrength;
  float reserved0;
  float transparency;  // stored negated: -0.3 means a transparency of 0.3
  float reserved1;
  float selfIllum;
  float reserved2[6];
  map3ds maps[8];
  float reserved3[4];
};
static_assert(sizeof(material3ds) == 2296, "material record layout");

struct light3ds {
  char name[12];
  float x, y, z;  // in the vertices' coordinates
  float color[3];
  float intensity;
  float reserved[8];
};
static_assert(sizeof(light3ds) == 72, "light record layout");

struct GlassProp {
  uint8_t enabled;
  float refraction;  // optical coefficient
  float offset;      // distance by which refraction shifts the image behind
  float aberration;  // chromatic aberration in percent
};
static_assert(sizeof(GlassProp) == 16, "glass record layout");

// A texture slot, four per material (slot s of material m at m * 4 + s).
// Texels are blue, green, red, alpha, rows packed.
struct __Texture {
  uint8_t loaded;
  int32_t width, height;
  uint8_t* pixels;  // from the page allocator when handed to __ConvertText
  uint8_t is16Bit;
};
static_assert(sizeof(__Texture) == (sizeof(void*) == 8 ? 32 : 20), "texture record layout");

// The pixel the Phong filler handled just before the current one on its scanline.
struct __PrevInfo {
  float nx, ny, nz;
  uint8_t valid;
  float x, y;  // relative to the scene centre
  float u, v;
};
static_assert(sizeof(__PrevInfo) == 32, "neighbour record layout");

// Per-pixel shader: returns the pixel's opacity 0..1 and writes its colour,
// 0 .. __MaxChannel, through r, g, b.
typedef float (*__RenderOnePixelFn)(float centre_x, float centre_y, unsigned char* image,
                                    unsigned char* source, float x, float y, float z,
                                    __Triangle3ds* triangle, material3ds* materials,
                                    int material_count, float& r, float& g, float& b,
                                    __Point* normal, unsigned char textures_on, float u, float v,
                                    __Texture* textures, int light_count, light3ds* lights,
                                    __PrevInfo* prev, GlassProp* glass, float plane_a,
                                    float plane_b, float plane_c, float plane_d);

// Switches and scene settings, one copy per deliverable.
QF_ENGINE_API unsigned char _DrawMode;
QF_ENGINE_API unsigned char _Quality;
QF_ENGINE_API unsigned char _Deep;
QF_ENGINE_API unsigned char _UseMultyRefract;
QF_ENGINE_API unsigned char _DubleSide;
QF_ENGINE_API unsigned char _DrawBackFaces;
QF_ENGINE_API unsigned char _DrawBackFaces1;
QF_ENGINE_API unsigned char _UsePhong2;
QF_ENGINE_API unsigned char _UseGlass;
QF_ENGINE_API unsigned char _UseCustomMats;
QF_ENGINE_API unsigned char _UsePersp;
QF_ENGINE_API unsigned char _UseReflection;
QF_ENGINE_API float _WireSize;
QF_ENGINE_API float _Persp_Val;
QF_ENGINE_API float _Persp_x;
QF_ENGINE_API float _Persp_y;
QF_ENGINE_API float _Persp_Far;
QF_ENGINE_API float* ZBuff;
QF_ENGINE_API int Zwidth;
QF_ENGINE_API int Zheight;

// Scene calls.
QF_ENGINE_API void __RasterScene(unsigned char* out, unsigned char* source, int width, int height,
                                 int row_stride, int point_count, int triangle_count,
                                 __Triangle3ds* triangles, __Point3ds* points, int centre_x,
                                 int centre_y, int material_count, material3ds* materials,
                                 __Texture* textures, int light_count, light3ds* lights,
                                 GlassProp* glass);
QF_ENGINE_API void __RasterSolid(unsigned char* out, int width, int height, int row_stride,
                                 int point_count, int triangle_count, __Triangle3ds* triangles,
                                 __Point3ds* points, int centre_x, int centre_y, float red,
                                 float green, float blue, float fourth);
QF_ENGINE_API void __DrawScenesLineColor(float line_width, int red, int green, int blue,
                                         unsigned char* out, unsigned char* source, int width,
                                         int height, int unused, int triangle_count,
                                         __Triangle3ds* triangles, __Point3ds* points, int centre_x,
                                         int centre_y);

// Scene preparation and settings.
QF_ENGINE_API void __AddPersp(int point_count, __Point3ds* points, float value, float x, float y,
                              float far);
QF_ENGINE_API void __Sort(int triangle_count, __Triangle3ds* triangles, __Point3ds* points);
QF_ENGINE_API void __SetLightDef(light3ds* light);
QF_ENGINE_API void __SetZBuff(float* buffer, int width, int height);
QF_ENGINE_API void __GetZBuff(float*& buffer, int& width, int& height);
QF_ENGINE_API void __SetDefRenderOnePixel();
QF_ENGINE_API void __SetNewRenderOnePixel(__RenderOnePixelFn fn);

QF_ENGINE_API void __SetDrawMode(unsigned char value);
QF_ENGINE_API void __SetQuality(unsigned char value);
QF_ENGINE_API void __SetDeep(unsigned char value);
QF_ENGINE_API void __SetUseMultyRefract(unsigned char value);
QF_ENGINE_API void __SetDubleSide(unsigned char value);
QF_ENGINE_API void __SetDrawBackFaces(unsigned char value);
QF_ENGINE_API void __SetUsePhong2(unsigned char value);
QF_ENGINE_API void __SetUseGlass(unsigned char value);
QF_ENGINE_API void __SetUseCustomMats(unsigned char value);
QF_ENGINE_API void __SetUsePersp(unsigned char value);
QF_ENGINE_API void __SetUseReflection(unsigned char value);
QF_ENGINE_API unsigned char __GetDrawMode();
QF_ENGINE_API unsigned char __GetQuality();
QF_ENGINE_API unsigned char __GetDeep();
QF_ENGINE_API unsigned char __GetUseMultyRefract();
QF_ENGINE_API unsigned char __GetDubleSide();
QF_ENGINE_API unsigned char __GetDrawBackFaces();
QF_ENGINE_API unsigned char __GetUsePhong2();
QF_ENGINE_API unsigned char __GetUseGlass();
QF_ENGINE_API unsigned char __GetUseCustomMats();
QF_ENGINE_API unsigned char __GetUsePersp();
QF_ENGINE_API unsigned char __GetUseReflection();

// Depth conversions of page-allocator buffers: the old buffer is released
// and the new one stored through buffer.
QF_ENGINE_API void __ConvertBYTE16TO8(unsigned char** buffer, int width, int rows,
                                      int values_per_row);
QF_ENGINE_API void __ConvertBYTE8TO16(unsigned char** buffer, int width, int rows,
                                      int values_per_row);
QF_ENGINE_API void __ConvertText(__Texture* texture);

QF_ENGINE_API unsigned char __mmx_present();

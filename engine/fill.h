// Triangle set-up and the scanline fillers of the Phong, Flat and Solid
// draws: each set-up copies one triangle into image coordinates, orients its
// edge table, computes its plane and calls its filler.
#pragma once

#include "engine/qf_engine.h"
#include "engine/edges.h"

void __SetupTrianglePhong(unsigned char* image, unsigned char* source, int width, int height,
                          __Texture* textures, material3ds* materials, int material_count,
                          __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                          int light_count, light3ds* lights, GlassProp* glass);
void __SetupTriangleFlat(unsigned char* image, unsigned char* source, int width, int height,
                         __Texture* textures, material3ds* materials, int material_count,
                         __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                         int light_count, light3ds* lights, GlassProp* glass);
void __SetupTriangleSolid(unsigned char* image, int width, int height, __Triangle3ds* triangle,
                          __Point3ds* vertices, int cx, int cy, float r, float g, float b,
                          float opacity);

// The fillers scan a triangle already in image coordinates: screen holds its
// n vertices, table its oriented edge table with the top vertex first, and
// lowest_row the truncated smallest y. The scan is clipped to the frame
// (Zwidth x Zheight).
void __FillTrianglePhong(unsigned char* image, unsigned char* source, int width, int height,
                         __Texture* textures, material3ds* materials, int material_count,
                         __Triangle3ds* triangle, int n, __Point3ds* screen, EdgeEntry* table,
                         int lowest_row, int cx, int cy, float A, float B, float C, float D,
                         int light_count, light3ds* lights, GlassProp* glass);
void __FillTriangleFlat(unsigned char* image, unsigned char* source, int width, int height,
                        __Texture* textures, material3ds* materials, int material_count,
                        __Triangle3ds* triangle, int n, __Point3ds* screen, EdgeEntry* table,
                        int lowest_row, int cx, int cy, float A, float B, float C, float D,
                        int light_count, light3ds* lights, GlassProp* glass);
void __FillTriangleSolid(unsigned char* image, int width, int height, __Triangle3ds* triangle,
                         int n, __Point3ds* screen, EdgeEntry* table, int lowest_row, int cx,
                         int cy, float r, float g, float b, float opacity);

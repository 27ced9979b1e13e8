// Triangle set-up and scanline fillers (not drawn yet).
#include "engine/fill.h"

void __SetupTrianglePhong(unsigned char*, unsigned char*, int, int, __Texture*, material3ds*, int,
                          __Triangle3ds*, __Point3ds*, int, int, int, light3ds*, GlassProp*) {}
void __SetupTriangleFlat(unsigned char*, unsigned char*, int, int, __Texture*, material3ds*, int,
                         __Triangle3ds*, __Point3ds*, int, int, int, light3ds*, GlassProp*) {}
void __SetupTriangleSolid(unsigned char*, int, int, __Triangle3ds*, __Point3ds*, int, int, float,
                          float, float, float) {}

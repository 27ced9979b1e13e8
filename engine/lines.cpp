// Line drawing (not drawn yet).
#include "engine/lines.h"

void __DrawTriangleRough(unsigned char*, unsigned char*, int, int, __Texture*, material3ds*, int,
                         __Triangle3ds*, __Point3ds*, int, int, int, light3ds*, GlassProp*) {}
void __DrawTriangleLines(unsigned char*, unsigned char*, int, int, __Texture*, material3ds*, int,
                         __Triangle3ds*, __Point3ds*, int, int, int, light3ds*, GlassProp*) {}
void __DrawTriangleLineColor(float, int, int, int, unsigned char*, unsigned char*, int, int,
                             __Triangle3ds*, __Point3ds*, int, int) {}

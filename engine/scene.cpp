// The scene calls. Their draw-mode loops are not in the engine yet: each
// call returns with the image untouched.
#include "engine/qf_engine.h"
#include "engine/scene_state.h"

unsigned char* __OutImage = nullptr;
unsigned char* __BackImage = nullptr;
float* __BackZBuff = nullptr;

void __RasterScene(unsigned char*, unsigned char*, int, int, int, int, int, __Triangle3ds*,
                   __Point3ds*, int, int, int, material3ds*, __Texture*, int, light3ds*,
                   GlassProp*) {}

void __RasterSolid(unsigned char*, int, int, int, int, int, __Triangle3ds*, __Point3ds*, int, int,
                   float, float, float, float) {}

void __DrawScenesLineColor(float, int, int, int, unsigned char*, unsigned char*, int, int, int, int,
                           __Triangle3ds*, __Point3ds*, int, int) {}

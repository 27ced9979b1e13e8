// Compiled with the effect library's include roots: reaches the layers below.
#include "effect/scene_render.h"
#include "engine/qf_engine.h"
#include "growth/seed_walk.h"

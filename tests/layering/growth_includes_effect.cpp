// Compiled with the growth library's include roots only: must not find the effect.
#include "growth/pattern_list.h"
#include "effect/scene_render.h"

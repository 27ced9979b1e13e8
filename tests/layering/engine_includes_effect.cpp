// Compiled with the engine's include roots only: must not find the effect.
#include "engine/qf_engine.h"
#include "effect/entry.h"

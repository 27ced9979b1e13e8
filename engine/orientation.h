// The winding of a triangle's edge table.
#pragma once

#include "engine/edges.h"
#include "engine/qf_engine.h"

// Winds a triangle's table so that its inside lies on the negative side of
// every edge line, exchanging two vertex records when needed; false for a
// degenerate triangle.
bool __FixOrientation(const EdgeEntry* table, __Point3ds* vertices);

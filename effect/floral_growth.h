// How the Floral render grows its pattern: the growth parameters, the walk
// along the seed lines that admits, sizes and directs every growth step, and
// the step that draws its random values and calls a Floral generator.
#pragma once

#include <cstdint>
#include <functional>

#include "AE_Effect.h"
#include "effect/pattern_list.h"
#include "effect/scene_render.h"
#include "effect/seed_lines.h"

// Where the Floral parameter list keeps the scene parameters.
extern const SceneParamIndices kFloralSceneParams;

// The growth parameters of the Floral build in working units.
struct FloralGrowthParams {
    int kind = 1;           // K, "QuillFrame kind"
    int maxIterations = 1;  // Mi, at least 1
    int maxTriangles = 1;   // Mt, at least 1
    float width = 0;        // Wp
    float length = 0;       // Lp, in pixels
    float turn = 0;         // Tp, in radians
    int maskKind = 0;
    PF_PathID pathId = 0;
    int direction = 0;      // G, "Grown direction"
    float density = 0;      // D, in pixels
    float completeness = 0;          // Cm, percent
    float completenessDistance = 0;  // Cx, percent
    float dependOnInterval = 0;      // P
    int seed = 0;           // S
    float dispersion = 0;   // Dp
};

// Reads the growth parameters; lengths in pixels of a frame of the given width.
FloralGrowthParams ReadFloralGrowthParams(PF_ParamDef* params[], int32_t width);

// One growth step as the walk hands it on.
struct FloralGrowthStep {
    int32_t segment;  // i
    float x, y;       // start point, frame coordinates about the centre
    float nx, ny;     // growth direction after the direction rule
    float length;     // L
    float width;      // Wd
    float turn;       // T
};
using FloralStepSink = std::function<void(const FloralGrowthStep&)>;

// Walks the seed segments that "Completeness" admits, in index order, on a
// frame of width x height, and hands every growth step to sink.
void WalkSeedLines(const FloralGrowthParams& growth, int32_t width, int32_t height,
                   const SeedLines& seeds, const FloralStepSink& sink);

// Grows the Floral pattern along the seed lines into list: at every step the
// standard generator is reseeded from the previous step's draw, the segment
// index and "Random seed", and a stem or a fern grows.
void GrowFloralPattern(const FloralGrowthParams& growth, int32_t width, int32_t height,
                       const SeedLines& seeds, QFTrList& list);

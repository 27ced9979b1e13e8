// The Floral build's render: grows stems and ferns along the seed lines of
// the chosen mask kind or the custom path, then draws them as a scene.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "effect/floral.h"
#include "effect/floral_growth.h"
#include "growth/floral.h"

const SceneParamIndices kFloralSceneParams = {
    kFloralRenderMode,       kFloralPosition,           kFloralScale,
    kFloralDiffuse,          kFloralSpecular,           kFloralShininess,
    kFloralShinStrength,     kFloralSelfIllumination,   kFloralTransparency,
    kFloralGlass,            kFloralRefraction,         kFloralOpticalCoefficient,
    kFloralAberration,       kFloralBumpPercent,        kFloralTextureReflection,
    kFloralReflectionPercent, kFloralMultiply,          kFloralLightColor,
    kFloralRotateUV,         kFloralRotateWV,           kFloralOppositingLight,
    kFloralCutAlpha,
};

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDegreesToRadians = 0.017453292519943295;
constexpr double kQuarterTurn = 1.5707963267948966;

// The smallest step along a seed line, in pixels.
constexpr float kShortestStep = 0.25f;

// The walk of one seed segment before its first step.
struct SegmentWalk {
    float len = 0;       // walk length
    float interval = 0;  // v
    float x = 0, y = 0;  // start point
    float nx = 0, ny = 0;
    float step = 0;      // s
    float dx = 0, dy = 0;
    double X[4] = {}, Y[4] = {};  // custom-path segment
};

// Sets up the walk of contour segment i; false when it grows nothing.
bool StartContourSegment(const FloralGrowthParams& growth, float w, const SeedContour& contour,
                         int32_t i, int rule, SegmentWalk* walk) {
    const ContourSegment& segment = contour.segments[i];
    walk->len = segment.step * 400 / w;
    walk->interval = walk->len / 40;
    walk->nx = segment.nx;
    walk->ny = segment.ny;
    ApplyDirectionRule(rule, &walk->nx, &walk->ny);
    if (!(walk->len > 0 && growth.density > 0)) return false;
    const ContourPoint& a = contour.points[segment.first];
    const ContourPoint& b = contour.points[segment.second];
    walk->x = a.x;
    walk->y = a.y;
    const float ux = (b.x - a.x) / walk->len;
    const float uy = (b.y - a.y) / walk->len;
    walk->step = std::max(std::min(growth.density / 2, walk->len), kShortestStep);
    walk->dx = ux * walk->step;
    walk->dy = uy * walk->step;
    return true;
}

void StartPathSegment(float w, const CustomPath& path, int32_t i, SegmentWalk* walk) {
    const double share = path.fractions[i];
    walk->len = static_cast<float>(share * w);
    walk->interval = static_cast<float>(share * 2);
    PathSegmentControls(path, i, walk->X, walk->Y);
}

// Point, direction and displacement of the step at the distance walked along
// a custom-path segment.
void FollowPath(const FloralGrowthParams& growth, float hw, float hh, int rule, float walked,
                SegmentWalk* walk) {
    double px, py, tx, ty;
    BezierPointTangentAtLength(walked / walk->len, walk->X, walk->Y, &px, &py, &tx, &ty);
    walk->x = static_cast<float>(px - hw);
    walk->y = static_cast<float>(py - hh);
    walk->step = std::min(std::max(growth.density / 10, kShortestStep), walk->len);
    double norm = std::sqrt(tx * tx + ty * ty);
    if (norm == 0) norm = 1;
    walk->nx = static_cast<float>(-ty / norm);
    walk->ny = static_cast<float>(tx / norm);
    ApplyDirectionRule(rule, &walk->nx, &walk->ny);
    double qx, qy;
    BezierPointAtLength((walked + walk->step) / walk->len, walk->X, walk->Y, &qx, &qy);
    walk->dx = static_cast<float>(qx - hw) - walk->x;
    walk->dy = static_cast<float>(qy - hh) - walk->y;
}

}  // namespace

FloralGrowthParams ReadFloralGrowthParams(PF_ParamDef* params[], int32_t width) {
    const float w = static_cast<float>(width);
    FloralGrowthParams g;
    g.kind = PopupChoice(params[kFloralKind]);
    // The declared ranges start at 1 and 5; a value below 1 from the host
    // would leave the generators without a count.
    g.maxIterations = std::max(params[kFloralMaxIterations]->u.sd.value, 1);
    g.maxTriangles = std::max(params[kFloralMaxTriangles]->u.sd.value, 1);
    g.width = static_cast<float>(FixedValue(params[kFloralWidth]));
    g.length = static_cast<float>(FixedValue(params[kFloralLength]) / 100) * w;
    g.turn = static_cast<float>(FixedValue(params[kFloralTurn]) * kPi / 180);
    g.maskKind = PopupChoice(params[kFloralMaskKind]);
    g.pathId = params[kFloralPath]->u.path_d.path_id;
    g.direction = PopupChoice(params[kFloralGrownDirection]);
    g.density = static_cast<float>(FixedValue(params[kFloralDensity]) / 1000) * w;
    g.completeness = static_cast<float>(FixedValue(params[kFloralCompleteness]));
    g.completenessDistance = static_cast<float>(FixedValue(params[kFloralCompletenessDistance]));
    g.dependOnInterval = static_cast<float>(FixedValue(params[kFloralDependOnInterval]) / 100);
    g.seed = params[kFloralRandomSeed]->u.sd.value;
    g.dispersion = static_cast<float>(FixedValue(params[kFloralDispersion]));
    return g;
}

void WalkSeedLines(const FloralGrowthParams& growth, int32_t width, int32_t height,
                   const SeedLines& seeds, const FloralStepSink& sink) {
    const GrowthCounts counts =
        CountGrowingSegments(seeds.count, growth.completeness, growth.completenessDistance);
    const float w = static_cast<float>(width);
    const float hw = static_cast<float>(width / 2);
    const float hh = static_cast<float>(height / 2);
    const float P = growth.dependOnInterval;
    for (int32_t i = 0; i < counts.count; ++i) {
        const SegmentFade fade = FadeOfSegment(counts, i);
        const int rule = DirectionRuleOfSegment(growth.direction, i);
        SegmentWalk walk;
        if (seeds.contour) {
            if (!StartContourSegment(growth, w, *seeds.contour, i, rule, &walk)) continue;
        } else if (seeds.path) {
            StartPathSegment(w, *seeds.path, i, &walk);
        } else {
            return;
        }
        float walked = 0;
        if (!(walked < walk.len)) continue;

        // "Depend on interval": longer seed segments grow larger.
        const float v = walk.interval / w * 200;
        const float k = std::min(std::max(v * P + (1 - P), 0.05f), 10.0f);
        const float W0 = std::max(growth.width * (v * P / 4 + (1 - P / 4)), 0.01f);
        const float L0 = growth.length * k;
        const float turn = growth.turn * k;
        float length = L0;
        float wd = W0;
        do {
            if (!SizeAlongSegment(counts, fade, i, walked, walk.len, L0, W0, L0, W0, &length,
                                  &wd)) {
                break;
            }
            if (seeds.path) FollowPath(growth, hw, hh, rule, walked, &walk);
            sink(FloralGrowthStep{i, walk.x, walk.y, walk.nx, walk.ny, length, wd, turn});
            walk.x += walk.dx;
            walk.y += walk.dy;
            walked += walk.step;
        } while (walked < walk.len);
    }
}

void GrowFloralPattern(const FloralGrowthParams& growth, int32_t width, int32_t height,
                       const SeedLines& seeds, QFTrList& list) {
    const int hint = -width;
    int previous = 0;  // the previous step's draw
    WalkSeedLines(growth, width, height, seeds, [&](const FloralGrowthStep& step) {
        float heading = static_cast<float>(VectorAngleDegrees(step.nx, step.ny, 0, 0) *
                                               kDegreesToRadians -
                                           kQuarterTurn);
        // Reseeding from the previous draw makes what a step draws independent
        // of how many numbers the generators took before it. The seed is summed
        // unsigned, so that a large draw wraps instead of overflowing.
        std::srand(static_cast<unsigned>(previous) + static_cast<unsigned>(step.segment) +
                   static_cast<unsigned>(growth.seed));
        const int r = std::rand();
        previous = r;
        const float u = static_cast<float>(r % 1000) / 1000.0f;
        heading = heading + growth.dispersion * (u - 0.5f);
        float turn = step.turn * (0.5f + u * growth.dispersion / 3);
        if (u < 0.5f) turn = -turn;
        const int iterations = r % growth.maxIterations + 1;
        const float z = static_cast<float>(r % 50 + 20);
        float fernTurn = turn * 2.5f * (u - 0.5f) + (turn + growth.dispersion);
        if (std::fabs(fernTurn) < 0.5f) fernTurn = fernTurn < 0 ? -0.5f : 0.5f;
        // "Floral 3" grows a fern on an even draw and a stronger-turning stem on an odd one.
        const bool fern = growth.kind == 2 || (growth.kind == 3 && r % 2 == 0);
        if (!(step.length > 0)) return;
        const uint8_t upper = u > 0.5f ? 1 : 0;
        if (fern) {
            GrowFloralFern(static_cast<uint8_t>(2 + upper), list, step.x, step.y, z, heading, turn,
                           step.length, step.width, growth.maxTriangles, hint, 0.5f, fernTurn,
                           0.0f);
        } else {
            GrowFloralStem(iterations, list, step.x, step.y, z, heading,
                           growth.kind == 3 ? turn * 1.5f : turn, step.length, step.width, upper,
                           hint);
        }
    });
}

PF_Err Render(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
              PF_LayerDef* output) {
    // Declared in this order so that, when an exception passes through, the
    // scene is released before the path and the list, as at a normal end.
    QFTrList list;
    CustomPath path;
    SeedContour contour;
    SceneRender scene;
    BeginSceneRender(in_data, out_data, params, output, kFloralSceneParams, &scene);
    const int32_t width = scene.frame.width;
    const int32_t height = scene.frame.height;
    const FloralGrowthParams growth = ReadFloralGrowthParams(params, width);
    const SeedLines seeds =
        LaySeedLines(in_data, growth.maskKind, growth.pathId, width, height, &contour, &path);

    TriangleCount = 0;
    GrowFloralPattern(growth, width, height, seeds, list);
    AssembleMesh(list, &scene);
    contour.Release();

    PrepareScene(&scene);
    DrawScene(&scene);
    const PF_Err err = EndSceneRender(&scene);
    ReleaseCustomPath(&path);
    list.Clear();
    return err;
}

#include "effect/pattern_render.h"

#include "effect/mask_path.h"
#include "effect/scene_render.h"
#include "effect/seed_lines.h"
#include "engine/bands.h"

PF_Err RenderPattern(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                     PF_LayerDef* output, const PatternRenderIndices& at, const GrowPattern& grow) {
  // The worker threads that the conversions and the engine share, kept for
  // the whole render.
  const WorkerCrew crew;
  // Declared in this order so that, when an exception passes through, the
  // scene is released before the path and the list, as at a normal end.
  QFTrList list;
  CustomPath path;
  SeedContour contour;
  SceneRender scene;
  BeginSceneRender(in_data, out_data, params, output, at.scene, &scene);
  const int32_t width = scene.frame.width;
  const int32_t height = scene.frame.height;
  const SeedLines seeds =
      LaySeedLines(in_data, PopupChoice(params[at.maskKind]), params[at.path]->u.path_d.path_id,
                   width, height, &contour, &path);

  TriangleCount = 0;
  grow(params, width, height, seeds, list);
  AssembleMesh(list, &scene);
  contour.Release();

  PrepareScene(&scene);
  DrawScene(&scene);
  const PF_Err err = EndSceneRender(&scene);
  ReleaseCustomPath(&path);
  list.Clear();
  return err;
}

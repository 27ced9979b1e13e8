#include "effect/scene_render.h"

#include <cmath>
#include <cstring>
#include <new>

#include "effect/entry.h"
#include "effect/pixel_convert.h"
#include "engine/bands.h"

namespace {

constexpr double kLightPi = 3.141592;  // pi as the light angles take it
constexpr double kPi = 3.141592653589793;
// The opposite light stands 25 degrees below the horizon.
constexpr double kOppositeElevation = -0.4363323129985824;
constexpr float kLightDistance = 2000.0f;

// The texture conversion reads four bytes a cell along rows of 120 bytes: on
// the last row that runs past the image's 4800 bytes. It reads from a copy
// padded with zeros to cover every read.
constexpr int kBumpLastRowStart = (kBumpImageSide - 1) * kBumpImageRowBytes;
constexpr int kBumpPaddedBytes = kBumpLastRowStart + 4 * kBumpImageSide;
static_assert(kBumpPaddedBytes >= kBumpImageBytes, "the copy holds the whole image");

template <typename T>
T* Take(T*& held) {
  T* taken = held;
  held = nullptr;
  return taken;
}

float Channel(A_u_char value) { return value / 255.0f; }

void SetColour(float rgb[3], const PF_Pixel& colour) {
  rgb[0] = Channel(colour.red);
  rgb[1] = Channel(colour.green);
  rgb[2] = Channel(colour.blue);
}

void SetName(char* name, size_t size, const char* text) {
  std::strncpy(name, text, size - 1);
  name[size - 1] = '\0';
}

void SetMap(map3ds& map, const char* name, float amount) {
  SetName(map.name, sizeof(map.name), name);
  map.amount = amount;
  map.scaleU = 1.0f;
  map.scaleV = 1.0f;
  map.offsetU = 0.0f;
  map.offsetV = 0.0f;
}

void SetTexture(__Texture& texture, uint8_t* pixels, int32_t width, int32_t height, bool deep) {
  texture.loaded = 1;
  texture.width = width;
  texture.height = height;
  texture.pixels = pixels;
  texture.is16Bit = deep ? 1 : 0;
}

void SetLight(light3ds& light, const char* name, const SceneSettings& settings) {
  SetName(light.name, sizeof(light.name), name);
  SetColour(light.color, settings.lightColor);
  light.intensity = settings.lightIntensity;
}

// Runs a conversion into a target of its own allocation and takes the target.
template <typename Convert, typename... Args>
PageArray<uint8_t> Converted(Convert convert, const void* from, Args... args) {
  uint8_t* target = nullptr;
  convert(&target, from, args...);
  return PageArray<uint8_t>(target);
}

int32_t ChannelStride(A_long rowbytes, bool deep) { return deep ? rowbytes / 2 : rowbytes; }

// Texels that the scene's texture slots use; null when absent.
struct SceneTexels {
  uint8_t* bump = nullptr;
  uint8_t* reflection = nullptr;
  int32_t reflectionWidth = 0, reflectionHeight = 0;
};

RenderFrame DescribeFrame(const PF_InData* in_data, const PF_LayerDef* output,
                          const PF_LayerDef* source) {
  RenderFrame frame;
  frame.width = output->width;
  frame.height = output->height;
  frame.deep = (output->world_flags & PF_WorldFlag_DEEP) != 0;
  // A source width of 0 would divide by zero; the scale then stays 1.
  if (in_data->width != 0) {
    frame.renderScale = static_cast<float>(frame.width) / static_cast<float>(in_data->width);
  }
  if (frame.renderScale == 0) frame.renderScale = 1.0f;
  frame.outputStride = ChannelStride(output->rowbytes, frame.deep);
  frame.sourceStride = ChannelStride(source->rowbytes, frame.deep);
  return frame;
}

// Degrees to radians as value x pi / 180, multiplied before dividing: a
// folded pi / 180 rounds differently for some angles.
float LightAngle(double degrees) { return static_cast<float>(degrees * kLightPi / 180); }

SceneSettings ReadSceneSettings(PF_ParamDef* params[], const SceneParamIndices& at) {
  SceneSettings s;
  s.renderMode = PopupChoice(params[at.renderMode]);
  const PF_PointDef& position = params[at.position]->u.td;
  s.positionX = static_cast<float>(position.x_value) / 65536.0f;
  s.positionY = static_cast<float>(position.y_value) / 65536.0f;
  s.scale = static_cast<float>(FixedValue(params[at.scale]) / 100);
  s.diffuse = params[at.diffuse]->u.cd.value;
  s.specular = params[at.specular]->u.cd.value;
  s.lightColor = params[at.lightColor]->u.cd.value;
  s.shininess = static_cast<float>(FixedValue(params[at.shininess]) / 10);
  s.shinStrength = static_cast<float>(FixedValue(params[at.shinStrength]) / 10);
  s.selfIllumination = static_cast<float>(FixedValue(params[at.selfIllumination]) / 100);
  s.transparency = static_cast<float>(-FixedValue(params[at.transparency]) / 100);
  s.glass = CheckboxOn(params[at.glass]);
  s.refraction = static_cast<float>(FixedValue(params[at.refraction]) / 10);
  s.opticalCoefficient = static_cast<float>(FixedValue(params[at.opticalCoefficient]) / 10);
  s.aberration = static_cast<float>(FixedValue(params[at.aberration]));
  s.bumpAmount = static_cast<float>(FixedValue(params[at.bumpPercent]) * 20 / 1000);
  s.reflectionAmount = static_cast<float>(FixedValue(params[at.reflectionPercent]) / 100);
  s.lightIntensity = static_cast<float>(FixedValue(params[at.multiply]) / 100);
  s.rotateUV = LightAngle(params[at.rotateUV]->u.ad.value / 65536.0);
  s.rotateWV = LightAngle(FixedValue(params[at.rotateWV]));
  s.oppositingLight = CheckboxOn(params[at.oppositingLight]);
  s.cutAlpha = CheckboxOn(params[at.cutAlpha]);
  return s;
}

unsigned char DrawModeOfRenderMode(int render_mode) {
  switch (render_mode) {
    case 1:
      return 0;  // "Rough"
    case 2:
      return 1;  // "Line"
    case 3:
      return 2;  // "Wire"
    case 4:
      return 3;  // "Flat"
    case 6:
      return 8;  // subdivided curved
    case 7:
      return 9;  // curved
    default:
      return 6;  // "Phong"
  }
}

void FillSceneRecords(const SceneSettings& settings, const RenderFrame& frame,
                      const SceneTexels& texels, SceneRecords* records) {
  *records = SceneRecords{};

  material3ds& material = records->material;
  SetName(material.name, sizeof(material.name), "Material#0");
  SetColour(material.ambient, settings.diffuse);
  SetColour(material.diffuse, settings.diffuse);
  SetColour(material.specular, settings.specular);
  material.shininess = settings.shininess;
  material.shininessStrength = settings.shinStrength;
  material.transparency = settings.transparency;
  material.selfIllum = settings.selfIllumination;
  // Slots 0 and 1 stay unloaded: no colour map and no opacity map.
  if (texels.bump) {
    SetMap(material.maps[3], "Bump", settings.bumpAmount);
    SetTexture(records->textures[2], texels.bump, kBumpImageSide, kBumpImageSide, frame.deep);
  }
  if (texels.reflection) {
    SetMap(material.maps[7], "Reflect", settings.reflectionAmount);
    SetTexture(records->textures[3], texels.reflection, texels.reflectionWidth,
               texels.reflectionHeight, frame.deep);
  }

  GlassProp& glass = records->glass;
  glass.enabled = settings.glass ? 1 : 0;
  glass.refraction = settings.opticalCoefficient;
  glass.offset = settings.refraction * frame.renderScale;
  glass.aberration = settings.aberration;

  light3ds& main = records->lights[0];
  SetLight(main, "LightOne", settings);
  const float a = kLightDistance * std::cos(settings.rotateWV);
  main.x = a * std::cos(settings.rotateUV);
  main.y = a * std::sin(settings.rotateUV);
  main.z = kLightDistance * std::sin(settings.rotateWV);
  records->lightCount = 1;
  if (settings.oppositingLight) {
    // Opposite in azimuth, below the horizon.
    light3ds& opposite = records->lights[1];
    SetLight(opposite, "Light#2", settings);
    const double e = kLightDistance * std::cos(kOppositeElevation);
    const double azimuth = static_cast<double>(settings.rotateUV) + kPi;
    opposite.x = static_cast<float>(e * std::cos(azimuth));
    opposite.y = static_cast<float>(e * std::sin(azimuth));
    opposite.z = static_cast<float>(kLightDistance * std::sin(kOppositeElevation));
    records->lightCount = 2;
  }
}

}  // namespace

double FixedValue(const PF_ParamDef* param) { return param->u.fd.value / 65536.0; }

int PopupChoice(const PF_ParamDef* param) { return param->u.pd.value & 0xFF; }

bool CheckboxOn(const PF_ParamDef* param) { return (param->u.bd.value & 0xFF) != 0; }

namespace {

// Calls the host; with quiet set, an exception from the host is passed over.
template <typename Call>
void HostCall(bool quiet, Call call) {
  if (!quiet) {
    call();
    return;
  }
  try {
    call();
  } catch (...) {
  }
}

// Releases everything the scene still holds, in the order of a normal end.
// Each hold is let go of before the host call that releases it.
PF_Err ReleaseScene(SceneRender* scene, bool quiet) {
  scene->engineOutput.reset();
  scene->engineSource.reset();
  scene->triangles.reset();
  scene->points.reset();
  scene->pointCount = 0;
  scene->triangleCount = 0;

  PF_Err err = PF_Err_NONE;
  PF_InData* in_data = scene->in_data;
  if (scene->reflectionCheckedOut) {
    scene->reflectionCheckedOut = false;
    scene->reflectionPresent = false;
    HostCall(quiet,
             [&] { err = in_data->inter.checkin_param(in_data->effect_ref, &scene->reflection); });
  }
  scene->bumpTexels.reset();
  scene->reflectionTexels.reset();
  if (scene->bumpHandle) {
    const PF_Handle handle = Take(scene->bumpHandle);
    scene->bumpImage = nullptr;
    HostCall(quiet, [&] { in_data->utils->host_unlock_handle(handle); });
  }
  return err;
}

}  // namespace

// Nothing may leave a destructor.
SceneRender::~SceneRender() { ReleaseScene(this, true); }

void BeginSceneRender(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                      PF_LayerDef* output, const SceneParamIndices& at, SceneRender* scene) {
  scene->in_data = in_data;
  scene->out_data = out_data;
  scene->output = output;
  scene->source = &params[0]->u.ld;
  scene->reflectionIndex = at.textureReflection;
  scene->frame = DescribeFrame(in_data, output, scene->source);
  scene->settings = ReadSceneSettings(params, at);
}

void AssembleMesh(QFTrList& list, SceneRender* scene) {
  const int32_t grown = TriangleCount;
  __Point3ds* points = nullptr;
  __Triangle3ds* triangles = nullptr;
  BuildMeshArrays(list, &scene->pointCount, &scene->triangleCount, &points, &triangles);
  scene->points.reset(points);
  scene->triangles.reset(triangles);
  // Drawn without its mesh, the frame would show another picture than asked for.
  if (grown > 0 && !scene->points) throw std::bad_alloc();
}

namespace {

void AcquireTextureInputs(SceneRender* scene) {
  PF_InData* in_data = scene->in_data;
  const PF_Handle handle = scene->out_data->sequence_data;
  if (handle) {
    void* image = in_data->utils->host_lock_handle(handle);
    scene->bumpHandle = handle;
    scene->bumpImage = static_cast<const uint8_t*>(image);
  }
  const PF_Err err = in_data->inter.checkout_param(in_data->effect_ref, scene->reflectionIndex,
                                                   in_data->current_time, in_data->local_time_step,
                                                   in_data->time_scale, &scene->reflection);
  // Checked in at the end whatever the check-out reported.
  scene->reflectionCheckedOut = true;
  const PF_LayerDef& layer = scene->reflection.u.ld;
  scene->reflectionPresent =
      err == PF_Err_NONE && layer.data != nullptr && layer.width > 0 && layer.height > 0;
}

// Sets every channel of the output's pixels to 0: only the pixels of each
// row, since the padding after them is not the plug-in's to write and the last
// row may have none.
void ClearPixelRows(PF_LayerDef* output, const RenderFrame& frame) {
  if (frame.width <= 0) return;
  const size_t row_bytes = size_t(frame.width) * (frame.deep ? 8 : 4);
  uint8_t* pixels = static_cast<uint8_t*>(output->data);
  const ptrdiff_t step = output->rowbytes;
  SplitRows(frame.height, row_bytes, [&](int first, int end) {
    for (int32_t y = first; y < end; ++y) std::memset(pixels + y * step, 0, row_bytes);
  });
}

void PrepareOutputFrame(SceneRender* scene) {
  const RenderFrame& frame = scene->frame;
  PF_LayerDef* output = scene->output;
  const void* source = scene->source->data;
  if (output->data) {
    if (scene->settings.cutAlpha) {
      ClearPixelRows(output, frame);
    } else if (source) {
      CopyPixelRows(output->data, source, frame.width, frame.height, frame.outputStride,
                    frame.sourceStride, frame.deep);
    }
    scene->engineOutput = Converted(ConvertToEngineOrder, output->data, frame.width, frame.height,
                                    frame.outputStride);
  }
  if (source) {
    scene->engineSource =
        Converted(ConvertToEngineOrder, source, frame.width, frame.height, frame.sourceStride);
  }
}

// The bump image holds bytes at either depth. Its texels are made as an
// 8-bit frame reads them and, in a 16-bit frame, widened as the engine widens
// an 8-bit texture, so that both depths lay the same relief. Without room for
// the wider copy the bump is left out.
PageArray<uint8_t> BumpTexels(const uint8_t* image, bool deep) {
  alignas(8) uint8_t padded[kBumpPaddedBytes] = {};
  std::memcpy(padded, image, kBumpImageBytes);
  uint8_t* texels = nullptr;
  ConvertTextureOrderAtDepth(&texels, padded, kBumpImageSide, kBumpImageSide, kBumpImageRowBytes,
                             false);
  PageArray<uint8_t> narrow(texels);
  if (!narrow || !deep) return narrow;
  __ConvertBYTE8TO16(&texels, kBumpImageSide, kBumpImageSide, 4 * kBumpImageSide);
  if (texels == narrow.get()) return nullptr;
  narrow.release();  // the widening has handed it back
  return PageArray<uint8_t>(texels);
}

void ConvertTextures(SceneRender* scene) {
  const bool deep = scene->frame.deep;
  if (scene->bumpImage) scene->bumpTexels = BumpTexels(scene->bumpImage, deep);
  if (scene->reflectionPresent) {
    const PF_LayerDef& layer = scene->reflection.u.ld;
    scene->reflectionTexels = Converted(ConvertTextureOrder, layer.data, layer.width, layer.height,
                                        ChannelStride(layer.rowbytes, deep));
  }
}

void PlaceMesh(SceneRender* scene) {
  const SceneSettings& settings = scene->settings;
  const float dx = settings.positionX - static_cast<float>(scene->frame.width) / 2;
  const float dy = settings.positionY - static_cast<float>(scene->frame.height) / 2;
  __Point3ds* points = scene->points.get();
  if (settings.scale != 1) ScalePoints(settings.scale, scene->pointCount, points);
  if (dx != 0 || dy != 0) TranslatePoints(dx, dy, 0, scene->pointCount, points);
}

}  // namespace

void PrepareScene(SceneRender* scene) {
  AcquireTextureInputs(scene);

  __SetDrawMode(DrawModeOfRenderMode(scene->settings.renderMode));
  __SetQuality(scene->in_data->quality == PF_Quality_HI ? 1 : 0);
  __SetDeep(scene->frame.deep ? 1 : 0);

  PrepareOutputFrame(scene);
  ConvertTextures(scene);
  SceneTexels texels;
  texels.bump = scene->bumpTexels.get();
  texels.reflection = scene->reflectionTexels.get();
  texels.reflectionWidth = scene->reflection.u.ld.width;
  texels.reflectionHeight = scene->reflection.u.ld.height;
  FillSceneRecords(scene->settings, scene->frame, texels, &scene->records);
  PlaceMesh(scene);
}

void DrawScene(SceneRender* scene) {
  __SetUseMultyRefract(0);
  __SetDubleSide(0);
  if (!scene->engineOutput || !scene->engineSource) return;
  const RenderFrame& frame = scene->frame;
  SceneRecords& records = scene->records;
  __RasterScene(scene->engineOutput.get(), scene->engineSource.get(), frame.width, frame.height,
                4 * frame.width, scene->pointCount, scene->triangleCount, scene->triangles.get(),
                scene->points.get(), frame.width >> 1, frame.height >> 1, 1, &records.material,
                records.textures, records.lightCount, records.lights, &records.glass);
  uint8_t* output = static_cast<uint8_t*>(scene->output->data);
  ConvertToHostOrder(&output, scene->engineOutput.get(), frame.width, frame.height,
                     frame.outputStride);
}

PF_Err EndSceneRender(SceneRender* scene) { return ReleaseScene(scene, false); }

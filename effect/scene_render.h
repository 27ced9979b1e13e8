// The part of a render that both builds share once the pattern has grown:
// the scene settings read from the parameters, the mesh, the texture inputs,
// the output frame, the scene records handed to the engine, the engine call
// and the release of everything the call acquired.
//
// A render goes BeginSceneRender, AssembleMesh, PrepareScene, DrawScene,
// EndSceneRender. Whatever is still held when the SceneRender record is
// destroyed (an exception passing through the render) is released then.
#pragma once

#include <cstdint>

#include "AE_Effect.h"
#include "effect/scene_params.h"
#include "growth/pattern_list.h"
#include "engine/page_array.h"
#include "engine/qf_engine.h"

// Parameter values as the host delivers them: fixed-point kinds in 16.16
// (read in double precision), popups and checkboxes in the low byte of their
// value.
double FixedValue(const PF_ParamDef* param);
int PopupChoice(const PF_ParamDef* param);
bool CheckboxOn(const PF_ParamDef* param);

// The frame of the call.
struct RenderFrame {
  int32_t width = 0;         // W, of the output world
  int32_t height = 0;        // H
  bool deep = false;         // 16-bit channels
  float renderScale = 1;     // W over the source layer's full width
  int32_t outputStride = 0;  // row lengths in channels
  int32_t sourceStride = 0;
};

// Scene parameters in the units the records take; each fixed-point value is
// divided in double precision and stored as a float once.
struct SceneSettings {
  int renderMode = 0;
  float positionX = 0, positionY = 0;  // layer pixels
  float scale = 1;
  PF_Pixel diffuse = {}, specular = {}, lightColor = {};
  float shininess = 0;         // "Shininess" / 10
  float shinStrength = 0;      // "Shin strength" / 10
  float selfIllumination = 0;  // / 100
  float transparency = 0;      // minus "Transparancy", / 100
  bool glass = false;
  float refraction = 0;          // "Refraction" / 10, before the render scale
  float opticalCoefficient = 0;  // / 10
  float aberration = 0;
  float bumpAmount = 0;              // "Bump percent" x 20 / 1000
  float reflectionAmount = 0;        // "Reflection percent" / 100
  float lightIntensity = 0;          // "Multiply" / 100
  float rotateUV = 0, rotateWV = 0;  // radians
  bool oppositingLight = false;
  bool cutAlpha = false;
};

// The records one scene call hands the engine.
struct SceneRecords {
  material3ds material;
  __Texture textures[4];
  light3ds lights[2];
  int lightCount;
  GlassProp glass;
};

// One scene call, from the grown pattern to the release.
struct SceneRender {
  SceneRender() = default;
  SceneRender(const SceneRender&) = delete;
  SceneRender& operator=(const SceneRender&) = delete;
  ~SceneRender();

  PF_InData* in_data = nullptr;
  PF_OutData* out_data = nullptr;
  PF_LayerDef* output = nullptr;
  const PF_LayerDef* source = nullptr;
  PF_ParamIndex reflectionIndex = 0;
  RenderFrame frame;
  SceneSettings settings;

  // The mesh.
  int pointCount = 0;
  int triangleCount = 0;
  PageArray<__Point3ds> points;
  PageArray<__Triangle3ds> triangles;

  // Texture inputs: the locked sequence data and the checked-out layer.
  PF_Handle bumpHandle = nullptr;  // non-null while locked
  const uint8_t* bumpImage = nullptr;
  bool reflectionCheckedOut = false;
  PF_ParamDef reflection = {};
  bool reflectionPresent = false;

  // Engine buffers and texels.
  PageArray<uint8_t> engineOutput;
  PageArray<uint8_t> engineSource;
  PageArray<uint8_t> bumpTexels;
  PageArray<uint8_t> reflectionTexels;

  SceneRecords records = {};
};

// Reads the frame and the scene parameters; acquires nothing.
void BeginSceneRender(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                      PF_LayerDef* output, const SceneParamIndices& at, SceneRender* scene);

// Turns the pattern list into the mesh arrays, emptying the list. Throws
// std::bad_alloc when a grown pattern finds no room for its arrays.
void AssembleMesh(QFTrList& list, SceneRender* scene);

// Locks the bump image and checks out the reflection layer, sets the draw
// mode, quality and depth switches, prepares the output frame (a copy of the
// source, or cleared under "Cut alpha") and the engine buffers, fills the
// scene records and places the mesh.
void PrepareScene(SceneRender* scene);

// Draws the scene into the engine output and writes it back into the output
// world. Without both engine buffers the output world keeps its prepared frame.
void DrawScene(SceneRender* scene);

// Releases the engine buffers and the mesh, checks the reflection layer in,
// frees the texels and unlocks the bump image. Returns the check-in's result.
// The record's destructor releases whatever is still held in the same order,
// passing over a host call that throws.
PF_Err EndSceneRender(SceneRender* scene);

#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "effect/floral.h"
#include "effect/floral_growth.h"
#include "effect/scene_render.h"
#include "engine/qf_engine.h"
#include "entry_test.h"
#include "fake_host.h"
#include "growth/floral.h"
#include "page_probe.h"
#include "qf_host/world.h"

namespace {

using qfhost::HostWorld;

PF_Fixed Fixed(double value) { return static_cast<PF_Fixed>(std::lround(value * 65536.0)); }

// What an output world holds where the render has not written.
constexpr uint16_t kUnwritten = 0xCD;

// ---- Renders through the entry point with the checking host ----

// The records of one render command, as the handler receives them.
struct RenderCall {
  PF_InData* in_data;
  PF_OutData* out_data;
  PF_ParamDef** params;
  PF_LayerDef* output;
  void Begin(SceneRender* scene) const {
    BeginSceneRender(in_data, out_data, params, output, kFloralSceneParams, scene);
  }
};
using RenderCheck = std::function<void(const RenderCall&)>;

// The entry the effect is driven through: the build's own, but a render runs
// the check a test has set, on the records the host hands over, in place of
// the build's render handler.
RenderCheck g_render_check;
PF_Err TestEntry(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                 PF_LayerDef* output, void* extra) {
  if (cmd != PF_Cmd_RENDER || !g_render_check)
    return EntryPointFunc(cmd, in_data, out_data, params, output, extra);
  g_render_check(RenderCall{in_data, out_data, params, output});
  return PF_Err_NONE;
}

class FloralRender : public EntryTest {
 protected:
  FloralRender() : EntryTest(&TestEntry) {}

  void SetUp() override {
    ASSERT_EQ(effect.ParamsSetup(), PF_Err_NONE);
    ASSERT_EQ(effect.param_count(), size_t(kFloralParamCount + 1));
    ASSERT_EQ(effect.SequenceSetup(), PF_Err_NONE);
    bump = effect.sequence_data();
    SetFrame(64, 48, false);
    page_probe::Reset();
    pages_before = page_probe::Live();
  }
  void TearDown() override {
    g_render_check = nullptr;
    EXPECT_EQ(effect.SequenceSetdown(), PF_Err_NONE);
    EXPECT_EQ(session.live_handle_count(), 0u);
    EntryTest::TearDown();
  }

  PF_ParamDef& Param(PF_ParamIndex index) { return effect.mutable_param(index); }

  void SetFrame(int width, int height, bool deep) {
    source = std::make_unique<HostWorld>(width, height, deep);
    output = std::make_unique<HostWorld>(width, height, deep);
    const uint16_t mask = deep ? 0x7FFF : 0xFF;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        for (int c = 0; c < 4; ++c) {
          const int k = (y * width + x) * 4 + c;
          source->set_channel(x, y, c, uint16_t(k * 7 + 3) & mask);
          output->set_channel(x, y, c, kUnwritten);
        }
    effect.SetLayer(0, source.get());
    Param(kFloralPosition).u.td.x_value = Fixed(width / 2.0);
    Param(kFloralPosition).u.td.y_value = Fixed(height / 2.0);
  }

  // A mask on the layer, chosen as the custom path.
  void UseCustomPath() {
    qfhost::MaskPath path;
    path.vertices = {{10, 10, 0, 0, 20, 20}, {54, 40, 44, 30, 60, 45}};
    path.closed = false;
    Param(kFloralMaskKind).u.pd.value = 7;
    Param(kFloralPath).u.path_d.path_id = effect.AddMask(path, false);
  }

  void UseReflectionLayer() {
    reflection = std::make_unique<HostWorld>(5, 3, output->deep());
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x)
        for (int c = 0; c < 4; ++c)
          reflection->set_channel(x, y, c, uint16_t((y * 5 + x) * 4 + c + 1));
    effect.SetLayer(kFloralTextureReflection, reflection.get());
  }

  PF_Err Run(A_long quality = PF_Quality_HI) {
    return effect.Render(*output, qfhost::FrameTime{}, quality);
  }

  // Runs `check` on the records of a render command in place of the handler.
  void InRender(RenderCheck check) {
    g_render_check = std::move(check);
    EXPECT_EQ(Run(), PF_Err_NONE);
    g_render_check = nullptr;
  }

  // Everything the render acquired has been given back; the host saw no misuse.
  void ExpectAllReleased() {
    EXPECT_EQ(page_probe::Live(), pages_before);
    EXPECT_EQ(session.handle_state(bump)->locks, 0);
    EXPECT_EQ(session.errors(), std::vector<std::string>{});
    EXPECT_EQ(session.UnreleasedSuites(), std::vector<std::string>{});
  }

  // Channel c of the engine's buffer at `index`, as an 8- or 16-bit value.
  static uint32_t Engine(const uint8_t* buffer, bool deep, int index) {
    if (!deep) return buffer[index];
    uint16_t value;
    std::memcpy(&value, buffer + 2 * index, 2);
    return value;
  }

  std::unique_ptr<HostWorld> source, output, reflection;
  PF_Handle bump = nullptr;
  int pages_before = 0;
};

std::vector<uint16_t> Channels(const HostWorld& world) {
  std::vector<uint16_t> channels;
  for (int y = 0; y < world.height(); ++y)
    for (int x = 0; x < world.width(); ++x)
      for (int c = 0; c < 4; ++c) channels.push_back(world.channel(x, y, c));
  return channels;
}

int PixelsChanged(const HostWorld& a, const HostWorld& b) {
  int changed = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      for (int c = 0; c < 4; ++c)
        if (a.channel(x, y, c) != b.channel(x, y, c)) {
          ++changed;
          break;
        }
  return changed;
}

TEST_F(FloralRender, DefaultsDrawTheSamePatternEveryTime) {
  ASSERT_EQ(Run(), PF_Err_NONE);
  const int32_t grown = TriangleCount;
  EXPECT_GT(grown, 0);
  EXPECT_GT(PixelsChanged(*output, *source), 0) << "the ornament is drawn over the source";
  const std::vector<uint16_t> frame = Channels(*output);
  ExpectAllReleased();

  SetFrame(64, 48, false);
  ASSERT_EQ(Run(), PF_Err_NONE);
  EXPECT_EQ(TriangleCount, grown);
  EXPECT_EQ(Channels(*output), frame);
  ExpectAllReleased();
}

TEST_F(FloralRender, NothingToGrowLeavesTheSourceOrTheClearedFrame) {
  Param(kFloralCompleteness).u.fd.value = 0;
  Param(kFloralCompletenessDistance).u.fd.value = 0;
  ASSERT_EQ(Run(), PF_Err_NONE);
  EXPECT_EQ(TriangleCount, 0);
  EXPECT_EQ(PixelsChanged(*output, *source), 0);

  // A custom path that names no mask of the layer grows nothing either.
  Param(kFloralMaskKind).u.pd.value = 7;
  Param(kFloralPath).u.path_d.path_id = 42;
  Param(kFloralCompleteness).u.fd.value = Fixed(100);
  Param(kFloralCutAlpha).u.bd.value = 1;
  ASSERT_EQ(Run(), PF_Err_NONE);
  EXPECT_EQ(TriangleCount, 0);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x)
      for (int c = 0; c < 4; ++c) ASSERT_EQ(output->channel(x, y, c), 0u);
  ExpectAllReleased();
}

// What the engine's shader is handed, seen through a shader of our own.
struct SeenByShader {
  int calls = 0;
  std::string material;
  int material_count = 0;
  int light_count = 0;
  int loaded[4] = {};
  int glass = 0;
  float offset = 0;
};
SeenByShader seen;

float RecordingShader(float, float, unsigned char*, unsigned char*, float, float, float,
                      __Triangle3ds*, material3ds* materials, int material_count, float& r,
                      float& g, float& b, __Point*, unsigned char, float, float,
                      __Texture* textures, int light_count, light3ds*, __PrevInfo*,
                      GlassProp* glass, float, float, float, float) {
  ++seen.calls;
  seen.material = materials[0].name;
  seen.material_count = material_count;
  seen.light_count = light_count;
  for (int k = 0; k < 4; ++k) seen.loaded[k] = textures[k].loaded;
  seen.glass = glass->enabled;
  seen.offset = glass->offset;
  r = g = b = 0;
  return 1;
}

struct ShaderGuard {
  ShaderGuard() { __SetNewRenderOnePixel(&RecordingShader); }
  ~ShaderGuard() { __SetDefRenderOnePixel(); }
};

// A frame rendered at half resolution: the glass offset follows the render scale.
TEST_F(FloralRender, TheEngineDrawsWithTheHandlersScene) {
  ShaderGuard guard;
  seen = SeenByShader{};
  Param(kFloralOppositingLight).u.bd.value = 0;
  Param(kFloralPosition).u.td.x_value = Fixed(64);
  Param(kFloralPosition).u.td.y_value = Fixed(48);
  ASSERT_EQ(
      effect.Render(*output, qfhost::FrameTime{}, PF_Quality_HI, qfhost::Downsample{2, 128, 96}),
      PF_Err_NONE);
  ASSERT_GT(seen.calls, 0);
  EXPECT_EQ(seen.material, "Material#0");
  EXPECT_EQ(seen.material_count, 1);
  EXPECT_EQ(seen.light_count, 1);
  EXPECT_EQ(seen.loaded[2], 1) << "bump";
  EXPECT_EQ(seen.loaded[3], 0) << "no reflection layer";
  EXPECT_EQ(seen.glass, 1);
  EXPECT_FLOAT_EQ(seen.offset, -2.5f);
  ExpectAllReleased();
}

TEST_F(FloralRender, RenderModeQualityAndDepthSetTheEngine) {
  const int modes[][2] = {{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 6}, {6, 8}, {7, 9}, {0, 6}};
  for (const auto& mode : modes) {
    Param(kFloralRenderMode).u.pd.value = mode[0];
    ASSERT_EQ(Run(), PF_Err_NONE);
    EXPECT_EQ(__GetDrawMode(), mode[1]) << "render mode " << mode[0];
  }
  EXPECT_EQ(__GetQuality(), 1);
  EXPECT_EQ(__GetDeep(), 0);
  EXPECT_EQ(__GetUseMultyRefract(), 0);
  EXPECT_EQ(__GetDubleSide(), 0);
  SetFrame(16, 8, true);
  ASSERT_EQ(Run(PF_Quality_LO), PF_Err_NONE);
  EXPECT_EQ(__GetQuality(), 0);
  EXPECT_EQ(__GetDeep(), 1);
}

// The path's arrays, the pattern list's three blocks and the mesh's arrays
// (the first seven) hold the pattern: without them the render ends with out of
// memory. The engine's frames and texels
// are left out and the rest drawn. Everything is released either way.
TEST_F(FloralRender, EveryFailedAllocationIsReportedOrSkippedAndAllIsReleased) {
  UseCustomPath();
  UseReflectionLayer();
  ASSERT_EQ(Run(), PF_Err_NONE);
  EXPECT_GT(TriangleCount, 0) << "the pattern grows along the path";
  const int allocations = page_probe::Taken();
  ASSERT_GE(allocations, 10) << "path, mesh, engine frames and texels";
  for (int k = 1; k <= allocations; ++k) {
    SCOPED_TRACE("allocation " + std::to_string(k) + " refused");
    page_probe::Reset();
    page_probe::FailAt(k);
    EXPECT_EQ(Run(), k <= 7 ? PF_Err_OUT_OF_MEMORY : PF_Err_NONE);
    ExpectAllReleased();
  }
  page_probe::Reset();
}

// ---- What the scene hands the engine ----

TEST_F(FloralRender, SceneRecordsFollowTheParameters) {
  InRender([&](const RenderCall& call) {
    SceneRender scene;
    call.Begin(&scene);
    PrepareScene(&scene);
    const SceneRecords& r = scene.records;
    EXPECT_FLOAT_EQ(r.material.ambient[0], 192 / 255.0f);
    EXPECT_FLOAT_EQ(r.material.shininess, 1.5f);
    EXPECT_FLOAT_EQ(r.material.shininessStrength, 10);
    EXPECT_FLOAT_EQ(r.material.selfIllum, 0.1f);
    EXPECT_FLOAT_EQ(r.glass.refraction, 7.5f);

    // The bump image is there; no reflection layer is.
    EXPECT_STREQ(r.material.maps[3].name, "Bump");
    EXPECT_FLOAT_EQ(r.material.maps[3].amount, 0.04f);
    EXPECT_EQ(r.textures[2].loaded, 1);
    EXPECT_EQ(r.textures[2].width, 40);
    EXPECT_STREQ(r.material.maps[7].name, "");
    EXPECT_EQ(r.textures[3].loaded, 0);
    EXPECT_EQ(r.textures[0].loaded + r.textures[1].loaded, 0);

    // "Rotate WV" 45 degrees, "Rotate UV" 0; the second light opposite, 25 degrees below.
    ASSERT_EQ(r.lightCount, 2);
    EXPECT_STREQ(r.lights[0].name, "LightOne");
    EXPECT_NEAR(r.lights[0].x, 1414.2136f, 0.01f);
    EXPECT_NEAR(r.lights[0].y, 0, 0.01f);
    EXPECT_NEAR(r.lights[0].z, 1414.2136f, 0.01f);
    EXPECT_STREQ(r.lights[1].name, "Light#2");
    EXPECT_NEAR(r.lights[1].x, -1812.6155f, 0.01f);
    EXPECT_NEAR(r.lights[1].y, 0, 0.01f);
    EXPECT_NEAR(r.lights[1].z, -845.2365f, 0.01f);
    EXPECT_FLOAT_EQ(r.lights[1].intensity, 1);
    EXPECT_EQ(EndSceneRender(&scene), PF_Err_NONE);
  });

  // One light, and without sequence data no relief.
  Param(kFloralOppositingLight).u.bd.value = 0;
  InRender([&](const RenderCall& call) {
    PF_OutData no_sequence = *call.out_data;
    no_sequence.sequence_data = nullptr;
    SceneRender single;
    BeginSceneRender(call.in_data, &no_sequence, call.params, call.output, kFloralSceneParams,
                     &single);
    PrepareScene(&single);
    EXPECT_EQ(single.records.lightCount, 1);
    EXPECT_STREQ(single.records.material.maps[3].name, "");
    EXPECT_EQ(single.records.textures[2].loaded, 0);
  });
  ExpectAllReleased();
}

TEST_F(FloralRender, LightAnglesAreDegreesTimesPiThenOverOneEighty) {
  // Angles for which value x 3.141592 / 180 and value x (3.141592 / 180)
  // round to different floats.
  Param(kFloralRotateUV).u.ad.value = 38671875;   // about 590.086 degrees
  Param(kFloralRotateWV).u.fd.value = -41484375;  // about -633.001 degrees
  InRender([&](const RenderCall& call) {
    SceneRender scene;
    call.Begin(&scene);
    EXPECT_EQ(scene.settings.rotateUV, 0x1.4990ecp+3f);
    EXPECT_EQ(scene.settings.rotateWV, -0x1.6188d8p+3f);
    PrepareScene(&scene);
    const float uv = 0x1.4990ecp+3f, wv = -0x1.6188d8p+3f;
    const float a = 2000.0f * std::cos(wv);
    const light3ds& light = scene.records.lights[0];
    EXPECT_EQ(light.x, a * std::cos(uv));
    EXPECT_EQ(light.y, a * std::sin(uv));
    EXPECT_EQ(light.z, 2000.0f * std::sin(wv));
    EXPECT_EQ(EndSceneRender(&scene), PF_Err_NONE);
  });
}

TEST_F(FloralRender, ReflectionLayerBecomesReversedTexels) {
  UseReflectionLayer();
  InRender([&](const RenderCall& call) {
    SceneRender scene;
    call.Begin(&scene);
    PrepareScene(&scene);
    const SceneRecords& r = scene.records;
    EXPECT_STREQ(r.material.maps[7].name, "Reflect");
    EXPECT_FLOAT_EQ(r.material.maps[7].amount, 1);
    ASSERT_EQ(r.textures[3].loaded, 1);
    EXPECT_EQ(r.textures[3].width, 5);
    EXPECT_EQ(r.textures[3].height, 3);
    const uint8_t* texels = r.textures[3].pixels;
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x)
        for (int c = 0; c < 4; ++c)
          ASSERT_EQ(texels[(y * 5 + x) * 4 + 3 - c], reflection->channel(x, y, c));
    EXPECT_EQ(EndSceneRender(&scene), PF_Err_NONE);
  });
  ExpectAllReleased();

  // A refused check-out leaves the layer out.
  session.FailCall(qfhost::HostCall::kCheckoutParam,
                   session.CallCount(qfhost::HostCall::kCheckoutParam) + 1,
                   PF_Err_BAD_CALLBACK_PARAM);
  InRender([&](const RenderCall& call) {
    SceneRender failed;
    call.Begin(&failed);
    PrepareScene(&failed);
    EXPECT_STREQ(failed.records.material.maps[7].name, "");
    EXPECT_EQ(failed.records.textures[3].loaded, 0);
  });
  ExpectAllReleased();
}

TEST_F(FloralRender, BumpTexelsStayWithinTheSequenceData) {
  uint8_t* image = static_cast<uint8_t*>(*bump);
  for (int k = 0; k < 4800; ++k) image[k] = uint8_t(k % 251 + 1);
  for (bool deep : {false, true}) {
    SCOPED_TRACE(deep ? "16-bit" : "8-bit");
    SetFrame(8, 4, deep);
    InRender([&](const RenderCall& call) {
      SceneRender scene;
      call.Begin(&scene);
      PrepareScene(&scene);
      const __Texture& texture = scene.records.textures[2];
      ASSERT_EQ(texture.loaded, 1);
      EXPECT_EQ(texture.is16Bit, deep ? 1 : 0);
      // Rows of 120 bytes at either depth, four bytes a texel read
      // backwards; reads beyond the 4800 bytes give 0. A 16-bit frame
      // widens each byte to the 0 to 32768 range, rounding to nearest.
      for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
          for (int c = 0; c < 4; ++c) {
            const int byte = y * 120 + 4 * x + c;
            uint32_t want = byte < 4800 ? image[byte] : 0;
            if (deep) want = uint32_t(std::lround(want * 32768.0 / 255.0));
            ASSERT_EQ(Engine(texture.pixels, deep, (y * 40 + x) * 4 + 3 - c), want)
                << x << ", " << y << " channel " << c;
          }
    });
  }
}

TEST_F(FloralRender, SixteenBitReliefWithoutRoomToWidenIsLeftOut) {
  SetFrame(8, 4, true);
  InRender([&](const RenderCall& call) {
    page_probe::Reset();
    {
      SceneRender scene;
      call.Begin(&scene);
      PrepareScene(&scene);
    }
    const int allocations = page_probe::Taken();
    bool left_out = false;
    for (int k = 1; k <= allocations; ++k) {
      SCOPED_TRACE("allocation " + std::to_string(k) + " refused");
      page_probe::Reset();
      page_probe::FailAt(k);
      {
        SceneRender scene;
        call.Begin(&scene);
        PrepareScene(&scene);
        const __Texture& texture = scene.records.textures[2];
        if (texture.loaded) {
          EXPECT_EQ(texture.is16Bit, 1);
        } else {
          left_out = true;
        }
        EXPECT_EQ(EndSceneRender(&scene), PF_Err_NONE);
      }
      EXPECT_EQ(page_probe::Live(), pages_before);
      EXPECT_EQ(session.handle_state(bump)->locks, 0);
    }
    page_probe::Reset();
    EXPECT_TRUE(left_out) << "the 8-bit texels or their widening refused";
  });
  ExpectAllReleased();
}

TEST_F(FloralRender, CutAlphaClearsTheOutputButKeepsTheSource) {
  Param(kFloralCutAlpha).u.bd.value = 1;
  InRender([&](const RenderCall& call) {
    SceneRender scene;
    call.Begin(&scene);
    PrepareScene(&scene);
    // Every channel of every pixel; the host checks that no row's padding is written.
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x)
        for (int c = 0; c < 4; ++c) ASSERT_EQ(output->channel(x, y, c), 0) << x << ", " << y;
    for (int k = 0; k < 64 * 48 * 4; ++k) ASSERT_EQ(scene.engineOutput[k], 0);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x)
        for (int c = 0; c < 4; ++c)
          ASSERT_EQ(scene.engineSource[(y * 64 + x) * 4 + c], source->channel(x, y, (c + 1) % 4));
  });
  ExpectAllReleased();
}

TEST_F(FloralRender, SixteenBitRowsAreCountedInChannels) {
  SetFrame(10, 6, true);
  InRender([&](const RenderCall& call) {
    SceneRender scene;
    call.Begin(&scene);
    EXPECT_EQ(scene.frame.outputStride, call.output->rowbytes / 2);
    EXPECT_EQ(scene.frame.outputStride, (10 + HostWorld::kPadPixels) * 4);
    PrepareScene(&scene);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 10; ++x)
        for (int c = 0; c < 4; ++c)
          ASSERT_EQ(Engine(scene.engineOutput.get(), true, (y * 10 + x) * 4 + c),
                    source->channel(x, y, (c + 1) % 4));
    DrawScene(&scene);
    EXPECT_EQ(EndSceneRender(&scene), PF_Err_NONE);
  });
  // Back in the output world; the host checks the padding of each row.
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 10; ++x)
      for (int c = 0; c < 4; ++c) ASSERT_EQ(output->channel(x, y, c), source->channel(x, y, c));
  ExpectAllReleased();
}

TEST_F(FloralRender, PositionAndScalePlaceTheMesh) {
  const PatternTriangle grown = {
      {{3, -4, 20, 0, 0, 1, 1}, {5, 6, 30, 0, 0, 1, 1}, {-7, 2, 40, 0, 0, 1, 1}}, 0};
  for (bool moved : {false, true}) {
    SCOPED_TRACE(moved ? "moved" : "in place");
    if (moved) {
      Param(kFloralScale).u.fd.value = Fixed(200);
      Param(kFloralPosition).u.td.x_value = Fixed(32 + 5);
      Param(kFloralPosition).u.td.y_value = Fixed(24 - 3);
    }
    InRender([&](const RenderCall& call) {
      QFTrList list;
      list.Append(new PatternTriangle(grown));
      TriangleCount = 1;
      SceneRender scene;
      call.Begin(&scene);
      AssembleMesh(list, &scene);
      ASSERT_EQ(scene.triangleCount, 1);
      PrepareScene(&scene);
      const float factor = moved ? 2 : 1;
      for (int k = 0; k < 3; ++k) {
        EXPECT_FLOAT_EQ(scene.points[k].x, grown.corners[k].x * factor + (moved ? 5 : 0));
        EXPECT_FLOAT_EQ(scene.points[k].y, grown.corners[k].y * factor - (moved ? 3 : 0));
        EXPECT_FLOAT_EQ(scene.points[k].z, grown.corners[k].z * factor);
      }
    });
  }
  ExpectAllReleased();
}

// ---- A host that misbehaves ----

// Renders through the entry point with records of the test's own, over a
// host that can be made to fail, throw or leave out its basic suite.
class FloralRenderMisbehavingHost : public ::testing::Test {
 protected:
  void SetUp() override {
    AttachTestModule();
    ASSERT_EQ(Send(PF_Cmd_PARAMS_SETUP, nullptr), PF_Err_NONE);
    ASSERT_EQ(host.added.size(), size_t(kFloralParamCount));
    defs[0].param_type = PF_Param_LAYER;
    for (int i = 1; i <= kFloralParamCount; ++i) defs[i] = host.added[i - 1];
    for (int i = 0; i <= kFloralParamCount; ++i) params[i] = &defs[i];
    ASSERT_EQ(Send(PF_Cmd_SEQUENCE_SETUP, nullptr), PF_Err_NONE);
    bump = host.out_data.sequence_data;
    defs[0].u.ld = *source.world();
    host.in_data.width = 64;
    host.in_data.height = 48;
    defs[kFloralPosition].u.td.x_value = Fixed(32);
    defs[kFloralPosition].u.td.y_value = Fixed(24);
    // A custom path, and a reflection layer for every check-out.
    defs[kFloralMaskKind].u.pd.value = 7;
    defs[kFloralPath].u.path_d.path_id = 42;
    host.ServePath({{10, 10, 0, 0, 20, 20}, {54, 40, 44, 30, 60, 45}}, true);
    host.layer = *reflection.world();
    host.calls.clear();
    page_probe::Reset();
    pages_before = page_probe::Live();
  }

  PF_Err Send(PF_Cmd cmd, void* extra) {
    return EntryPointFunc(cmd, &host.in_data, &host.out_data, params, output.world(), extra);
  }

  void ExpectAllReleased() {
    EXPECT_EQ(page_probe::Live(), pages_before);
    EXPECT_EQ(host.Locks(bump), 0);
    EXPECT_EQ(host.params_out, 0);
    EXPECT_EQ(host.path_checkouts, host.path_checkins);
    EXPECT_TRUE(host.SuitesBalanced());
    EXPECT_EQ(host.host_errors, 0);
  }

  FakeHost host;
  PF_ParamDef defs[kFloralParamCount + 1] = {};
  PF_ParamDef* params[kFloralParamCount + 1] = {};
  HostWorld source{64, 48, false}, output{64, 48, false}, reflection{5, 3, false};
  PF_Handle bump = nullptr;
  int pages_before = 0;
};

TEST_F(FloralRenderMisbehavingHost, HostCallsComeInOrderAndTheCheckInDecidesTheResult) {
  host.checkin_error = PF_Err_INTERNAL_STRUCT_DAMAGED;
  ASSERT_EQ(Send(PF_Cmd_RENDER, nullptr), PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_GT(TriangleCount, 0) << "the pattern grows along the path";
  const std::vector<std::string> expected = {"checkout path",
                                             "lock",
                                             "checkout_param",
                                             "checkin_param",
                                             "unlock",
                                             "checkin path",
                                             "release PF Path Data Suite",
                                             "release PF Path Query Suite"};
  EXPECT_EQ(host.calls, expected);
  EXPECT_EQ(host.param_checkout.id, kFloralTextureReflection);
  EXPECT_EQ(host.param_checkout.time, 1200);
  EXPECT_EQ(host.param_checkout.step, 20);
  EXPECT_EQ(host.param_checkout.scale, 600u);
  ExpectAllReleased();
}

TEST_F(FloralRenderMisbehavingHost, ExceptionsFromTheHostStillReleaseEverything) {
  host.throw_at_checkout = true;
  EXPECT_EQ(Send(PF_Cmd_RENDER, nullptr), PF_Err_OUT_OF_MEMORY);
  ExpectAllReleased();
  host.throw_at_checkout = false;

  host.throw_at_checkin = true;
  EXPECT_EQ(Send(PF_Cmd_RENDER, nullptr), PF_Err_OUT_OF_MEMORY);
  const std::vector<std::string> tail(host.calls.end() - 5, host.calls.end());
  const std::vector<std::string> expected = {"checkin_param", "unlock", "checkin path",
                                             "release PF Path Data Suite",
                                             "release PF Path Query Suite"};
  EXPECT_EQ(tail, expected);
  ExpectAllReleased();
}

// Without a basic suite there is no way to the parameter suite: a change of
// pattern kind updates nothing, and nothing fails.
TEST_F(FloralRenderMisbehavingHost, EnablingWithoutBasicSuiteChangesNothing) {
  host.in_data.pica_basicP = nullptr;
  PF_UserChangedParamExtra extra = {kFloralKind};
  EXPECT_EQ(Send(PF_Cmd_USER_CHANGED_PARAM, &extra), PF_Err_NONE);
  EXPECT_TRUE(host.updates.empty());
  host.in_data.pica_basicP = &host.basic;
  EXPECT_EQ(Send(PF_Cmd_USER_CHANGED_PARAM, &extra), PF_Err_NONE);
  EXPECT_EQ(host.updates.size(), 2u) << "both limits, once the suite is there";
  ExpectAllReleased();
}

}  // namespace

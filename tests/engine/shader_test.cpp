#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine_state.h"

namespace {

struct Shaded {
  float r, g, b, opacity;
};

light3ds Light(float x, float y, float z, float red = 1.0f, float green = 1.0f, float blue = 1.0f,
               float intensity = 1.0f) {
  light3ds light{};
  light.x = x;
  light.y = y;
  light.z = z;
  light.color[0] = red;
  light.color[1] = green;
  light.color[2] = blue;
  light.intensity = intensity;
  return light;
}

// One pixel at the scene centre shaded by the engine's own shader, with no
// textures, no glass and no neighbour.
class DefaultShader : public EngineState {
 protected:
  void SetUp() override {
    EngineState::SetUp();
    __MaxChannel = 255;
    __LightDef = nullptr;
    material_.diffuse[0] = 1.0f;
    material_.diffuse[1] = 0.5f;
    material_.diffuse[2] = 0.0f;
    material_.specular[0] = 1.0f;
    material_.specular[1] = 1.0f;
    material_.specular[2] = 1.0f;
  }
  Shaded Shade() {
    __Triangle3ds triangle{0, 1, 2, 0, materialIndex_};
    Shaded out{};
    out.opacity = __DefRenderOnePixel(0.0f, 0.0f, nullptr, nullptr, 0.0f, 0.0f, 0.0f, &triangle,
                                      &material_, materialCount_, out.r, out.g, out.b, &normal_, 0,
                                      0.0f, 0.0f, nullptr, static_cast<int>(lights_.size()),
                                      lights_.data(), nullptr, nullptr, 0.0f, 0.0f, 0.0f, 0.0f);
    return out;
  }
  // A light at distance 1000 whose direction makes cosine c with the z axis.
  static light3ds LightAtCosine(float c) {
    return Light(1000.0f * std::sqrt(1.0f - c * c), 0.0f, 1000.0f * c);
  }

  material3ds material_{};
  int materialCount_ = 1;
  uint16_t materialIndex_ = 0;
  std::vector<light3ds> lights_{Light(0.0f, 0.0f, 1000.0f)};
  __Point normal_{0.0f, 0.0f, 1.0f};
};

TEST_F(DefaultShader, WithoutMaterialGreyWithSharpWhiteHighlight) {
  materialCount_ = 0;
  lights_ = {LightAtCosine(0.98f)};
  const Shaded s = Shade();
  // 0.5 grey diffuse plus a highlight of strength 10 and exponent 150.
  const double expected = (0.5 * 0.98 + 10.0 * std::pow(0.98, 150.0)) * 255.0;
  EXPECT_NEAR(s.r, expected, 0.05);
  EXPECT_NEAR(s.g, expected, 0.05);
  EXPECT_NEAR(s.b, expected, 0.05);
  EXPECT_EQ(s.opacity, 1.0f);
}

TEST_F(DefaultShader, MaterialIndexAtTheCountMeansNoMaterial) {
  materialIndex_ = 1;
  material_.transparency = -0.5f;
  lights_ = {LightAtCosine(0.5f)};  // 0.5^150 leaves no highlight
  const Shaded s = Shade();
  EXPECT_NEAR(s.r, 0.25f * 255.0f, 1e-3f);
  EXPECT_NEAR(s.b, 0.25f * 255.0f, 1e-3f);
  EXPECT_EQ(s.opacity, 1.0f);
}

TEST_F(DefaultShader, OpacityFromNegatedTransparencyClamped) {
  const float fields[] = {-0.25f, 0.4f, 0.0f, -1.0f, -3.0f};
  const float opacities[] = {0.75f, 1.0f, 1.0f, 0.0f, 0.0f};
  for (int i = 0; i < 5; ++i) {
    material_.transparency = fields[i];
    EXPECT_EQ(Shade().opacity, opacities[i]) << fields[i];
  }
}

TEST_F(DefaultShader, MaterialColoursExponentAndStrength) {
  material_.specular[0] = 0.0f;
  material_.specular[1] = 0.5f;
  material_.specular[2] = 1.0f;
  material_.shininess = 0.02f;  // exponent 2
  material_.shininessStrength = 0.4f;
  lights_ = {LightAtCosine(0.6f)};
  const Shaded s = Shade();
  const double d = 0.6, highlight = 0.4 * d * d;
  EXPECT_NEAR(s.r, (1.0 * d + 0.0 * highlight) * 255.0, 1e-3);
  EXPECT_NEAR(s.g, (0.5 * d + 0.5 * highlight) * 255.0, 1e-3);
  EXPECT_NEAR(s.b, (0.0 * d + 1.0 * highlight) * 255.0, 1e-3);
}

TEST_F(DefaultShader, ShininessZeroGivesFullHighlightAtAnyAngle) {
  material_.diffuse[0] = material_.diffuse[1] = material_.diffuse[2] = 0.0f;
  material_.shininess = 0.0f;
  material_.shininessStrength = 0.5f;
  lights_ = {Light(0.0f, 0.0f, -1000.0f, 1.0f, 0.5f, 0.25f)};  // behind the surface
  const Shaded s = Shade();
  EXPECT_NEAR(s.r, 0.5f * 255.0f, 1e-3f);
  EXPECT_NEAR(s.g, 0.25f * 255.0f, 1e-3f);
  EXPECT_NEAR(s.b, 0.125f * 255.0f, 1e-3f);
}

TEST_F(DefaultShader, LightColourIntensityAndDistanceOfTheLight) {
  material_.shininess = 1.0f;  // exponent 100: no visible highlight at this angle
  material_.shininessStrength = 1.0f;
  lights_ = {Light(0.0f, 3000.0f, 4000.0f, 0.5f, 1.0f, 1.0f, 0.5f)};  // cosine 0.8
  const Shaded s = Shade();
  EXPECT_NEAR(s.r, 1.0f * 0.4f * 0.5f * 255.0f, 1e-3f);
  EXPECT_NEAR(s.g, 0.5f * 0.4f * 1.0f * 255.0f, 1e-3f);
  EXPECT_NEAR(s.b, 0.0f, 1e-3f);
}

TEST_F(DefaultShader, SelfIlluminationOnlyForZeroNormalOncePerLight) {
  normal_ = {0.0f, 0.0f, 0.0f};
  material_.selfIllum = 0.3f;
  material_.shininessStrength = 5.0f;
  material_.shininess = 0.5f;
  Shaded s = Shade();
  EXPECT_NEAR(s.r, 0.3f * 255.0f, 1e-3f);
  EXPECT_NEAR(s.g, 0.15f * 255.0f, 1e-3f);
  EXPECT_EQ(s.b, 0.0f);
  lights_.push_back(Light(500.0f, 0.0f, 100.0f));
  s = Shade();
  EXPECT_NEAR(s.r, 0.6f * 255.0f, 1e-3f);
  EXPECT_NEAR(s.g, 0.3f * 255.0f, 1e-3f);
}

TEST_F(DefaultShader, SelfIlluminationMixesWithTheDiffuseTerm) {
  material_.selfIllum = 0.25f;
  material_.shininessStrength = 0.0f;
  lights_ = {LightAtCosine(0.6f)};
  EXPECT_NEAR(Shade().r, (0.6f * 0.75f + 0.25f) * 255.0f, 1e-3f);
}

TEST_F(DefaultShader, NormalIsNormalisedBeforeLighting) {
  material_.shininessStrength = 0.0f;
  normal_ = {0.0f, 0.0f, 7.0f};
  lights_ = {LightAtCosine(0.6f)};
  EXPECT_NEAR(Shade().r, 0.6f * 255.0f, 1e-3f);
}

TEST_F(DefaultShader, WithoutLightsFallsBackToTheDefaultLight) {
  material_.transparency = -0.25f;
  material_.shininessStrength = 0.0f;
  lights_.clear();
  Shaded s = Shade();
  EXPECT_EQ(s.r, 0.0f);
  EXPECT_EQ(s.g, 0.0f);
  EXPECT_EQ(s.b, 0.0f);
  EXPECT_EQ(s.opacity, 0.75f);

  light3ds fallback = Light(0.0f, 0.0f, 1000.0f, 0.5f, 1.0f, 1.0f);
  __LightDef = &fallback;
  s = Shade();
  EXPECT_NEAR(s.r, 0.5f * 255.0f, 1e-3f);
  EXPECT_NEAR(s.g, 0.5f * 255.0f, 1e-3f);
  EXPECT_EQ(s.opacity, 0.75f);
}

TEST_F(DefaultShader, BackFacePassShadesTheFarSide) {
  material_.shininessStrength = 0.0f;
  normal_ = {0.0f, 0.0f, -1.0f};
  EXPECT_EQ(Shade().r, 0.0f);
  _DrawBackFaces1 = 1;
  EXPECT_NEAR(Shade().r, 255.0f, 1e-3f);
  normal_ = {0.0f, 0.0f, 1.0f};
  EXPECT_EQ(Shade().r, 0.0f);
}

TEST_F(DefaultShader, DoubleSidedSurfaceAlwaysFacesTheViewer) {
  material_.shininessStrength = 0.0f;
  normal_ = {0.0f, 0.0f, -1.0f};
  _DubleSide = 1;
  EXPECT_NEAR(Shade().r, 255.0f, 1e-3f);
  // In the back-face pass a front-facing normal is negated first, then flipped back.
  _DrawBackFaces1 = 1;
  normal_ = {0.0f, 0.0f, 1.0f};
  EXPECT_NEAR(Shade().r, 255.0f, 1e-3f);
}

TEST_F(DefaultShader, ColourIsClampedToTheFullChannelValue) {
  lights_ = {Light(0.0f, 0.0f, 1000.0f, 4.0f, -1.0f, 1.0f)};
  material_.shininessStrength = 0.0f;
  Shaded s = Shade();
  EXPECT_EQ(s.r, 255.0f);
  EXPECT_EQ(s.g, 0.0f);
  EXPECT_EQ(s.b, 0.0f);
  _Deep = 1;
  __MaxChannel = 32768;
  s = Shade();
  EXPECT_EQ(s.r, 32768.0f);
  EXPECT_EQ(s.g, 0.0f);
  lights_ = {LightAtCosine(0.6f)};
  EXPECT_NEAR(Shade().r, 0.6f * 32768.0f, 0.01f);
}

// Material 1 of two, with one-texel textures in its slots (material 0's
// slots hold green, which must never show), glass records for both, and a
// one-pixel frame whose source is red.
class ShaderStageOrder : public DefaultShader {
 protected:
  void SetUp() override {
    DefaultShader::SetUp();
    Zwidth = Zheight = 1;
    __RowBytes = 4;
    __OutImage = out_;
    __BackImage = back_;
    __BackZBuff = &depth_;
    materials_[1].diffuse[0] = materials_[1].diffuse[1] = materials_[1].diffuse[2] = 0.2f;
    materials_[1].maps[0].amount = 1.0f;
    materials_[1].maps[2].amount = 1.0f;
    materials_[1].maps[7].amount = 0.5f;
    for (int s = 0; s < 8; ++s) textures_[s] = {1, 1, 1, s < 4 ? green_ : texels_[s - 4], 0};
  }
  Shaded Shade(unsigned char textures_on = 1) {
    __Triangle3ds triangle{0, 1, 2, 0, materialIndex_};
    Shaded out{};
    out.opacity = __DefRenderOnePixel(
        0.0f, 0.0f, nullptr, source_, 0.0f, 0.0f, 0.0f, &triangle, materials_, materialCount_,
        out.r, out.g, out.b, &normal_, textures_on, 0.0f, 0.0f, textures_,
        static_cast<int>(lights_.size()), lights_.data(), nullptr, glass_, 0.0f, 0.0f, 0.0f, 0.0f);
    return out;
  }

  material3ds materials_[2]{};
  __Texture textures_[8]{};
  // Colour map red, opacity map 0.6, no bump, reflection blue (blue, green, red, alpha).
  unsigned char texels_[4][4] = {
      {0, 0, 255, 255}, {153, 0, 0, 255}, {0, 0, 0, 0}, {255, 0, 0, 255}};
  unsigned char green_[4] = {0, 255, 0, 255};
  GlassProp glass_[2] = {{0, 0.0f, 0.0f, 0.0f}, {0, 0.0f, 0.0f, 0.0f}};
  unsigned char source_[4] = {255, 0, 0, 255}, out_[4] = {}, back_[4] = {};
  float depth_ = -1.6947395e38f;

  void SetUpMaterialOne() {
    materialCount_ = 2;
    materialIndex_ = 1;
  }
};

TEST_F(ShaderStageOrder, ReflectionLiesOverTheMapsOfTheMaterialsOwnSlots) {
  SetUpMaterialOne();
  Shaded s = Shade();
  EXPECT_NEAR(s.r, 0.5f * 255.0f, 1e-3f);
  EXPECT_EQ(s.g, 0.0f);
  EXPECT_NEAR(s.b, 0.5f * 255.0f, 1e-3f);
  EXPECT_NEAR(s.opacity, 0.6f, 1e-6f);
  // Textures off: only the reflection map runs.
  s = Shade(0);
  EXPECT_NEAR(s.r, 0.1f * 255.0f, 1e-3f);
  EXPECT_NEAR(s.b, 0.6f * 255.0f, 1e-3f);
  EXPECT_EQ(s.opacity, 1.0f);
  // Without a texture array there is nothing to map.
  const Shaded plain = [&] {
    Shaded out{};
    __Triangle3ds triangle{0, 1, 2, 0, 1};
    out.opacity =
        __DefRenderOnePixel(0.0f, 0.0f, nullptr, source_, 0.0f, 0.0f, 0.0f, &triangle, materials_,
                            2, out.r, out.g, out.b, &normal_, 1, 0.0f, 0.0f, nullptr, 1,
                            lights_.data(), nullptr, nullptr, 0.0f, 0.0f, 0.0f, 0.0f);
    return out;
  }();
  EXPECT_NEAR(plain.b, 0.2f * 255.0f, 1e-3f);
}

TEST_F(ShaderStageOrder, GlassRefractsTheTexturedColourAfterTheLightCheck) {
  SetUpMaterialOne();
  _UseMultyRefract = 0;
  glass_[1].enabled = 1;
  materials_[1].maps[7].amount = 0.0f;
  // The colour map made the diffuse red: a tint of +0.5 over the red source.
  Shaded s = Shade();
  EXPECT_EQ(s.r, 255.0f);
  EXPECT_EQ(s.g, 0.0f);
  // The tint of the plain material: 0.2 - 0.5 over the source.
  s = Shade(0);
  EXPECT_NEAR(s.r, 0.7f * 255.0f, 1e-3f);
  EXPECT_EQ(s.b, 0.0f);
}

TEST_F(ShaderStageOrder, GlassRecordOfTheMaterialOrTheFirstWithoutMaterials) {
  // The layered glass records its depth: a visible sign that glass ran.
  glass_[0].enabled = 1;
  auto ran = [&] {
    depth_ = -1.6947395e38f;
    Shade();
    return depth_ == 0.0f;
  };
  materialCount_ = 0;
  EXPECT_TRUE(ran());
  SetUpMaterialOne();
  EXPECT_FALSE(ran());  // material 1's record is off
  materialIndex_ = 5;   // no such material: no record either
  EXPECT_FALSE(ran());
  materialIndex_ = 0;
  EXPECT_TRUE(ran());
  lights_.clear();  // no light at all: the pixel is black before glass
  EXPECT_FALSE(ran());
}

float CustomShader(float, float, unsigned char*, unsigned char*, float, float, float,
                   __Triangle3ds*, material3ds*, int, float& r, float& g, float& b, __Point*,
                   unsigned char, float, float, __Texture*, int, light3ds*, __PrevInfo*, GlassProp*,
                   float, float, float, float) {
  r = g = b = 1.0f;
  return 0.5f;
}

using ShaderHook = EngineState;

TEST_F(ShaderHook, SettersInstallAndRestore) {
  EXPECT_EQ(__RenderOnePixel, &__DefRenderOnePixel);
  __SetNewRenderOnePixel(CustomShader);
  EXPECT_EQ(__RenderOnePixel, &CustomShader);
  __SetDefRenderOnePixel();
  EXPECT_EQ(__RenderOnePixel, &__DefRenderOnePixel);
}

TEST_F(ShaderHook, NullShaderRestoresTheDefault) {
  __SetNewRenderOnePixel(CustomShader);
  __SetNewRenderOnePixel(nullptr);
  EXPECT_EQ(__RenderOnePixel, &__DefRenderOnePixel);
}

using ChannelAccess = EngineState;

TEST_F(ChannelAccess, IndexCountsValuesOfTheCurrentDepth) {
  unsigned char buffer[16] = {};
  for (int i = 0; i < 16; ++i) buffer[i] = static_cast<unsigned char>(i + 1);
  EXPECT_EQ(__GetChannel(buffer, 5), 6u);
  _Deep = 1;
  uint16_t expected;
  std::memcpy(&expected, buffer + 10, 2);
  EXPECT_EQ(__GetChannel(buffer, 5), expected);

  __SetChannel(buffer, 5, 0x12345u);  // keeps the low 16 bits
  std::memcpy(&expected, buffer + 10, 2);
  EXPECT_EQ(expected, 0x2345u);
  EXPECT_EQ(buffer[9], 10);
  EXPECT_EQ(buffer[12], 13);
  _Deep = 0;
  __SetChannel(buffer, 3, 0x1FFu);  // keeps the low 8 bits
  EXPECT_EQ(buffer[3], 0xFF);
  EXPECT_EQ(buffer[4], 5);
}

}  // namespace

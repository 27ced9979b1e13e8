// Loads both deliverables into one process the way a host does and checks
// that each exports the whole engine interface under its C names and keeps
// its own copy of the engine's settings.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

const char* const kEngineNames[] = {"__RasterScene",
                                    "__RasterSolid",
                                    "__DrawScenesLineColor",
                                    "__AddPersp",
                                    "__Sort",
                                    "__SetLightDef",
                                    "__SetZBuff",
                                    "__GetZBuff",
                                    "__SetDefRenderOnePixel",
                                    "__SetNewRenderOnePixel",
                                    "__SetDrawMode",
                                    "__SetQuality",
                                    "__SetDeep",
                                    "__SetUseMultyRefract",
                                    "__SetDubleSide",
                                    "__SetDrawBackFaces",
                                    "__SetUsePhong2",
                                    "__SetUseGlass",
                                    "__SetUseCustomMats",
                                    "__SetUsePersp",
                                    "__SetUseReflection",
                                    "__GetDrawMode",
                                    "__GetQuality",
                                    "__GetDeep",
                                    "__GetUseMultyRefract",
                                    "__GetDubleSide",
                                    "__GetDrawBackFaces",
                                    "__GetUsePhong2",
                                    "__GetUseGlass",
                                    "__GetUseCustomMats",
                                    "__GetUsePersp",
                                    "__GetUseReflection",
                                    "__ConvertBYTE16TO8",
                                    "__ConvertBYTE8TO16",
                                    "__ConvertText",
                                    "__mmx_present",
                                    "_DrawMode",
                                    "_Quality",
                                    "_Deep",
                                    "_UseMultyRefract",
                                    "_DubleSide",
                                    "_DrawBackFaces",
                                    "_DrawBackFaces1",
                                    "_UsePhong2",
                                    "_UseGlass",
                                    "_UseCustomMats",
                                    "_UsePersp",
                                    "_UseReflection",
                                    "_WireSize",
                                    "_Persp_Val",
                                    "_Persp_x",
                                    "_Persp_y",
                                    "_Persp_Far",
                                    "ZBuff",
                                    "Zwidth",
                                    "Zheight",
                                    "EntryPointFunc"};

class Deliverables : public ::testing::Test {
 protected:
  void SetUp() override {
    floral = LoadLibraryA(QF_FLORAL_PATH);
    geometry = LoadLibraryA(QF_GEOMETRY_PATH);
    ASSERT_NE(floral, nullptr);
    ASSERT_NE(geometry, nullptr);
  }
  void TearDown() override {
    if (geometry != nullptr) FreeLibrary(geometry);
    if (floral != nullptr) FreeLibrary(floral);
  }
  HMODULE floral = nullptr;
  HMODULE geometry = nullptr;
};

// An export's address: data exports are found the same way as functions.
void* Export(HMODULE module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(module, name));
}

TEST_F(Deliverables, EachExportsTheWholeEngineInterface) {
  for (HMODULE library : {floral, geometry})
    for (const char* name : kEngineNames) EXPECT_NE(Export(library, name), nullptr) << name;
  // Engine internals stay hidden.
  EXPECT_EQ(Export(floral, "__RenderOnePixel"), nullptr);
  EXPECT_EQ(Export(floral, "__LightDef"), nullptr);
}

TEST_F(Deliverables, SettingsAreKeptApart) {
  using Set = void (*)(unsigned char);
  using Get = unsigned char (*)();
  // void(*)() converts to and from every function pointer type.
  auto set_floral =
      reinterpret_cast<Set>(reinterpret_cast<void (*)()>(GetProcAddress(floral, "__SetDrawMode")));
  auto get_geometry = reinterpret_cast<Get>(
      reinterpret_cast<void (*)()>(GetProcAddress(geometry, "__GetDrawMode")));
  auto* floral_mode = static_cast<unsigned char*>(Export(floral, "_DrawMode"));
  auto* geometry_mode = static_cast<unsigned char*>(Export(geometry, "_DrawMode"));
  ASSERT_TRUE(set_floral && get_geometry && floral_mode && geometry_mode);
  ASSERT_NE(floral_mode, geometry_mode);
  const unsigned char before = *geometry_mode;
  set_floral(static_cast<unsigned char>(before == 9 ? 10 : 9));
  EXPECT_EQ(*floral_mode, before == 9 ? 10 : 9);
  EXPECT_EQ(*geometry_mode, before);
  EXPECT_EQ(get_geometry(), before);
}

}  // namespace

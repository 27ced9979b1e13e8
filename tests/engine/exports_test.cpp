// Loads both deliverables into one process the way a host does and checks
// that each exports the whole engine interface under its C names and keeps
// its own copy of the engine's settings.
#include <dlfcn.h>

#include <gtest/gtest.h>

namespace {

const char* const kEngineNames[] = {
    "__RasterScene", "__RasterSolid", "__DrawScenesLineColor", "__AddPersp", "__Sort",
    "__SetLightDef", "__SetZBuff", "__GetZBuff", "__SetDefRenderOnePixel",
    "__SetNewRenderOnePixel", "__SetDrawMode", "__SetQuality", "__SetDeep",
    "__SetUseMultyRefract", "__SetDubleSide", "__SetDrawBackFaces", "__SetUsePhong2",
    "__SetUseGlass", "__SetUseCustomMats", "__SetUsePersp", "__SetUseReflection",
    "__GetDrawMode", "__GetQuality", "__GetDeep", "__GetUseMultyRefract", "__GetDubleSide",
    "__GetDrawBackFaces", "__GetUsePhong2", "__GetUseGlass", "__GetUseCustomMats",
    "__GetUsePersp", "__GetUseReflection", "__ConvertBYTE16TO8", "__ConvertBYTE8TO16",
    "__ConvertText", "__mmx_present", "_DrawMode", "_Quality", "_Deep", "_UseMultyRefract",
    "_DubleSide", "_DrawBackFaces", "_DrawBackFaces1", "_UsePhong2", "_UseGlass",
    "_UseCustomMats", "_UsePersp", "_UseReflection", "_WireSize", "_Persp_Val", "_Persp_x",
    "_Persp_y", "_Persp_Far", "ZBuff", "Zwidth", "Zheight", "EntryPointFunc"};

class Deliverables : public ::testing::Test {
protected:
    void SetUp() override {
        floral = dlopen(QF_FLORAL_PATH, RTLD_NOW | RTLD_LOCAL);
        geometry = dlopen(QF_GEOMETRY_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(floral, nullptr) << dlerror();
        ASSERT_NE(geometry, nullptr) << dlerror();
    }
    void TearDown() override {
        if (geometry != nullptr) dlclose(geometry);
        if (floral != nullptr) dlclose(floral);
    }
    void* floral = nullptr;
    void* geometry = nullptr;
};

TEST_F(Deliverables, EachExportsTheWholeEngineInterface) {
    for (void* library : {floral, geometry})
        for (const char* name : kEngineNames)
            EXPECT_NE(dlsym(library, name), nullptr) << name << ": " << dlerror();
    // Engine internals stay hidden.
    EXPECT_EQ(dlsym(floral, "__RenderOnePixel"), nullptr);
    EXPECT_EQ(dlsym(floral, "__LightDef"), nullptr);
}

TEST_F(Deliverables, SettingsAreKeptApart) {
    using Set = void (*)(unsigned char);
    using Get = unsigned char (*)();
    auto setFloral = reinterpret_cast<Set>(dlsym(floral, "__SetDrawMode"));
    auto getGeometry = reinterpret_cast<Get>(dlsym(geometry, "__GetDrawMode"));
    auto* floralMode = static_cast<unsigned char*>(dlsym(floral, "_DrawMode"));
    auto* geometryMode = static_cast<unsigned char*>(dlsym(geometry, "_DrawMode"));
    ASSERT_TRUE(setFloral && getGeometry && floralMode && geometryMode);
    ASSERT_NE(floralMode, geometryMode);
    const unsigned char before = *geometryMode;
    setFloral(static_cast<unsigned char>(before == 9 ? 10 : 9));
    EXPECT_EQ(*floralMode, before == 9 ? 10 : 9);
    EXPECT_EQ(*geometryMode, before);
    EXPECT_EQ(getGeometry(), before);
}

}  // namespace

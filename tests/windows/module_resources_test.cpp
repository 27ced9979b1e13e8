// Each deliverable loaded as a host loads it: the property list found with
// FindResourceA in the build's language, byte for byte the data the resource
// compiler made of the build's script (the native build's table holds the
// same), and bitmap 999 loadable from the module.
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct Build {
  const char* module;
  WORD language;
  const char* pipl_data;  // qf-rc's data file of the PIPL resource
};

class ModuleResources : public ::testing::TestWithParam<Build> {};

TEST_P(ModuleResources, PropertyListAndBumpBitmapAsTheScriptHasThem) {
  const Build& b = GetParam();
  HMODULE module = LoadLibraryA(b.module);
  ASSERT_NE(module, nullptr) << b.module;
  HRSRC any = FindResourceA(module, MAKEINTRESOURCEA(16000), "PIPL");
  HRSRC own = FindResourceExA(module, "PIPL", MAKEINTRESOURCEA(16000), b.language);
  ASSERT_NE(any, nullptr);
  EXPECT_EQ(any, own) << "not in language " << b.language;
  const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(module, any)));
  ASSERT_NE(bytes, nullptr);
  const std::vector<unsigned char> found(bytes, bytes + SizeofResource(module, any));
  std::ifstream in(b.pipl_data, std::ios::binary);
  ASSERT_TRUE(in) << b.pipl_data;
  const std::vector<unsigned char> expected((std::istreambuf_iterator<char>(in)),
                                            std::istreambuf_iterator<char>());
  EXPECT_EQ(found, expected);

  HBITMAP bump = LoadBitmapA(module, MAKEINTRESOURCEA(999));
  ASSERT_NE(bump, nullptr);
  BITMAP info{};
  ASSERT_NE(GetObjectA(bump, sizeof info, &info), 0);
  EXPECT_EQ(info.bmWidth, 40);
  EXPECT_EQ(info.bmHeight, 40);
  DeleteObject(bump);
  FreeLibrary(module);
}

INSTANTIATE_TEST_SUITE_P(Deliverables, ModuleResources,
                         ::testing::Values(Build{QF_FLORAL_PATH, 1033, QF_FLORAL_PIPL},
                                           Build{QF_GEOMETRY_PATH, 1049, QF_GEOMETRY_PIPL}),
                         [](const ::testing::TestParamInfo<Build>& info) {
                           return std::string(info.param.language == 1033 ? "Floral" : "Geometry");
                         });

}  // namespace

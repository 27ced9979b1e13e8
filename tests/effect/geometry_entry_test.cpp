#include <gtest/gtest.h>

#include <string>

#include "builds/geometry/geometry.h"
#include "entry_test.h"

namespace {

class GeometryEntry : public EntryTest {};

TEST_F(GeometryEntry, GlobalSetupCutsTheShorterShippedName) {
  ASSERT_EQ(effect.GlobalSetup(), PF_Err_NONE);
  EXPECT_EQ(effect.my_version(), 0x00100001u);
  EXPECT_EQ(effect.out_flags(), 0x06008454);
  char path[1024];
  DWORD length = GetModuleFileNameA(ModuleInstance, path, sizeof(path));
  ASSERT_GT(length, 16u);
  EXPECT_EQ(std::string(PluginFolder), std::string(path, length - 16));
  EXPECT_EQ(effect.GlobalSetdown(), PF_Err_NONE);
}

}  // namespace

// The property list every effect here declares: what PiplBuilder::Effect
// writes and what the deliverables carry, but for the name and category.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "qf_host/pipl.h"

namespace qfhost_test {

inline void ExpectEffectPipl(const qfhost::PiplInfo& pipl, const std::string& name,
                             const std::string& category) {
  EXPECT_EQ(pipl.kind, "eFKT");
  EXPECT_EQ(pipl.name, name);
  EXPECT_EQ(pipl.match_name, name);
  EXPECT_EQ(pipl.category, category);
  EXPECT_EQ(pipl.entry_point, "EntryPointFunc");
  ASSERT_TRUE(pipl.pipl_version && pipl.spec_version);
  EXPECT_EQ(pipl.pipl_version->major, 2);
  EXPECT_EQ(pipl.pipl_version->minor, 0);
  EXPECT_EQ(pipl.spec_version->major, 13);
  EXPECT_EQ(pipl.spec_version->minor, 2);
  EXPECT_EQ(pipl.effect_version, 0x00100001u);
  EXPECT_EQ(pipl.global_flags, 0x06008454u);
  EXPECT_EQ(pipl.info_flags, 0);
  EXPECT_EQ(pipl.ae_flags, 0u);
}

}  // namespace qfhost_test

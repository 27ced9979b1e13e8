// The fixture of the entry-point tests: the test program attached as the
// build's module and driven through the host library's checking host, which
// notes every misuse of handles, suites, check-outs and world padding.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entry_test_support.h"
#include "qf_host/deliverable.h"
#include "qf_host/host_session.h"
#include "qf_host/loaded_effect.h"

class EntryTest : public ::testing::Test {
 protected:
  explicit EntryTest(PF_EntryPointFunc entry = &EntryPointFunc)
      : effect(session, qfhost::Deliverable::InProcess(AttachTestModule(), entry)) {}
  void TearDown() override {
    EXPECT_EQ(session.errors(), std::vector<std::string>{});
    EXPECT_EQ(session.UnreleasedSuites(), std::vector<std::string>{});
  }
  qfhost::HostSession session;
  qfhost::LoadedEffect effect;
};

// The fixture of the entry-point tests: the test program attached as the
// build's module, and a fake host to send it commands with.
#pragma once

#include <gtest/gtest.h>

#include "entry_test_support.h"
#include "fake_host.h"

class EntryTest : public ::testing::Test {
 protected:
  void SetUp() override { AttachTestModule(); }
  PF_Err Run(PF_Cmd cmd, PF_ParamDef** params = nullptr, void* extra = nullptr) {
    return EntryPointFunc(cmd, &host.in_data, &host.out_data, params, nullptr, extra);
  }
  FakeHost host;
};

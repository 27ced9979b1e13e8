// The host's own checks, driven by a probe module that misuses it on purpose:
// these are what make "no host errors" mean something for the real deliverables.
#include <gtest/gtest.h>

#include <fstream>

#include "probe_commands.h"
#include "qf_host/deliverable.h"
#include "qf_host/host_error.h"
#include "qf_host/host_session.h"
#include "qf_host/loaded_effect.h"
#include "temp_files.h"

namespace {

using qfhost::Deliverable;
using qfhost::HostError;
using qfhost::HostSession;
using qfhost::LoadedEffect;

::testing::AssertionResult HasErrorContaining(const HostSession& host, const std::string& text) {
  for (const std::string& e : host.errors())
    if (e.find(text) != std::string::npos) return ::testing::AssertionSuccess();
  auto failure = ::testing::AssertionFailure()
                 << "no host error containing \"" << text << "\"; errors:";
  for (const std::string& e : host.errors()) failure << "\n  " << e;
  return failure;
}

class ProbeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    effect_ = std::make_unique<LoadedEffect>(host_, Deliverable::Load(QF_PROBE_PATH));
    ASSERT_EQ(effect_->GlobalSetup(), PF_Err_NONE);
    ASSERT_EQ(effect_->ParamsSetup(), PF_Err_NONE);
    ASSERT_EQ(effect_->SequenceSetup(), PF_Err_NONE);
    ASSERT_TRUE(host_.errors().empty());
  }
  HostSession host_;
  std::unique_ptr<LoadedEffect> effect_;
};

TEST_F(ProbeTest, HandleMisuseIsRecorded) {
  const PF_Handle seq = effect_->sequence_data();
  ASSERT_NE(seq, nullptr);
  EXPECT_EQ(host_.handle_state(seq)->size, 16u);

  effect_->Send(kProbeUnlockTwice);
  EXPECT_TRUE(HasErrorContaining(host_, "not locked"));
  EXPECT_EQ(host_.handle_state(seq)->locks, 0);
  host_.ClearErrors();

  effect_->Send(kProbeDisposeTwice);
  EXPECT_TRUE(HasErrorContaining(host_, "already disposed"));
  EXPECT_EQ(host_.errors().size(), 1u);
  EXPECT_TRUE(host_.handle_state(seq)->disposed);
  EXPECT_EQ(host_.live_handle_count(), 0u);
  EXPECT_EQ(effect_->sequence_data(), nullptr);
}

TEST_F(ProbeTest, SequenceDataMustBeALiveHostHandle) {
  effect_->Send(kProbeForeignSequenceData);
  EXPECT_TRUE(HasErrorContaining(host_, "not a live host handle"));
}

TEST_F(ProbeTest, SuitePairingIsCounted) {
  effect_->Send(kProbeReleaseUnacquired);
  EXPECT_TRUE(HasErrorContaining(host_, "released more often than acquired"));
  EXPECT_TRUE(host_.UnreleasedSuites().empty());

  effect_->Send(kProbeAcquireOnly);
  const auto& use = host_.suite_uses().at({kPFParamUtilsSuite, kPFParamUtilsSuiteVersion2});
  EXPECT_EQ(use.acquired, 1);
  EXPECT_EQ(use.released, 0);
  ASSERT_EQ(host_.UnreleasedSuites().size(), 1u);

  host_.WithdrawSuite(kPFParamUtilsSuite, kPFParamUtilsSuiteVersion2);
  effect_->Send(kProbeAcquireOnly);
  EXPECT_EQ(host_.suite_uses().at({kPFParamUtilsSuite, kPFParamUtilsSuiteVersion2}).refused, 1);
}

TEST_F(ProbeTest, CheckoutsMustBeCheckedInWithinTheCommand) {
  effect_->Send(kProbeCheckoutOnly);
  EXPECT_TRUE(HasErrorContaining(host_, "not checked in"));
}

TEST_F(ProbeTest, AnEscapingExceptionBecomesAHostError) {
  EXPECT_THROW(effect_->Send(kProbeThrow), HostError);
  // The effect stays usable afterwards.
  EXPECT_EQ(effect_->SequenceSetdown(), PF_Err_NONE);
  EXPECT_EQ(host_.live_handle_count(), 0u);
}

TEST_F(ProbeTest, HostKeepsItsOwnCopyOfParameterTexts) {
  ASSERT_EQ(effect_->param_count(), static_cast<size_t>(kProbeParamCount));
  EXPECT_STREQ(effect_->param(1).def.u.pd.namesptr, kProbeChoices);
  EXPECT_EQ(effect_->param(0).def.param_type, PF_Param_LAYER);
  effect_->mutable_param(1).u.pd.value = 3;
  EXPECT_EQ(effect_->Send(kProbeReadChoice), 3);
}

TEST_F(ProbeTest, FailingCallsAreCountedPerSession) {
  constexpr int kDeclared = kProbeParamCount - 1;  // the calls of the set-up before
  host_.FailCall(qfhost::HostCall::kAddParam, kDeclared + 1, 77);
  EXPECT_EQ(effect_->ParamsSetup(), 77);
  EXPECT_EQ(effect_->param_count(), 1u);
  EXPECT_EQ(effect_->ParamsSetup(), PF_Err_NONE);
  EXPECT_EQ(host_.CallCount(qfhost::HostCall::kAddParam), 2 * kDeclared + 1);
}

TEST(DeliverableLoad, RefusesWhatIsNoEffect) {
  const std::string text = qfhost_test::TempFile("not_a_plugin.aex");
  std::ofstream(text) << "just some text\n";
  const struct {
    std::string path;
    std::string reason;
  } cases[] = {
      {text, "not a loadable plug-in module"},
      {::testing::TempDir() + "qf_host_no_such_file.aex", "no such file"},
      {::testing::TempDir(), "not a file"},
      {QF_WIN32_PATH, "no property list"},
      {QF_PROBE_NOENTRY_PATH, "entry point 'MissingEntry' not found"},
  };
  for (const auto& c : cases) {
    try {
      Deliverable::Load(c.path);
      ADD_FAILURE() << c.path << " loaded";
    } catch (const HostError& e) {
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
    }
  }
}

}  // namespace

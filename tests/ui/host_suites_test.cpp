#include "ui/host_suites.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "panel_host.h"

namespace {

long ThrownCode(void (*body)(PanelHost&), PanelHost& host) {
  try {
    body(host);
  } catch (long code) {
    return code;
  }
  return 0;
}

TEST(HostSuiteHandler, ReleasesExactlyTheSuitesItTook) {
  PanelHost host;
  { HostSuiteHandler unused(host.in_data.pica_basicP); }
  EXPECT_TRUE(host.asked.empty());
  EXPECT_TRUE(host.releases.empty()) << "a handler with no accessor call releases nothing";

  {
    HostSuiteHandler suites(host.in_data.pica_basicP);
    const PFAppSuite6* first = suites.AppSuite();
    EXPECT_EQ(first, &host.app);
    EXPECT_EQ(suites.AppSuite(), first);
    EXPECT_EQ(host.Acquired("PF AE App Suite", 6), 1);
    EXPECT_EQ(host.Released("PF AE App Suite", 6), 0);
  }
  EXPECT_EQ(host.Released("PF AE App Suite", 6), 1);
  EXPECT_EQ(host.releases.size(), 1u);
  EXPECT_TRUE(host.SuitesBalanced());
}

TEST(HostSuiteHandler, MissingSuitesThrowTheHostErrorCode) {
  PanelHost host;
  host.in_data.pica_basicP = nullptr;
  EXPECT_EQ(ThrownCode([](PanelHost& h) { HostSuiteHandler s(h.in_data.pica_basicP); }, host),
            516L);

  host.in_data.pica_basicP = &host.basic;
  host.missing.insert("PF AE App Suite");
  EXPECT_EQ(ThrownCode(
                [](PanelHost& h) {
                  HostSuiteHandler s(h.in_data.pica_basicP);
                  s.AppSuite();
                },
                host),
            516L);
  EXPECT_TRUE(host.releases.empty());
}

TEST(AEFXSuites, AcquireAndReleaseReportFailuresToTheHost) {
  PanelHost host;
  const void* suite = &host;
  EXPECT_EQ(AEFX_AcquireSuite(&host.in_data, &host.out_data, "PF Effect Custom UI Suite", 1,
                              nullptr, &suite),
            PF_Err_NONE);
  EXPECT_EQ(suite, &host.custom_ui);
  EXPECT_EQ(host.out_data.out_flags, 0);
  EXPECT_EQ(
      AEFX_ReleaseSuite(&host.in_data, &host.out_data, "PF Effect Custom UI Suite", 1, nullptr),
      PF_Err_NONE);
  EXPECT_TRUE(host.SuitesBalanced());

  // A suite the host lacks: the caller's own text, when given, is the message.
  EXPECT_EQ(
      AEFX_AcquireSuite(&host.in_data, &host.out_data, "No Such Suite", 1, "custom text", &suite),
      516);
  EXPECT_EQ(suite, nullptr);
  EXPECT_EQ(host.out_data.out_flags, 0x100);
  EXPECT_STREQ(host.out_data.return_msg, "custom text");

  host.in_data.pica_basicP = nullptr;
  host.out_data = PF_OutData{};
  EXPECT_EQ(AEFX_AcquireSuite(&host.in_data, &host.out_data, "PF Effect Custom UI Suite", 1,
                              nullptr, &suite),
            516);
  EXPECT_STREQ(host.out_data.return_msg, "Not able to acquire AEFX Suite.");
  EXPECT_EQ(host.out_data.out_flags, 0x100);
}

TEST(AEFXSuites, DrawingSuitesStopAtTheFirstMissingOne) {
  PanelHost host;
  host.missing.insert("DRAWBOT Surface Suite");
  DrawbotSuites suites = {};
  EXPECT_EQ(AEFX_AcquireDrawbotSuites(&host.in_data, &host.out_data, &suites), 516);
  EXPECT_STREQ(host.out_data.return_msg, "Not able to acquire AEFX Suite.");
  EXPECT_EQ(host.out_data.out_flags & 0x100, 0x100);
  EXPECT_EQ(suites.draw, &host.draw);
  EXPECT_EQ(suites.supplier, &host.supplier);
  EXPECT_EQ(suites.surface, nullptr);
  EXPECT_EQ(std::count(host.asked.begin(), host.asked.end(), "DRAWBOT Path Suite"), 0);
  EXPECT_EQ(host.asked, (std::vector<std::string>{"DRAWBOT Draw Suite", "DRAWBOT Supplier Suite",
                                                  "DRAWBOT Surface Suite"}));

  // All four are given back by name, whichever were taken.
  EXPECT_EQ(AEFX_ReleaseDrawbotSuites(&host.in_data, &host.out_data), PF_Err_NONE);
  for (const char* name : {"DRAWBOT Draw Suite", "DRAWBOT Supplier Suite", "DRAWBOT Surface Suite",
                           "DRAWBOT Path Suite"})
    EXPECT_EQ(host.Released(name, 1), 1) << name;
  EXPECT_EQ(host.suites_held["DRAWBOT Draw Suite"], 0);
  EXPECT_EQ(host.suites_held["DRAWBOT Supplier Suite"], 0);
}

TEST(AEFXSuites, NullRecordAndMissingBasicSuite) {
  PanelHost host;
  EXPECT_EQ(AEFX_AcquireDrawbotSuites(&host.in_data, &host.out_data, nullptr), 514);
  EXPECT_STREQ(host.out_data.return_msg, "NULL suite pointer passed to AEFX_AcquireDrawbotSuites");
  EXPECT_EQ(host.out_data.out_flags, 0x100);
  EXPECT_TRUE(host.asked.empty());

  host.out_data = PF_OutData{};
  host.in_data.pica_basicP = nullptr;
  EXPECT_EQ(AEFX_ReleaseDrawbotSuites(&host.in_data, &host.out_data), PF_Err_NONE);
  EXPECT_STREQ(host.out_data.return_msg, "Not able to release AEFX Suite.");
  EXPECT_EQ(host.out_data.out_flags, 0x100);
}

}  // namespace

// Access to the host's suites for the effect panel: one suite or the four
// drawing suites at a time with an error message left for the host, and a
// scoped handler that gives back every suite it took.
#pragma once

#include "AE_Effect.h"
#include "AE_EffectSuites.h"

// The four drawing suites, each taken at version 1, in this order.
struct DrawbotSuites {
  const DRAWBOT_DrawbotSuite1* draw;
  const DRAWBOT_SupplierSuite1* supplier;
  const DRAWBOT_SurfaceSuite1* surface;
  const DRAWBOT_PathSuite1* path;
};

// Takes one suite into *suite. Without a basic suite, or when the host gives
// none, returns 516, sets the display-error out flag and writes error_text
// (or the default message) into the return message.
PF_Err AEFX_AcquireSuite(PF_InData* in_data, PF_OutData* out_data, const char* name,
                         int32_t version, const char* error_text, const void** suite);
// Gives one suite back; 516 with the message only when there is no basic suite.
PF_Err AEFX_ReleaseSuite(PF_InData* in_data, PF_OutData* out_data, const char* name,
                         int32_t version, const char* error_text);
// Takes the four drawing suites in order until one fails; returns the first error.
// Suites taken before a failure stay in the record.
PF_Err AEFX_AcquireDrawbotSuites(PF_InData* in_data, PF_OutData* out_data, DrawbotSuites* suites);
// Gives all four drawing suites back, whatever each release reports; returns 0.
PF_Err AEFX_ReleaseDrawbotSuites(PF_InData* in_data, PF_OutData* out_data);

// One slot for each suite the handler knows, filled on first use and given back
// on destruction. A suite the host lacks is reported by throwing 516 as a long.
class HostSuiteHandler {
 public:
  static constexpr int kSlotCount = 113;

  explicit HostSuiteHandler(SPBasicSuite* basic);
  ~HostSuiteHandler();
  HostSuiteHandler(const HostSuiteHandler&) = delete;
  HostSuiteHandler& operator=(const HostSuiteHandler&) = delete;

  // "PF AE App Suite" version 6.
  const PFAppSuite6* AppSuite();

 private:
  // Name and version of a slot; a null name for a slot that holds no suite.
  struct Slot {
    const char* name;
    int32_t version;
  };
  static const Slot kSlots[kSlotCount];

  void ReleaseSuite(const char* name, int32_t version);
  void ReleaseAllSuites();
  [[noreturn]] static void MissingSuiteError();

  SPBasicSuite* basic_;
  const void* suites_[kSlotCount];
};

#include "ui/host_suites.h"

namespace {

// Modifiable texts, as the host's sprintf takes its format as plain text.
char kAcquireSuiteMessage[] = "Not able to acquire AEFX Suite.";
char kReleaseSuiteMessage[] = "Not able to release AEFX Suite.";
char kNullDrawbotRecordMessage[] = "NULL suite pointer passed to AEFX_AcquireDrawbotSuites";

constexpr int32_t kDrawbotVersion = 1;
// The drawing suites in the order of the DrawbotSuites fields.
const char* const kDrawbotSuiteNames[] = {kDRAWBOT_DrawSuite, kDRAWBOT_SupplierSuite,
                                          kDRAWBOT_SurfaceSuite, kDRAWBOT_PathSuite};

// Sets the display-error flag and writes the message through the host's sprintf,
// the text serving as the format.
void ReportToHost(PF_InData* in_data, PF_OutData* out_data, const char* text) {
  out_data->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
  if (in_data->utils && in_data->utils->ansi.sprintf)
    in_data->utils->ansi.sprintf(out_data->return_msg, text);
}

}  // namespace

PF_Err AEFX_AcquireSuite(PF_InData* in_data, PF_OutData* out_data, const char* name,
                         int32_t version, const char* error_text, const void** suite) {
  PF_Err err = PF_Err_NONE;
  *suite = nullptr;
  if (!in_data->pica_basicP) {
    err = PF_Err_BAD_CALLBACK_PARAM;
  } else {
    // The result is not trusted either way: only the pointer tells.
    in_data->pica_basicP->AcquireSuite(name, version, suite);
    if (!*suite) err = PF_Err_BAD_CALLBACK_PARAM;
  }
  if (err) ReportToHost(in_data, out_data, error_text ? error_text : kAcquireSuiteMessage);
  return err;
}

PF_Err AEFX_ReleaseSuite(PF_InData* in_data, PF_OutData* out_data, const char* name,
                         int32_t version, const char* error_text) {
  if (in_data->pica_basicP) {
    in_data->pica_basicP->ReleaseSuite(name, version);
    return PF_Err_NONE;
  }
  ReportToHost(in_data, out_data, error_text ? error_text : kReleaseSuiteMessage);
  return PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err AEFX_AcquireDrawbotSuites(PF_InData* in_data, PF_OutData* out_data, DrawbotSuites* suites) {
  if (!suites) {
    ReportToHost(in_data, out_data, kNullDrawbotRecordMessage);
    return PF_Err_UNRECOGNIZED_PARAM_TYPE;
  }
  const void* taken[4] = {};
  PF_Err err = PF_Err_NONE;
  for (int i = 0; i < 4 && !err; ++i)
    err = AEFX_AcquireSuite(in_data, out_data, kDrawbotSuiteNames[i], kDrawbotVersion, nullptr,
                            &taken[i]);
  suites->draw = static_cast<const DRAWBOT_DrawbotSuite1*>(taken[0]);
  suites->supplier = static_cast<const DRAWBOT_SupplierSuite1*>(taken[1]);
  suites->surface = static_cast<const DRAWBOT_SurfaceSuite1*>(taken[2]);
  suites->path = static_cast<const DRAWBOT_PathSuite1*>(taken[3]);
  return err;
}

PF_Err AEFX_ReleaseDrawbotSuites(PF_InData* in_data, PF_OutData* out_data) {
  for (const char* name : kDrawbotSuiteNames)
    AEFX_ReleaseSuite(in_data, out_data, name, kDrawbotVersion, nullptr);
  return PF_Err_NONE;
}

// ---- HostSuiteHandler ----

namespace {
constexpr int kAppSuiteSlot = 54;  // the 55th slot
}

const HostSuiteHandler::Slot HostSuiteHandler::kSlots[kSlotCount] = {
    {"AEGP Keyframe Suite", 4},
    {"AEGP Stream Suite", 8},
    {"AEGP Stream Suite", 9},
    {"AEGP Marker Suite", 1},
    {"AEGP Marker Suite", 2},
    {"AEGP Comp Suite", 9},
    {"AEGP Comp Suite", 11},
    {"AEGP Comp Suite", 14},
    {"AEGP Comp Suite", 15},
    {"AEGP Comp Suite", 18},
    {"AEGP Comp Suite", 19},  // 11
    {"AEGP Layer Suite", 8},
    {"AEGP Layer Suite", 10},
    {"AEGP Stream Suite", 7},
    {"AEGP Dynamic Stream Suite", 2},
    {"AEGP Dynamic Stream Suite", 3},
    {"AEGP Dynamic Stream Suite", 5},
    {"AEGP Keyframe Suite", 3},
    {"AEGP Canvas Suite", 10},
    {"AEGP Canvas Suite", 11},  // 20
    {nullptr, 0},               // 21
    {"AEGP Camera Suite", 2},
    {"AEGP Register Suite", 6},
    {"AEGP Memory Suite", 1},
    {"AEGP Item Suite", 13},
    {"AEGP Item Suite", 11},
    {"AEGP Item Suite", 10},
    {"AEGP Item Suite", 7},
    {"AEGP Item Suite", 3},
    {"AEGP Light Suite", 1},  // 30
    {"AEGP Light Suite", 2},
    {"AEGP Effect Suite", 1},
    {"AEGP Effect Suite", 2},
    {"AEGP Effect Suite", 3},
    {"AEGP Layer Mask Suite", 5},
    {"AEGP Mask Outline Suite", 2},
    {"AEGP Mask Outline Suite", 3},
    {"AEGP Mask Outline Suite", 5},
    {"AEGP Command Suite", 1},
    {"AEGP Utility Suite", 7},  // 40
    {"AEGP Render Suite", 1},
    {"AEGP Render Suite", 2},
    {"AEGP Render Suite", 3},
    {"PF ANSI Suite", 1},
    {"PF Handle Suite", 2},
    {"PF Fill Matte Suite", 2},
    {"PF World Transform Suite", 1},
    {"AEGP QueryXform Suite", 4},
    {"AEGP Composite Suite", 4},
    {"PF World Suite", 1},  // 50
    {"AEGP PF Interface Suite", 1},
    {"PF Path Query Suite", 1},
    {"PF Path Data Suite", 1},
    {"PF Param Utils Suite", 3},
    {kPFAppSuite, kPFAppSuiteVersion6},  // 55
    {"PF AE Adv App Suite", 2},
    {"AEGP IO In Suite", 5},
    {"AEGP IO Out Suite", 7},
    {"AEGP Persistent Data Suite", 3},
    {"AEGP Render Queue Suite", 1},  // 60
    {"AEGP Render Queue Item Suite", 3},
    {"AEGP Output Module Suite", 4},
    {"AEGP File Import Manager Suite", 3},
    {"PF Sampling8 Suite", 1},
    {"PF Sampling16 Suite", 1},
    {"PF Iterate8 Suite", 1},
    {"PF iterate16 Suite", 1},
    {"PF iterateFloat Suite", 1},
    {"AEGP Collection Suite", 2},
    {"AEGP Text Document Suite", 1},  // 70
    {"AEGP Sound Data Suite", 1},
    {nullptr, 0},  // 72
    {"AEGP Text Layer Suite", 1},
    {"AEGP Artisan Util Suite", 1},
    {"AEGP World Suite", 2},
    {"AEGP World Suite", 3},
    {"AEGP Render Options Suite", 1},
    {"AEGP Tracker Suite", 1},
    {"AEGP Tracker Utility Suite", 1},
    {"AE Plugin Helper Suite2", 2},  // 80
    {"AEGP Layer Suite", 11},
    {"AEGP Layer Suite", 12},
    {"AEGP Layer Suite", 13},
    {"AEGP Layer Suite", 5},
    {"AEGP Layer Mask Suite", 2},
    {"AEGP Layer Mask Suite", 6},
    {"AEGP Layer Mask Suite", 7},
    {"AEGP Stream Suite", 4},
    {"AEGP Comp Suite", 4},
    {"AEGP Collection Suite", 1},  // 90
    {"AEGP Keyframe Suite", 1},
    {"PF AE Adv App Suite", 1},
    {"AEGP Utility Suite", 3},
    {"AEGP Render Options Suite", 2},
    {"AEGP Proj Suite", 8},
    {"AEGP Proj Suite", 9},
    {"AEGP Footage Suite", 11},
    {"AEGP Render Queue Item Suite", 4},
    {"AEGP Utility Suite", 10},
    {"PF Color Settings Suite", 3},  // 100
    {"PF Color Settings Suite", 1},
    {"PF AE Adv Item Suite", 1},
    {nullptr, 0},  // 103
    {"PF ColorParamSuite", 1},
    {"PF SamplingFloat Suite", 1},
    {"AEGP Utility Suite", 11},
    {kPFEffectCustomUISuite, kPFEffectCustomUISuiteVersion1},
    {"PF Effect Custom UI Overlay Theme Suite", 1},
    {kDRAWBOT_DrawSuite, kDrawbotVersion},
    {kDRAWBOT_SupplierSuite, kDrawbotVersion},  // 110
    {kDRAWBOT_SurfaceSuite, kDrawbotVersion},
    {kDRAWBOT_PathSuite, kDrawbotVersion},
    {"SP Suites Suite", 2},  // 113
};

HostSuiteHandler::HostSuiteHandler(SPBasicSuite* basic) : basic_(basic), suites_() {
  if (!basic_) MissingSuiteError();
}

HostSuiteHandler::~HostSuiteHandler() { ReleaseAllSuites(); }

const PFAppSuite6* HostSuiteHandler::AppSuite() {
  if (!suites_[kAppSuiteSlot]) {
    const void* suite = nullptr;
    const SPErr err =
        basic_->AcquireSuite(kSlots[kAppSuiteSlot].name, kSlots[kAppSuiteSlot].version, &suite);
    if (err || !suite) MissingSuiteError();
    suites_[kAppSuiteSlot] = suite;
  }
  return static_cast<const PFAppSuite6*>(suites_[kAppSuiteSlot]);
}

void HostSuiteHandler::ReleaseSuite(const char* name, int32_t version) {
  basic_->ReleaseSuite(name, version);
}

void HostSuiteHandler::ReleaseAllSuites() {
  for (int slot = 0; slot < kSlotCount; ++slot)
    if (kSlots[slot].name && suites_[slot]) ReleaseSuite(kSlots[slot].name, kSlots[slot].version);
}

void HostSuiteHandler::MissingSuiteError() { throw static_cast<long>(PF_Err_BAD_CALLBACK_PARAM); }

// A small effect module for testing the host: it declares a tiny parameter
// list, keeps a sequence handle, and on the probe commands misuses the host
// in one way each, so that tests see the host notice.
//
// Built twice: as a working module, and with QF_PROBE_ENTRY naming an entry
// point the module does not have.
#include <cstring>
#include <stdexcept>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectSuites.h"
#include "pipl_builder.h"
#include "probe_commands.h"
#include "windows.h"

#ifndef QF_PROBE_ENTRY
#define QF_PROBE_ENTRY "EntryPointFunc"
#endif

namespace {

// Plain storage: the resource outlives nothing that the module's own tear-down could free first.
unsigned char g_pipl[512];
QFResourceEntry g_entry;
QFResourceTable g_table;

__attribute__((constructor)) void RegisterResources() {
  const std::vector<uint8_t> pipl = qfhost_test::PiplBuilder().Effect("Host Probe", QF_PROBE_ENTRY).Build();
  std::memcpy(g_pipl, pipl.data(), pipl.size());
  g_entry = QFResourceEntry{0, "PIPL", 16000, 1033, g_pipl, static_cast<DWORD>(pipl.size())};
  g_table = QFResourceTable{&g_entry, 1};
  QFRegisterModuleResources(QFModuleFromAddress(&g_table), &g_table);
}

__attribute__((destructor)) void UnregisterResources() {
  QFRegisterModuleResources(QFModuleFromAddress(&g_table), nullptr);
}

PF_Err ParamsSetup(PF_InData* in, PF_OutData* out) {
  PF_ParamDef def{};
  def.param_type = PF_Param_POPUP;
  in->utils->ansi.strcpy(def.name, "Choice");
  // The names live on the stack and are overwritten after adding: the host keeps its own copy.
  char names[16];
  std::strcpy(names, "One|Two");
  def.u.pd.namesptr = names;
  def.u.pd.num_choices = 2;
  def.u.pd.dephault = def.u.pd.value = 2;
  PF_Err err = in->inter.add_param(in->effect_ref, -1, &def);
  std::memset(names, 'x', sizeof names - 1);
  if (err) return err;
  out->num_params = 2;
  return PF_Err_NONE;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData* in,
                                                                         PF_OutData* out, PF_ParamDef* params[],
                                                                         PF_LayerDef*, void*) {
  PF_UtilCallbacks* u = in->utils;
  switch (cmd) {
    case PF_Cmd_GLOBAL_SETUP:
      out->my_version = 7;
      return PF_Err_NONE;
    case PF_Cmd_PARAMS_SETUP:
      return ParamsSetup(in, out);
    case PF_Cmd_SEQUENCE_SETUP:
      out->sequence_data = u->host_new_handle(16);
      return out->sequence_data ? PF_Err{PF_Err_NONE} : PF_Err{PF_Err_MEM_FULL};
    case PF_Cmd_SEQUENCE_SETDOWN:
      u->host_dispose_handle(in->sequence_data);
      out->sequence_data = nullptr;
      return PF_Err_NONE;
    case kProbeUnlockTwice:
      u->host_lock_handle(in->sequence_data);
      u->host_unlock_handle(in->sequence_data);
      u->host_unlock_handle(in->sequence_data);
      return PF_Err_NONE;
    case kProbeDisposeTwice:
      u->host_dispose_handle(in->sequence_data);
      u->host_dispose_handle(in->sequence_data);
      out->sequence_data = nullptr;
      return PF_Err_NONE;
    case kProbeReleaseUnacquired:
      in->pica_basicP->ReleaseSuite(kPFParamUtilsSuite, kPFParamUtilsSuiteVersion2);
      return PF_Err_NONE;
    case kProbeAcquireOnly: {
      const void* suite = nullptr;
      in->pica_basicP->AcquireSuite(kPFParamUtilsSuite, kPFParamUtilsSuiteVersion2, &suite);
      return PF_Err_NONE;
    }
    case kProbeThrow:
      throw std::runtime_error("probe");
    case kProbeCheckoutOnly: {
      static PF_ParamDef def;
      return in->inter.checkout_param(in->effect_ref, 1, 0, 1, 1, &def);
    }
    case kProbeForeignSequenceData: {
      static void* not_a_handle = nullptr;
      out->sequence_data = &not_a_handle;
      return PF_Err_NONE;
    }
    case kProbeReadChoice:
      return params[1]->u.pd.value;
    default:
      return PF_Err_NONE;
  }
}

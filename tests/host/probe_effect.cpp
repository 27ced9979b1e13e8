// A small effect module for testing the host: it declares a tiny parameter
// list, keeps a sequence handle, renders by copying its input while noting
// everything the host handed it, and on the probe commands misuses the host
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
  const std::vector<uint8_t> pipl =
      qfhost_test::PiplBuilder().Effect("Host Probe", QF_PROBE_ENTRY).Build();
  std::memcpy(g_pipl, pipl.data(), pipl.size());
  g_entry = QFResourceEntry{0, "PIPL", 16000, 1033, g_pipl, static_cast<DWORD>(pipl.size())};
  g_table = QFResourceTable{&g_entry, 1};
  QFRegisterModuleResources(QFModuleFromAddress(&g_table), &g_table);
}

__attribute__((destructor)) void UnregisterResources() {
  QFRegisterModuleResources(QFModuleFromAddress(&g_table), nullptr);
}

ProbeRenderReport g_report;

PF_Err ParamsSetup(PF_InData* in, PF_OutData* out) {
  PF_ParamDef def{};
  def.param_type = PF_Param_POPUP;
  in->utils->ansi.strcpy(def.name, "Choice");
  // The names live on the stack and are overwritten after adding: the host keeps its own copy.
  char names[64];
  std::strcpy(names, kProbeChoices);
  def.u.pd.namesptr = names;
  def.u.pd.num_choices = 4;
  def.u.pd.dephault = def.u.pd.value = kProbeRenderCopy;
  PF_Err err = in->inter.add_param(in->effect_ref, -1, &def);
  std::memset(names, 'x', sizeof names - 1);
  if (err) return err;

  def = PF_ParamDef{};
  def.param_type = PF_Param_LAYER;
  in->utils->ansi.strcpy(def.name, "Layer");
  if ((err = in->inter.add_param(in->effect_ref, -1, &def))) return err;
  def = PF_ParamDef{};
  def.param_type = PF_Param_PATH;
  in->utils->ansi.strcpy(def.name, "Path");
  if ((err = in->inter.add_param(in->effect_ref, -1, &def))) return err;
  def = PF_ParamDef{};
  def.param_type = PF_Param_FIX_SLIDER;
  in->utils->ansi.strcpy(def.name, "Amount");
  def.u.fd.valid_max = def.u.fd.slider_max = 100 << 16;
  if ((err = in->inter.add_param(in->effect_ref, -1, &def))) return err;
  def = PF_ParamDef{};
  def.param_type = PF_Param_POINT;
  in->utils->ansi.strcpy(def.name, "Where");
  def.u.td.x_dephault = def.u.td.y_dephault = 50 << 16;
  if ((err = in->inter.add_param(in->effect_ref, -1, &def))) return err;
  out->num_params = kProbeParamCount;
  return PF_Err_NONE;
}

// Everything the path suites say of the path parameter's path.
void ReadPath(PF_InData* in, PF_ParamDef* params[], int behaviour) {
  const void* q = nullptr;
  const void* d = nullptr;
  in->pica_basicP->AcquireSuite(kPFPathQuerySuite, kPFPathQuerySuiteVersion1, &q);
  in->pica_basicP->AcquireSuite(kPFPathDataSuite, kPFPathDataSuiteVersion1, &d);
  const auto* query = static_cast<const PF_PathQuerySuite1*>(q);
  const auto* data = static_cast<const PF_PathDataSuite1*>(d);
  if (query && data) {
    query->PF_NumPaths(in->effect_ref, &g_report.num_paths);
    if (g_report.num_paths > 0) query->PF_PathInfo(in->effect_ref, 0, &g_report.first_path_id);
    const PF_PathID id = params[kProbePathParam]->u.path_d.path_id;
    g_report.path_param = id;
    PF_PathOutlinePtr path = nullptr;
    query->PF_CheckoutPath(in->effect_ref, id, in->current_time, in->time_step, in->time_scale,
                           &path);
    g_report.path_obtained = path != nullptr;
    if (path) {
      data->PF_PathIsOpen(in->effect_ref, path, &g_report.open);
      data->PF_PathIsInverted(in->effect_ref, id, &g_report.inverted);
      data->PF_PathNumSegments(in->effect_ref, path, &g_report.segments);
      A_long n = g_report.segments + 1;
      if (n > kProbeMaxVertices) n = kProbeMaxVertices;
      for (A_long i = 0; i < n; ++i)
        data->PF_PathVertexInfo(in->effect_ref, path, i, &g_report.vertices[i]);
      g_report.vertices_read = n;
      if (behaviour == kProbeRenderPathMisuse) {
        PF_PathVertex beyond;
        data->PF_PathVertexInfo(in->effect_ref, path, g_report.segments + 1, &beyond);
      } else {
        query->PF_CheckinPath(in->effect_ref, id, 0, path);
      }
    }
  }
  if (q) in->pica_basicP->ReleaseSuite(kPFPathQuerySuite, kPFPathQuerySuiteVersion1);
  if (d) in->pica_basicP->ReleaseSuite(kPFPathDataSuite, kPFPathDataSuiteVersion1);
}

// Copies the input into the output row by row, each with its own rowbytes.
PF_Err Render(PF_InData* in, PF_OutData* out, PF_ParamDef* params[], PF_LayerDef* output) {
  g_report = ProbeRenderReport{};
  g_report.in_data = *in;
  g_report.input = params[0]->u.ld;
  g_report.output = *output;
  const int behaviour = params[kProbeChoiceParam]->u.pd.value;

  PF_ParamDef layer{};
  g_report.layer_checkout =
      in->inter.checkout_param(in->effect_ref, kProbeLayerParam, in->current_time,
                               in->local_time_step, in->time_scale, &layer);
  g_report.layer = layer.u.ld;
  in->inter.checkin_param(in->effect_ref, &layer);
  g_report.amount = params[kProbeAmountParam]->u.fd.value;
  g_report.where_x = params[kProbeWhereParam]->u.td.x_value;
  g_report.where_y = params[kProbeWhereParam]->u.td.y_value;
  PF_ParamDef amount{};
  in->inter.checkout_param(in->effect_ref, kProbeAmountParam, in->current_time + in->time_step,
                           in->time_step, in->time_scale, &amount);
  g_report.amount_next = amount.u.fd.value;
  in->inter.checkin_param(in->effect_ref, &amount);
  ReadPath(in, params, behaviour);

  if (behaviour == kProbeRenderKeepLocked) in->utils->host_lock_handle(out->sequence_data);

  const PF_EffectWorld& src = params[0]->u.ld;
  const size_t pixel = (output->world_flags & PF_WorldFlag_DEEP) ? 8 : 4;
  const size_t row = static_cast<size_t>(output->width) * pixel;
  for (A_long y = 0; y < output->height; ++y) {
    char* to = static_cast<char*>(output->data) + static_cast<size_t>(y) * output->rowbytes;
    std::memcpy(to, static_cast<const char*>(src.data) + static_cast<size_t>(y) * src.rowbytes,
                row);
    if (behaviour == kProbeRenderOverrun) std::memset(to + row, 0, pixel);
  }
  return PF_Err_NONE;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) PF_Err EntryPointFunc(
    PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamDef* params[], PF_LayerDef* output, void*) {
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
    case PF_Cmd_RENDER:
      return Render(in, out, params, output);
    default:
      return PF_Err_NONE;
  }
}

extern "C" __attribute__((visibility("default"))) const ProbeRenderReport* ProbeLastRender() {
  return &g_report;
}

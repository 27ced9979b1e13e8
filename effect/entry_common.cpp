#include "effect/entry.h"

#include <cstring>
#include <new>

extern "C" BOOL ModuleEntryPoint(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) ModuleInstance = instance;
  return TRUE;
}

PF_Err DispatchCommand(const CommandTable& table, PF_Cmd cmd, PF_InData* in_data,
                       PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
                       void* extra) {
  // Compared unsigned, so negative selectors fall outside the table too.
  const uint32_t selector = static_cast<uint32_t>(cmd);
  if (selector > static_cast<uint32_t>(PF_Cmd_EVENT)) return PF_Err_NONE;
  CommandHandler handler = table.handlers[selector];
  if (!handler) return PF_Err_NONE;
  try {
    return handler(in_data, out_data, params, output, extra);
  } catch (long code) {
    return static_cast<PF_Err>(code);  // a missing host suite, thrown as its error code
  } catch (const std::bad_alloc&) {
    return PF_Err_OUT_OF_MEMORY;
  } catch (...) {
    return PF_Err_OUT_OF_MEMORY;
  }
}

PF_Err GlobalSetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* /*params*/[],
                   PF_LayerDef* /*output*/) {
  char path[sizeof(PluginFolder)] = {0};
  DWORD length = GetModuleFileNameA(ModuleInstance, path, sizeof(path));
  if (length >= sizeof(path)) length = sizeof(path) - 1;
  // The folder is the path less the shipped file name's length. A path shorter
  // than that name leaves nothing rather than writing before the buffer.
  const size_t cut_length = std::strlen(ShippedFileName);
  const size_t cut = length > cut_length ? length - cut_length : 0;
  path[cut] = '\0';
  std::memcpy(PluginFolder, path, sizeof(PluginFolder));

  if (in_data->utils && in_data->utils->get_platform_data) {
    in_data->utils->get_platform_data(in_data->effect_ref, PF_PlatData_MAIN_WND, &HostMainWindow);
  }

  out_data->my_version = kPluginVersion;
  out_data->out_flags = kPluginOutFlags;
  return PF_Err_NONE;
}

PF_Err GlobalSetdown(PF_InData*, PF_OutData*, PF_ParamDef*[], PF_LayerDef*) { return PF_Err_NONE; }

// Copies bitmap 999's grey levels into the first byte of each raster cell.
static void ReadBumpBitmap(unsigned char* raster) {
  HBITMAP bitmap = LoadBitmapA(ModuleInstance, MAKEINTRESOURCEA(kBumpBitmapId));
  if (!bitmap) return;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  for (int y = 0; y < kBumpImageSide; ++y) {
    for (int x = 0; x < kBumpImageSide; ++x) {
      raster[(x + kBumpImageSide * y) * 3] = static_cast<unsigned char>(GetPixel(memory, x, y));
    }
  }
  SelectObject(memory, previous);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  DeleteObject(bitmap);
}

PF_Err SequenceSetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef*[], PF_LayerDef*) {
  PF_UtilCallbacks* utils = in_data->utils;
  PF_Handle handle = utils->host_new_handle(kBumpImageBytes);
  out_data->sequence_data = handle;
  if (!handle) return PF_Err_MEM_FULL;

  auto* raster = static_cast<unsigned char*>(utils->host_lock_handle(handle));
  if (raster) {
    // Only the first byte of each cell holds a grey level, but the bump
    // texture reads whole cells: the rest is cleared rather than left as
    // whatever the host's new handle happened to hold.
    std::memset(raster, 0, kBumpImageBytes);
    ReadBumpBitmap(raster);
    utils->host_unlock_handle(handle);
  }
  out_data->flat_sdata_size = 4;
  return PF_Err_NONE;
}

PF_Err SequenceResetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                       PF_LayerDef* output) {
  if (in_data->sequence_data) return PF_Err_NONE;
  return SequenceSetup(in_data, out_data, params, output);
}

// Serves flatten and set-down alike: the data is rebuilt from the resource on
// re-set-up, never saved.
PF_Err SequenceSetdown(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef*[], PF_LayerDef*) {
  if (in_data->sequence_data) in_data->utils->host_dispose_handle(in_data->sequence_data);
  out_data->sequence_data = nullptr;
  return PF_Err_NONE;
}

void AcquireHostSuite(PF_InData* in_data, const char* name, int32_t version, const void** suite) {
  *suite = nullptr;
  if (in_data->pica_basicP) in_data->pica_basicP->AcquireSuite(name, version, suite);
}

void ReleaseHostSuite(PF_InData* in_data, const char* name, int32_t version, const void* suite) {
  if (suite && in_data->pica_basicP) in_data->pica_basicP->ReleaseSuite(name, version);
}

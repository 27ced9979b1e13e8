#include "qf_host/deliverable.h"

#include <filesystem>
#include <system_error>

#include "module_loader.h"
#include "qf_host/host_error.h"
#include "qf_host/module_image.h"

namespace qfhost {
namespace fs = std::filesystem;

namespace {

PiplInfo ReadPipl(HMODULE module, const std::string& path) {
  HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(kPiplResourceId), kPiplResourceType);
  if (!res)
    throw HostError(path + ": no property list (PIPL resource " + std::to_string(kPiplResourceId) +
                    ")");
  HGLOBAL loaded = LoadResource(module, res);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) throw HostError(path + ": property list cannot be read");
  try {
    PiplInfo pipl = ParsePipl(static_cast<const uint8_t*>(bytes), SizeofResource(module, res));
    RequireEffect(pipl);
    return pipl;
  } catch (const HostError& e) {
    throw HostError(path + ": " + e.what());
  }
}

}  // namespace

std::string ResolveDeliverablePath(const std::string& name_or_path) {
  if (name_or_path == "floral") return (ExecutableFolder() / "QuillFrameFloral64.aex").string();
  if (name_or_path == "geometry") return (ExecutableFolder() / "QuillFrame64.aex").string();
  // An absolute path keeps the loader from searching library folders.
  return fs::absolute(name_or_path).lexically_normal().string();
}

std::shared_ptr<const Deliverable> Deliverable::Load(const std::string& name_or_path) {
  const std::string path = ResolveDeliverablePath(name_or_path);
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) throw HostError(path + ": no such file");
  if (!fs::is_regular_file(status)) throw HostError(path + ": not a file");
  if (!FileReadable(path)) throw HostError(path + ": cannot be read");

  // A file cut short would be mapped past its end, where the loader faults.
  const std::string problem = ModuleFileProblem(path);
  if (!problem.empty()) throw HostError(path + ": not a loadable plug-in module (" + problem + ")");
  std::string reason;  // the loader's own reason, when it gives one, ends the message
  HMODULE module = LoadModule(path, reason);
  if (!module) {
    const std::string prefix = path + ": ";
    if (reason.compare(0, prefix.size(), prefix) == 0) reason.erase(0, prefix.size());
    throw HostError(path + ": not a loadable plug-in module" +
                    (reason.empty() ? "" : " (" + reason + ")"));
  }
  std::shared_ptr<Deliverable> d(new Deliverable(path, module, true));
  d->pipl_ = ReadPipl(module, path);
  FARPROC proc = GetProcAddress(module, d->pipl_.entry_point.c_str());
  if (!proc) throw HostError(path + ": entry point '" + d->pipl_.entry_point + "' not found");
  // void(*)() converts to and from every function pointer type.
  d->entry_ = reinterpret_cast<PF_EntryPointFunc>(reinterpret_cast<void (*)()>(proc));
  return d;
}

std::shared_ptr<const Deliverable> Deliverable::InProcess(HMODULE module, PF_EntryPointFunc entry) {
  char file[1024];
  const DWORD length = GetModuleFileNameA(module, file, sizeof(file));
  const std::string path = length > 0 && length < sizeof(file) ? std::string(file, length) : "";
  std::shared_ptr<Deliverable> d(new Deliverable(path, module, false));
  d->pipl_ = ReadPipl(module, path);
  d->entry_ = entry;
  return d;
}

Deliverable::~Deliverable() {
  if (owned_) FreeLibrary(module_);
}

}  // namespace qfhost

// A deliverable loaded into the process: the module, its property list and
// its entry point. Loading checks the property list before any of the
// module's commands can run.
#pragma once

#include <memory>
#include <string>

#include "AE_Effect.h"
#include "qf_host/pipl.h"
#include "windows.h"

namespace qfhost {

// "floral" and "geometry" name the deliverables that sit next to the running
// executable; anything else is a path, made absolute.
std::string ResolveDeliverablePath(const std::string& name_or_path);

class Deliverable {
 public:
  // Resolves the name, loads the module and checks its property list and
  // entry point. Throws HostError with a one-line reason.
  static std::shared_ptr<const Deliverable> Load(const std::string& name_or_path);
  // A module already in this process (a test program linked with a build's
  // handlers and resources), driven through `entry`. Its property list is
  // read and checked as Load does; the module stays loaded afterwards.
  static std::shared_ptr<const Deliverable> InProcess(HMODULE module, PF_EntryPointFunc entry);

  ~Deliverable();
  Deliverable(const Deliverable&) = delete;
  Deliverable& operator=(const Deliverable&) = delete;

  const std::string& path() const { return path_; }
  const PiplInfo& pipl() const { return pipl_; }
  HMODULE module() const { return module_; }
  PF_EntryPointFunc entry() const { return entry_; }

 private:
  Deliverable(std::string path, HMODULE module, bool owned)
      : path_(std::move(path)), module_(module), owned_(owned) {}

  std::string path_;
  HMODULE module_;
  bool owned_;  // freed with the deliverable
  PiplInfo pipl_;
  PF_EntryPointFunc entry_ = nullptr;
};

}  // namespace qfhost

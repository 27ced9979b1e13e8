// Loading a probe module and reaching its functions.
#pragma once

#include <gtest/gtest.h>

#include "windows.h"

struct Probe {
  explicit Probe(const char* path) : module(LoadLibraryA(path)) {}
  ~Probe() {
    if (module) FreeLibrary(module);
  }
  Probe(const Probe&) = delete;
  Probe& operator=(const Probe&) = delete;

  template <typename Fn>
  Fn Function(const char* name) const {
    // void(*)() converts to and from every function pointer type.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
  }
  HINSTANCE AttachedInstance() const {
    return Function<HINSTANCE (*)()>("ProbeAttachedInstance")();
  }
  int AttachCalls() const { return Function<int (*)()>("ProbeAttachCalls")(); }
  const QFResourceTable* Resources() const {
    return Function<const QFResourceTable* (*)()>("ProbeResources")();
  }

  HMODULE module;
};

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "probe.h"

namespace {

HINSTANCE g_program_attached = nullptr;
int g_program_attach_calls = 0;
HINSTANCE g_detached = nullptr;

std::string RealPath(const char* path) {
  char buffer[PATH_MAX];
  return realpath(path, buffer) ? std::string(buffer) : std::string();
}

std::string FileName(HMODULE module) {
  char buffer[4096];
  const DWORD n = GetModuleFileNameA(module, buffer, sizeof buffer);
  return std::string(buffer, n);
}

}  // namespace

// The test program's own module entry, called by its start-up.
extern "C" BOOL ModuleEntryPoint(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_program_attached = instance;
    ++g_program_attach_calls;
  }
  return TRUE;
}

namespace {

TEST(ModuleStart, RanForTheProgramBeforeMain) {
  EXPECT_EQ(g_program_attach_calls, 1);
  EXPECT_EQ(g_program_attached, QFModuleFromAddress(reinterpret_cast<const void*>(&FileName)));
}

TEST(LoadLibrary, RunsTheModuleEntryOnceWithItsOwnInstance) {
  Probe probe(QF_PROBE_FLORAL);
  ASSERT_NE(probe.module, nullptr);
  EXPECT_EQ(probe.AttachCalls(), 1);
  EXPECT_EQ(probe.AttachedInstance(), probe.module);
  FARPROC f = GetProcAddress(probe.module, "ProbeAttachCalls");
  EXPECT_EQ(QFModuleFromAddress(reinterpret_cast<const void*>(f)), probe.module);
  EXPECT_NE(probe.module, QFModuleFromAddress(reinterpret_cast<const void*>(&FileName)));

  // A second load of the same file is the same module, started once.
  HMODULE again = LoadLibraryA(QF_PROBE_FLORAL);
  EXPECT_EQ(again, probe.module);
  EXPECT_EQ(probe.AttachCalls(), 1);
  EXPECT_EQ(FreeLibrary(again), TRUE);
  EXPECT_EQ(probe.AttachCalls(), 1) << "still loaded once";
}

TEST(LoadLibrary, LastFreeRunsTheModuleEntryWithDetachAndForgetsTheModule) {
  HMODULE module = LoadLibraryA(QF_PROBE_GEOMETRY);
  ASSERT_NE(module, nullptr);
  auto watch = reinterpret_cast<void (*)(void (*)(HINSTANCE))>(
      reinterpret_cast<void (*)()>(GetProcAddress(module, "ProbeWatchDetach")));
  ASSERT_NE(watch, nullptr);
  watch([](HINSTANCE instance) { g_detached = instance; });
  g_detached = nullptr;
  EXPECT_EQ(FreeLibrary(module), TRUE);
  EXPECT_EQ(g_detached, module);
  EXPECT_EQ(FreeLibrary(module), FALSE) << "freed twice";
  EXPECT_EQ(GetProcAddress(module, "ProbeAttachCalls"), nullptr);
  EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCEA(16000), "PIPL"), nullptr)
      << "its table went with it";
}

TEST(LoadLibrary, FailuresGiveNull) {
  EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
  EXPECT_EQ(LoadLibraryA("/nonexistent/QFNothing.aex"), nullptr);
  EXPECT_EQ(LoadLibraryA(QF_TEST_DATA "/colours.bmp"), nullptr) << "not a module";
  EXPECT_EQ(FreeLibrary(nullptr), FALSE);

  Probe probe(QF_PROBE_FLORAL);
  EXPECT_EQ(GetProcAddress(probe.module, "NoSuchFunction"), nullptr);
  EXPECT_EQ(GetProcAddress(probe.module, "ModuleEntryPoint"), nullptr) << "not exported";
  EXPECT_EQ(GetProcAddress(probe.module, MAKEINTRESOURCEA(1)), nullptr);
  EXPECT_EQ(GetProcAddress(nullptr, "ProbeAttachCalls"), nullptr);
}

TEST(ModuleFileName, GivesTheFullPathOfModuleAndProgram) {
  Probe probe(QF_PROBE_FLORAL);
  EXPECT_EQ(FileName(probe.module), RealPath(QF_PROBE_FLORAL));
  EXPECT_EQ(FileName(nullptr), RealPath("/proc/self/exe"));
  EXPECT_EQ(FileName(QFModuleFromAddress(reinterpret_cast<const void*>(&FileName))),
            FileName(nullptr));
  EXPECT_EQ(FileName(QFModuleFromAddress(reinterpret_cast<const void*>(&VirtualAlloc))),
            FileName(QFModuleFromAddress(reinterpret_cast<const void*>(&GetPixel))))
      << "one library";
}

TEST(ModuleFileName, CutsToTheBufferAndReturnsItsSize) {
  Probe probe(QF_PROBE_FLORAL);
  const std::string full = FileName(probe.module);
  ASSERT_GT(full.size(), 10u);
  const DWORD n = static_cast<DWORD>(full.size());

  char buffer[4096];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(GetModuleFileNameA(probe.module, buffer, n + 1), n) << "exactly fits";
  EXPECT_EQ(std::string(buffer), full);

  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(GetModuleFileNameA(probe.module, buffer, n), n) << "one short";
  EXPECT_EQ(std::string(buffer), full.substr(0, n - 1));

  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(GetModuleFileNameA(probe.module, buffer, 5), 5u);
  EXPECT_EQ(std::string(buffer), full.substr(0, 4));
  EXPECT_EQ(buffer[5], 'x') << "nothing written past the buffer";

  EXPECT_EQ(GetModuleFileNameA(probe.module, buffer, 1), 1u);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(GetModuleFileNameA(probe.module, buffer, 0), 0u);
}

TEST(ModuleFileName, NoModuleNoName) {
  char buffer[64] = "unchanged";
  auto* inside = reinterpret_cast<HMODULE>(
      reinterpret_cast<char*>(QFModuleFromAddress(&g_program_attach_calls)) + 16);
  EXPECT_EQ(GetModuleFileNameA(inside, buffer, sizeof buffer), 0u);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(QFModuleFromAddress(nullptr), nullptr);
}

}  // namespace

// Linked into every deliverable: the DLL entry that the C runtime's DLL
// start-up calls once it has set itself up. It hands each reason to the
// module entry, which keeps the instance handle on process attach.
#include <windows.h>

extern "C" BOOL ModuleEntryPoint(HINSTANCE instance, DWORD reason, LPVOID reserved);

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  return ModuleEntryPoint(instance, reason, reserved);
}

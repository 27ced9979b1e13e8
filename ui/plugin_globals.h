// The process-wide values the module entry and global set-up write and the
// panel, the dialogs and the shell openers read: the module that holds the
// resources, the folder the deliverable was loaded from, and the host's main
// window that parents dialogs and shell requests.
#pragma once

#include <windows.h>

extern HINSTANCE ModuleInstance;
extern char PluginFolder[1024];
extern HWND HostMainWindow;

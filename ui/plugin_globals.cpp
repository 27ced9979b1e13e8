#include "ui/plugin_globals.h"

HINSTANCE ModuleInstance = nullptr;
char PluginFolder[1024] = {0};
HWND HostMainWindow = nullptr;

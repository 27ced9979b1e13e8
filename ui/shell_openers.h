// Requests to the Windows shell, each handed over on a short-lived worker
// thread so the host's interface never waits for the shell. One request at a
// time: a request made while one is with the shell is dropped.
#pragma once

#include <windows.h>

#include <cstdint>

// Opens the plug-in's help page; every page index opens the same page.
void OpenHelpPage(uint32_t page_index);

// The worker of OpenHelpPage: builds the page's path from the plug-in folder
// and hands it to the shell.
DWORD WINAPI HelpPageThread(LPVOID parameter);

// Opens a page or address with the shell. The text must stay valid until the
// worker has handed it over: callers pass constant texts.
void OpenUrl(const char* text);

// The worker of OpenUrl: hands the text to the shell.
DWORD WINAPI OpenUrlThread(LPVOID text);

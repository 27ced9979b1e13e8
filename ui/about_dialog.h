// The About dialog (resource 7771), shown modally over the host's main window
// by the about command and the panel's About button.
#pragma once

#include <windows.h>

// The maker's web site: the link label's text and the address it opens.
extern const char kMakerSite[];
// The version the dialog shows.
extern const char kAboutVersion[];

constexpr int kAboutDialogId = 7771;
constexpr int kVersionItem = 1033;
constexpr int kSiteLinkItem = 1004;
constexpr int kCloseItem = 2;

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// The dialogs' own controls: ContainerLinkC, a text label that can act as a
// hyperlink, and MacStyleBtn, a push button painted from bitmaps in four
// looks; and balloon tooltips. The classes and their shared drawing objects
// exist only around a modal dialog: the init pair before it, the release pair
// after it. Both classes tell their parent of a click with WM_COMMAND (control
// id, 0).
#pragma once

#include <windows.h>

#include <cstdint>

// Background of both classes and of the dialogs that use them.
extern HBRUSH DialogBrush;

// One per ContainerLinkC window, in its user data.
struct ContainerLinkCData {
  char* text;  // owned, or null
  HWND window;
  int32_t control_id;
  int32_t width, height;  // client size at creation
  BYTE configured;        // kConfiguredMarker once set up
  BYTE link;
  BYTE left_aligned;
};
constexpr BYTE kConfiguredMarker = 5;

// The looks of a MacStyleBtn, by state value.
enum ButtonLook : BYTE { kLookNormal = 0, kLookHover = 1, kLookPressed = 2, kLookDefault = 3 };

// One per MacStyleBtn window, in its user data.
struct MacStyleBtnData {
  char* text;  // owned, or null
  HWND window;
  int32_t control_id;
  int32_t x, y;           // where the face goes in the window
  int32_t width, height;  // client size at creation
  BYTE state;             // a ButtonLook
  BYTE is_default;
  BYTE enabled;  // 1 once set up
};

// The button's pieces are 18 x 24: a left cap, a middle stretched to fit, a right cap.
constexpr int kButtonCapWidth = 18;
constexpr int kButtonFaceHeight = 24;

void InitContainerLinkC();
void ReleaseContainerLinkC();
// After InitContainerLinkC, whose brush the button class takes.
void InitMacStyleBtn();
void ReleaseMacStyleBtn();

BOOL RegisterContainerLinkC(HINSTANCE instance);
BOOL RegisterMacStyleBtn(HINSTANCE instance);
LRESULT CALLBACK ContainerLinkCWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK MacStyleBtnWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Configure the dialog's control of that id; null when it is not of the class.
ContainerLinkCData* SetupContainerLinkC(HWND dialog, int control_id, const char* text, BYTE link,
                                        BYTE left_aligned);
MacStyleBtnData* SetupMacStyleBtn(HWND dialog, int control_id, const char* text, BYTE is_default);

// The window's record when its class name is exactly class_name, else null.
void* GetControlData(HWND window, const char* class_name);

// Attaches a balloon tooltip with the text (and a title, if any) to the control.
void AddBalloonTooltip(HWND control, const char* text, const char* title);

void LoadMacStyleBtnBitmaps();
void FreeMacStyleBtnBitmaps();

// Paints the button's face in the look from the bitmaps (left cap, middle,
// right cap), with its caption centred in text_rect moved down by 4, and
// copies it to target at the record's x, y.
void PaintMacStyleBtn(HDC target, const MacStyleBtnData& button, HBITMAP left, HBITMAP middle,
                      HBITMAP right, RECT text_rect);

#include "ui/skinned_controls.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "ui/plugin_globals.h"

HBRUSH DialogBrush = nullptr;

namespace {

HFONT LinkFont = nullptr;
HFONT LabelFont = nullptr;
HFONT ButtonFont = nullptr;
HCURSOR HandCursor = nullptr;

constexpr int kFirstButtonBitmap = 123;
constexpr int kButtonBitmapCount = 12;
HBITMAP ButtonBitmaps[kButtonBitmapCount] = {};

// Bitmap ids of each look's left cap, middle and right cap, by state value.
struct LookBitmaps {
  int left, middle, right;
};
constexpr LookBitmaps kLooks[] = {
    {124, 125, 123},  // normal
    {130, 131, 129},  // hover
    {133, 134, 132},  // pressed
    {127, 128, 126},  // default button
};

const char kLinkClass[] = "ContainerLinkC";
const char kButtonClass[] = "MacStyleBtn";

// Arial 14 at the weight, proof quality, everything else 0.
HFONT ArialFont(int weight, DWORD underline) {
  constexpr DWORD kProofQuality = 2;
  return CreateFontA(14, 0, 0, 0, weight, FALSE, underline, FALSE, 0, 0, 0, kProofQuality, 0,
                     "Arial");
}

template <typename Handle>
void DeleteHandle(Handle& object) {
  if (object) DeleteObject(object);
  object = nullptr;
}

BOOL RegisterControlClass(HINSTANCE instance, const char* name, WNDPROC procedure) {
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.hbrBackground = DialogBrush;
  window_class.lpszClassName = name;
  RegisterClassA(&window_class);  // a failure shows as controls that are not made
  return 1;
}

// Replaces an owned text by a copy of text; keeps the old one when no copy can be made.
void ReplaceText(char*& owned, const char* text) {
  const size_t size = std::strlen(text) + 1;
  char* copy = static_cast<char*>(std::malloc(size));
  if (!copy) return;
  std::memcpy(copy, text, size);
  std::free(owned);
  owned = copy;
}

// The record a window is created with: the one its creation parameters point
// to, or a new zero-filled one (null when none can be allocated).
template <typename Record>
Record* CreationRecord(LPARAM lparam) {
  const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
  if (create && create->lpCreateParams) return static_cast<Record*>(create->lpCreateParams);
  return static_cast<Record*>(std::calloc(1, sizeof(Record)));
}

template <typename Record>
Record* RecordOf(HWND window) {
  return reinterpret_cast<Record*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

template <typename Record>
void TakeRecord(HWND window, Record* record) {
  RECT client = {};
  GetClientRect(window, &client);
  record->width = client.right - client.left;
  record->height = client.bottom - client.top;
  record->control_id = static_cast<int32_t>(GetWindowLongPtrA(window, GWLP_ID));
  record->window = window;
  record->text = nullptr;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
}

template <typename Record>
LRESULT FreeRecord(HWND window, Record* record, UINT message, WPARAM wparam, LPARAM lparam) {
  std::free(record->text);
  std::free(record);
  SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  DefWindowProcA(window, message, wparam, lparam);
  return 0;
}

void TellParent(HWND window, int32_t control_id, bool post) {
  const WPARAM command = static_cast<WPARAM>(static_cast<uint32_t>(control_id));
  if (post)
    PostMessageA(GetParent(window), WM_COMMAND, command, 0);
  else
    SendMessageA(GetParent(window), WM_COMMAND, command, 0);
}

void PaintContainerLinkC(HWND window, const ContainerLinkCData* link) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (dc && link->configured == kConfiguredMarker && link->text) {
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP image = CreateCompatibleBitmap(dc, link->width, link->height);
    HGDIOBJ old_image = SelectObject(memory, image);
    RECT client = {};
    GetClientRect(window, &client);
    FillRect(memory, &client, DialogBrush);
    HGDIOBJ old_font = SelectObject(memory, link->link ? LinkFont : LabelFont);
    SetTextColor(memory, link->link ? RGB(0, 0, 255) : RGB(0, 0, 0));
    const int length = static_cast<int>(std::strlen(link->text));
    SIZE extent = {};
    GetTextExtentPoint32A(memory, link->text, length, &extent);
    SetBkMode(memory, TRANSPARENT);
    const int x = link->left_aligned ? 0 : (link->width - extent.cx) / 2;
    const int y = (link->height - extent.cy) / 2;
    TextOutA(memory, x, y, link->text, length);
    BitBlt(dc, 0, 0, link->width, link->height, memory, 0, 0, SRCCOPY);
    if (old_font) SelectObject(memory, old_font);
    if (old_image) SelectObject(memory, old_image);
    if (image) DeleteObject(image);
    if (memory) DeleteDC(memory);
  }
  EndPaint(window, &paint);
}

void Redraw(HWND window) {
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
}

BYTE RestingLook(const MacStyleBtnData* button) {
  return button->is_default ? kLookDefault : kLookNormal;
}

HBITMAP ButtonBitmap(int id) { return ButtonBitmaps[id - kFirstButtonBitmap]; }

void PaintButtonWindow(HWND window, const MacStyleBtnData* button) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (dc) {
    RECT text_rect = {};
    GetWindowRect(window, &text_rect);
    text_rect = {0, 0, text_rect.right - text_rect.left, text_rect.bottom - text_rect.top};
    const LookBitmaps& look =
        kLooks[button->enabled && button->state <= kLookDefault ? button->state : BYTE{kLookNormal}];
    PaintMacStyleBtn(dc, *button, ButtonBitmap(look.left), ButtonBitmap(look.middle),
                     ButtonBitmap(look.right), text_rect);
  }
  EndPaint(window, &paint);
}

}  // namespace

void InitContainerLinkC() {
  DialogBrush = CreateSolidBrush(RGB(232, 232, 232));
  LabelFont = ArialFont(700, FALSE);
  LinkFont = ArialFont(400, TRUE);
  RegisterContainerLinkC(ModuleInstance);
  HandCursor = LoadCursorA(nullptr, IDC_HAND);
}

void ReleaseContainerLinkC() {
  HandCursor = nullptr;  // a shared system cursor: given up, never destroyed
  DeleteHandle(DialogBrush);
  DeleteHandle(LabelFont);
  DeleteHandle(LinkFont);
  UnregisterClassA(kLinkClass, ModuleInstance);
}

void InitMacStyleBtn() {
  ButtonFont = ArialFont(700, FALSE);
  LoadMacStyleBtnBitmaps();
  RegisterMacStyleBtn(ModuleInstance);
}

void ReleaseMacStyleBtn() {
  DeleteHandle(ButtonFont);
  UnregisterClassA(kButtonClass, ModuleInstance);
  FreeMacStyleBtnBitmaps();
}

void LoadMacStyleBtnBitmaps() {
  for (int i = 0; i < kButtonBitmapCount; ++i)
    ButtonBitmaps[i] = LoadBitmapA(ModuleInstance, MAKEINTRESOURCEA(kFirstButtonBitmap + i));
}

void FreeMacStyleBtnBitmaps() {
  for (HBITMAP& bitmap : ButtonBitmaps) DeleteHandle(bitmap);
}

BOOL RegisterContainerLinkC(HINSTANCE instance) {
  return RegisterControlClass(instance, kLinkClass, ContainerLinkCWndProc);
}

BOOL RegisterMacStyleBtn(HINSTANCE instance) {
  return RegisterControlClass(instance, kButtonClass, MacStyleBtnWndProc);
}

LRESULT CALLBACK ContainerLinkCWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CREATE) {
    auto* link = CreationRecord<ContainerLinkCData>(lparam);
    if (!link) return 0;
    TakeRecord(window, link);
    return 0;
  }
  ContainerLinkCData* link = RecordOf<ContainerLinkCData>(window);
  if (!link) return DefWindowProcA(window, message, wparam, lparam);
  const bool active_link = link->configured == kConfiguredMarker && link->link;
  switch (message) {
    case WM_MOUSEMOVE:
      if (active_link && HandCursor) SetCursor(HandCursor);
      return 0;
    case WM_LBUTTONDOWN:
      if (active_link) TellParent(window, link->control_id, false);
      return 0;
    case WM_COMMAND:
      PostMessageA(GetParent(window), WM_COMMAND, wparam, lparam);
      return 0;
    case WM_PAINT:
      PaintContainerLinkC(window, link);
      return 0;
    case WM_NCDESTROY:
      return FreeRecord(window, link, message, wparam, lparam);
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

LRESULT CALLBACK MacStyleBtnWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CREATE) {
    auto* button = CreationRecord<MacStyleBtnData>(lparam);
    if (!button) return 0;
    button->x = button->y = 0;
    TakeRecord(window, button);
    button->state = kLookNormal;
    return 1;
  }
  MacStyleBtnData* button = RecordOf<MacStyleBtnData>(window);
  if (!button) return DefWindowProcA(window, message, wparam, lparam);
  switch (message) {
    case WM_MOUSEMOVE:
      if (button->enabled) {
        const int x = static_cast<int16_t>(LOWORD(lparam));
        const int y = static_cast<int16_t>(HIWORD(lparam));
        RECT client = {};
        GetClientRect(window, &client);
        if (x >= client.left && x < client.right && y >= client.top && y < client.bottom) {
          if (button->state != kLookHover) {
            SetCapture(window);
            button->state = kLookHover;
            Redraw(window);
          }
        } else {
          ReleaseCapture();
          button->state = RestingLook(button);
          Redraw(window);
        }
      }
      return 1;
    case WM_LBUTTONDOWN:
      if (button->enabled) {
        button->state = kLookPressed;
        Redraw(window);
      }
      return 1;
    case WM_LBUTTONUP:
      if (button->enabled) {
        button->state = RestingLook(button);
        Redraw(window);
        TellParent(window, button->control_id, true);
      }
      return 1;
    case WM_COMMAND:
      PostMessageA(GetParent(window), WM_COMMAND, wparam, lparam);
      return 1;
    case WM_PAINT:
      PaintButtonWindow(window, button);
      return 1;
    case WM_NCDESTROY:
      return FreeRecord(window, button, message, wparam, lparam);
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

void* GetControlData(HWND window, const char* class_name) {
  char name[64] = {0};
  if (!GetClassNameA(window, name, sizeof(name)) || std::strcmp(name, class_name) != 0)
    return nullptr;
  return reinterpret_cast<void*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

ContainerLinkCData* SetupContainerLinkC(HWND dialog, int control_id, const char* text, BYTE link,
                                        BYTE left_aligned) {
  auto* record =
      static_cast<ContainerLinkCData*>(GetControlData(GetDlgItem(dialog, control_id), kLinkClass));
  if (!record) return nullptr;
  record->configured = kConfiguredMarker;
  record->link = link;
  if (text) ReplaceText(record->text, text);
  record->left_aligned = left_aligned;
  return record;
}

MacStyleBtnData* SetupMacStyleBtn(HWND dialog, int control_id, const char* text, BYTE is_default) {
  auto* record =
      static_cast<MacStyleBtnData*>(GetControlData(GetDlgItem(dialog, control_id), kButtonClass));
  if (!record) return nullptr;
  record->is_default = is_default;
  record->state = RestingLook(record);
  record->enabled = 1;
  if (text) ReplaceText(record->text, text);
  return record;
}

void AddBalloonTooltip(HWND control, const char* text, const char* title) {
  if (!control || !text) return;
  constexpr DWORD kTopmostToolWindow = 0x88;
  constexpr DWORD kBalloonPopup = 0x80C00042;  // pop-up, caption frame, balloon, no prefix
  HWND tip = CreateWindowExA(kTopmostToolWindow, "tooltips_class32", nullptr, kBalloonPopup,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, control,
                             nullptr, ModuleInstance, nullptr);
  if (!tip) return;
  SetWindowPos(tip, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  TTTOOLINFOA tool = {};
  tool.cbSize = sizeof(tool);
  constexpr UINT kSubclassTransparentCentred = 0x112;
  tool.uFlags = kSubclassTransparentCentred;
  tool.hwnd = control;
  tool.uId = 0;
  GetClientRect(control, &tool.rect);
  tool.lpszText = const_cast<char*>(text);
  SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  constexpr WPARAM kInformationIcon = 1;
  if (title) SendMessageA(tip, TTM_SETTITLEA, kInformationIcon, reinterpret_cast<LPARAM>(title));
  SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, 100);
}

void PaintMacStyleBtn(HDC target, const MacStyleBtnData& button, HBITMAP left, HBITMAP middle,
                      HBITMAP right, RECT text_rect) {
  const int width = button.width;
  const int height = button.height;
  HDC face = CreateCompatibleDC(target);
  HBITMAP image = CreateCompatibleBitmap(target, width, height);
  HGDIOBJ old_image = SelectObject(face, image);
  HDC pieces = CreateCompatibleDC(target);
  HGDIOBJ old_piece = SelectObject(pieces, left);
  BitBlt(face, 0, 0, kButtonCapWidth, kButtonFaceHeight, pieces, 0, 0, SRCCOPY);
  SelectObject(pieces, right);
  BitBlt(face, width - kButtonCapWidth, 0, kButtonCapWidth, kButtonFaceHeight, pieces, 0, 0,
         SRCCOPY);
  SelectObject(pieces, middle);
  StretchBlt(face, kButtonCapWidth, 0, width - 2 * kButtonCapWidth, kButtonFaceHeight, pieces, 0, 0,
             kButtonCapWidth, kButtonFaceHeight, SRCCOPY);

  SetBkMode(face, TRANSPARENT);
  if (!button.enabled) SetTextColor(face, RGB(127, 127, 127));
  text_rect.top += 4;
  HGDIOBJ old_font = SelectObject(face, ButtonFont);
  if (button.text) DrawTextA(face, button.text, -1, &text_rect, DT_CENTER);
  BitBlt(target, button.x, button.y, width, height, face, 0, 0, SRCCOPY);

  if (old_font) SelectObject(face, old_font);
  if (old_piece) SelectObject(pieces, old_piece);
  if (old_image) SelectObject(face, old_image);
  if (image) DeleteObject(image);
  if (pieces) DeleteDC(pieces);
  if (face) DeleteDC(face);
}

// The skinned controls and the About dialog's procedure on real windows: a
// modeless copy of dialog 7771 (so nothing waits on a modal loop), and
// controls made in a plain parent that records the commands it is sent.
#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/about_dialog.h"
#include "ui/plugin_globals.h"
#include "ui/skinned_controls.h"

namespace {

// WM_COMMANDs that reached the parent's procedure: sent ones (posted ones stay
// in the queue, which nothing here dispatches).
std::vector<WPARAM> g_sent;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COMMAND) g_sent.push_back(wparam);
  return DefWindowProcA(window, message, wparam, lparam);
}

// The commands posted to the window and still in its queue.
std::vector<WPARAM> Posted(HWND window) {
  std::vector<WPARAM> out;
  MSG msg;
  while (PeekMessageA(&msg, window, WM_COMMAND, WM_COMMAND, PM_REMOVE)) out.push_back(msg.wParam);
  return out;
}

class SkinnedControls : public ::testing::Test {
 protected:
  void SetUp() override {
    ModuleInstance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA parent_class = {};
    parent_class.lpfnWndProc = ParentProc;
    parent_class.hInstance = ModuleInstance;
    parent_class.lpszClassName = "QfTestParent";
    RegisterClassA(&parent_class);
    InitContainerLinkC();
    InitMacStyleBtn();
    parent = CreateWindowExA(0, "QfTestParent", "", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                             nullptr, ModuleInstance, nullptr);
    ASSERT_TRUE(parent);
    g_sent.clear();
  }
  void TearDown() override {
    DestroyWindow(parent);
    ReleaseMacStyleBtn();
    ReleaseContainerLinkC();
  }
  HWND Child(const char* cls, int id, int width, int height) {
    return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE, 0, 0, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance,
                           nullptr);
  }
  static LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

  HWND parent = nullptr;
};

TEST_F(SkinnedControls, ClassesAndDrawingObjectsLiveOnlyAroundTheDialog) {
  WNDCLASSA info;
  EXPECT_TRUE(GetClassInfoA(ModuleInstance, "ContainerLinkC", &info));
  EXPECT_EQ(info.hbrBackground, DialogBrush);
  EXPECT_EQ(info.style, 0u);
  EXPECT_TRUE(GetClassInfoA(ModuleInstance, "MacStyleBtn", &info));
  EXPECT_EQ(info.hbrBackground, DialogBrush);
  LOGBRUSH brush;
  ASSERT_EQ(GetObjectA(DialogBrush, sizeof(brush), &brush), static_cast<int>(sizeof(brush)));
  EXPECT_EQ(brush.lbColor, RGB(232, 232, 232));

  DestroyWindow(parent);
  parent = nullptr;
  const HBRUSH brush_handle = DialogBrush;
  ReleaseMacStyleBtn();
  ReleaseContainerLinkC();
  EXPECT_FALSE(GetClassInfoA(ModuleInstance, "ContainerLinkC", &info));
  EXPECT_FALSE(GetClassInfoA(ModuleInstance, "MacStyleBtn", &info));
  EXPECT_EQ(GetObjectType(brush_handle), 0u);
  InitContainerLinkC();  // for TearDown
  InitMacStyleBtn();
}

TEST_F(SkinnedControls, LinkLabelSendsItsCommandOnlyWhenConfiguredAsALink) {
  HWND label = Child("ContainerLinkC", 1004, 120, 20);
  ASSERT_TRUE(label);
  // Unconfigured: the mouse is ignored.
  SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  EXPECT_TRUE(g_sent.empty());
  // A label that is not a link sends nothing either.
  ContainerLinkCData* record = SetupContainerLinkC(parent, 1004, "ab", 0, 0);
  ASSERT_TRUE(record);
  SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  EXPECT_TRUE(g_sent.empty());
  // A link tells its parent at once, with the id and notification 0.
  EXPECT_EQ(SetupContainerLinkC(parent, 1004, "a label longer than the first", 1, 1), record);
  EXPECT_STREQ(record->text, "a label longer than the first");
  EXPECT_EQ(record->configured, kConfiguredMarker);
  EXPECT_EQ(record->width, 120);
  EXPECT_EQ(record->height, 20);
  SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  EXPECT_EQ(g_sent, std::vector<WPARAM>{1004});
  // Setup with no text keeps the text.
  SetupContainerLinkC(parent, 1004, nullptr, 1, 0);
  EXPECT_STREQ(record->text, "a label longer than the first");
}

TEST_F(SkinnedControls, SetupFindsOnlyItsOwnClassByExactName) {
  HWND button = Child("MacStyleBtn", 7, 60, 24);
  ASSERT_TRUE(button);
  EXPECT_EQ(SetupContainerLinkC(parent, 7, "x", 1, 0), nullptr);
  EXPECT_EQ(SetupContainerLinkC(parent, 99, "x", 1, 0), nullptr);  // no such id
  EXPECT_EQ(SetupMacStyleBtn(parent, 99, "x", 0), nullptr);
  EXPECT_EQ(GetControlData(button, "MacStyleBt"), nullptr);
  EXPECT_EQ(GetControlData(button, "MacStyleBtnX"), nullptr);
  auto* record = static_cast<MacStyleBtnData*>(GetControlData(button, "MacStyleBtn"));
  ASSERT_TRUE(record);
  EXPECT_EQ(record->enabled, 0);  // untouched by the refused setups
  EXPECT_EQ(record->text, nullptr);
}

TEST_F(SkinnedControls, ButtonLooksFollowTheMouseAndClicksArePosted) {
  HWND button = Child("MacStyleBtn", 2, 100, 24);
  ASSERT_TRUE(button);
  auto* record = static_cast<MacStyleBtnData*>(GetControlData(button, "MacStyleBtn"));
  ASSERT_TRUE(record);
  // Not set up: disabled, the mouse does nothing.
  SendMessageA(button, WM_MOUSEMOVE, 0, At(50, 10));
  SendMessageA(button, WM_LBUTTONUP, 0, At(50, 10));
  EXPECT_EQ(record->state, kLookNormal);
  EXPECT_TRUE(Posted(parent).empty());

  for (BYTE is_default : {0, 1}) {
    SCOPED_TRACE(is_default ? "default button" : "normal button");
    const BYTE rest = is_default ? kLookDefault : kLookNormal;
    ASSERT_EQ(SetupMacStyleBtn(parent, 2, "Close", is_default), record);
    EXPECT_EQ(record->state, rest);
    SendMessageA(button, WM_MOUSEMOVE, 0, At(50, 10));
    EXPECT_EQ(record->state, kLookHover);
    EXPECT_EQ(GetCapture(), button);
    SendMessageA(button, WM_MOUSEMOVE, 0, At(99, 23));  // last pixel: inside
    EXPECT_EQ(record->state, kLookHover);
    SendMessageA(button, WM_MOUSEMOVE, 0, At(100, 10));  // x = width: outside
    EXPECT_EQ(record->state, rest);
    EXPECT_NE(GetCapture(), button);
    SendMessageA(button, WM_MOUSEMOVE, 0, At(-1 & 0xFFFF, 10));  // left of it
    EXPECT_EQ(record->state, rest);
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, At(50, 10));
    EXPECT_EQ(record->state, kLookPressed);
    SendMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, At(50, 10));  // pressed, then moved inside
    EXPECT_EQ(record->state, kLookHover);
    SendMessageA(button, WM_LBUTTONUP, 0, At(50, 10));
    EXPECT_EQ(record->state, rest);
    EXPECT_EQ(Posted(parent), std::vector<WPARAM>{2});
    EXPECT_TRUE(g_sent.empty());
    ReleaseCapture();
  }
}

// The bitmap's pixel as 0x00BBGGRR.
COLORREF BitmapPixel(int id, int x, int y) {
  HBITMAP bitmap = LoadBitmapA(ModuleInstance, MAKEINTRESOURCEA(id));
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
  return c;
}

TEST_F(SkinnedControls, ButtonFaceIsCapsAndAStretchedMiddleOverTheTopRows) {
  HWND button = Child("MacStyleBtn", 2, 100, 30);
  ASSERT_TRUE(button);
  auto* record = SetupMacStyleBtn(parent, 2, nullptr, 0);  // no caption over the face
  ASSERT_TRUE(record);
  const struct {
    BYTE state;
    int left, middle, right;
  } looks[] = {{kLookNormal, 124, 125, 123},
               {kLookHover, 130, 131, 129},
               {kLookPressed, 133, 134, 132},
               {kLookDefault, 127, 128, 126}};
  HDC screen = GetDC(nullptr);
  HDC target = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, 100, 30);
  HGDIOBJ old = SelectObject(target, canvas);
  for (const auto& look : looks) {
    SCOPED_TRACE(static_cast<int>(look.state));
    HBITMAP left = LoadBitmapA(ModuleInstance, MAKEINTRESOURCEA(look.left));
    HBITMAP middle = LoadBitmapA(ModuleInstance, MAKEINTRESOURCEA(look.middle));
    HBITMAP right = LoadBitmapA(ModuleInstance, MAKEINTRESOURCEA(look.right));
    RECT rect = {0, 0, 100, 30};
    PaintMacStyleBtn(target, *record, left, middle, right, rect);
    int wrong = 0;
    for (int y = 0; y < 24; ++y) {
      // The middle pieces are uniform along a row, so any stretch gives this.
      const COLORREF middle_colour = BitmapPixel(look.middle, 0, y);
      for (int x = 0; x < 100; ++x) {
        const COLORREF expected = x < 18   ? BitmapPixel(look.left, x, y)
                                  : x < 82 ? middle_colour
                                           : BitmapPixel(look.right, x - 82, y);
        wrong += GetPixel(target, x, y) != expected;
      }
    }
    EXPECT_EQ(wrong, 0);
    // Below the face, the rows come from the fresh face image, not from a bitmap.
    for (int x = 0; x < 100; x += 9) EXPECT_EQ(GetPixel(target, x, 27), RGB(0, 0, 0)) << x;
    DeleteObject(left);
    DeleteObject(middle);
    DeleteObject(right);
  }
  SelectObject(target, old);
  DeleteObject(canvas);
  DeleteDC(target);
  ReleaseDC(nullptr, screen);
}

// The text of the balloon tooltip whose one tool is the control. A tooltip
// owned by a control is owned by the control's top-level window.
std::string TooltipText(HWND control) {
  struct Search {
    HWND control, tip;
  } search = {control, nullptr};
  EnumWindows(
      [](HWND window, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        char name[32] = {0};
        GetClassNameA(window, name, sizeof(name));
        TTTOOLINFOA tool = {};
        tool.cbSize = sizeof(tool);
        if (lstrcmpA(name, TOOLTIPS_CLASSA) == 0 &&
            GetWindow(window, GW_OWNER) == GetAncestor(s->control, GA_ROOT) &&
            SendMessageA(window, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool)) &&
            tool.hwnd == s->control) {
          s->tip = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  if (!search.tip || SendMessageA(search.tip, TTM_GETTOOLCOUNT, 0, 0) != 1) return "(none)";
  if ((GetWindowLongA(search.tip, GWL_STYLE) & TTS_BALLOON) == 0) return "(not a balloon)";
  char text[256] = {0};
  TTTOOLINFOA tool = {};
  tool.cbSize = sizeof(tool);
  tool.hwnd = control;
  tool.lpszText = text;
  SendMessageA(search.tip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&tool));
  return text;
}

TEST_F(SkinnedControls, AboutDialogSetsUpItsControlsTooltipsAndEndsOnCloseIds) {
  HWND dialog =
      CreateDialogParamA(ModuleInstance, MAKEINTRESOURCEA(kAboutDialogId), parent, AboutDlgProc, 0);
  ASSERT_TRUE(dialog);
  ShowWindow(dialog, SW_SHOW);
  char version[64] = {0};
  GetDlgItemTextA(dialog, kVersionItem, version, sizeof(version));
  EXPECT_STREQ(version, "1.0 (64 Bit)");
  auto* link = static_cast<ContainerLinkCData*>(
      GetControlData(GetDlgItem(dialog, kSiteLinkItem), "ContainerLinkC"));
  ASSERT_TRUE(link);
  EXPECT_STREQ(link->text, kMakerSite);
  EXPECT_EQ(link->link, 1);
  EXPECT_EQ(link->left_aligned, 1);
  auto* close =
      static_cast<MacStyleBtnData*>(GetControlData(GetDlgItem(dialog, kCloseItem), "MacStyleBtn"));
  ASSERT_TRUE(close);
  EXPECT_STREQ(close->text, "Close");
  EXPECT_EQ(close->state, kLookNormal);
  EXPECT_EQ(TooltipText(GetDlgItem(dialog, kSiteLinkItem)),
            "Visit author site and look at other plug-ins");
  EXPECT_EQ(TooltipText(GetDlgItem(dialog, kCloseItem)), "Close window");

  // Statics, the dialog and buttons take the dialog's brush.
  HDC dc = GetDC(dialog);
  EXPECT_EQ(SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), 0),
            reinterpret_cast<LRESULT>(DialogBrush));
  EXPECT_EQ(GetTextColor(dc), RGB(50, 55, 60));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  ReleaseDC(dialog, dc);

  // A command of Close or OK with another notification does not end it.
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 1), 0);
  EXPECT_TRUE(IsWindowVisible(dialog));
  // Ending a modeless dialog hides it.
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
  EXPECT_FALSE(IsWindowVisible(dialog));
  DestroyWindow(dialog);
}

}  // namespace

#include "ui/about_dialog.h"

#include "ui/plugin_globals.h"
#include "ui/shell_openers.h"
#include "ui/skinned_controls.h"
#include "ui/ui_handlers.h"

const char kMakerSite[] = "http://example.com";
const char kAboutVersion[] = "1.0 (64 Bit)";

PF_Err About(PF_InData* in_data, PF_OutData*, PF_ParamDef*[], PF_LayerDef*) {
  HWND main_window = nullptr;
  if (in_data && in_data->utils && in_data->utils->get_platform_data)
    in_data->utils->get_platform_data(in_data->effect_ref, PF_PlatData_MAIN_WND, &main_window);
  InitContainerLinkC();
  InitMacStyleBtn();
  // Returns when the dialog ends, or at once when it cannot be made.
  DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(kAboutDialogId), main_window, AboutDlgProc, 0);
  ReleaseMacStyleBtn();
  ReleaseContainerLinkC();
  return PF_Err_NONE;
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      SetupContainerLinkC(dialog, kSiteLinkItem, kMakerSite, 1, 1);
      SetupMacStyleBtn(dialog, kCloseItem, "Close", 0);
      AddBalloonTooltip(GetDlgItem(dialog, kSiteLinkItem),
                        "Visit author site and look at other plug-ins", nullptr);
      AddBalloonTooltip(GetDlgItem(dialog, kCloseItem), "Close window", nullptr);
      SetDlgItemTextA(dialog, kVersionItem, kAboutVersion);
      return 1;
    case WM_CTLCOLORSTATIC:
      SetTextColor(reinterpret_cast<HDC>(wparam), RGB(50, 55, 60));
      SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
      return reinterpret_cast<INT_PTR>(DialogBrush);
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORBTN:
      return reinterpret_cast<INT_PTR>(DialogBrush);
    case WM_DESTROY:
      return 1;
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      if (id == IDOK || id == IDCANCEL) {
        if (HIWORD(wparam) != 0) return 1;
        EndDialog(dialog, id);
        return 0;
      }
      if (id == kSiteLinkItem) OpenUrl(kMakerSite);
      return 1;
    }
    default:
      (void)lparam;
      return 0;
  }
}

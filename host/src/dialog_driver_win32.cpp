// Windows: the player is a thread of the host that waits for a dialog owned by
// the host's main window, then sends the mouse and keys with SendInput and
// reads the dialog's pixels from the screen (BitBlt from the screen's context
// gives what is drawn, where PrintWindow gives a blank dialog under Wine).
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "qf_host/dialog_driver.h"
#include "qf_host/host_error.h"
#include "qf_host/png_io.h"

namespace qfhost {

namespace {

// Time for the dialog's thread to take each input before the next.
constexpr int kSettleMs = 150;
// Input reaches a dialog only while it is in front (see BringToFront). A
// dialog just shown must have been in front for kShownSteadyMs before the
// first event; one that lost the front (a program it started, such as the
// shell's browser, took it) for kSteadyMs once back. Under Wine and Xvfb on a
// loaded machine getting there can take seconds: kFrontWaitMs at the most.
constexpr int kShownSteadyMs = 1500;
constexpr int kSteadyMs = 300;
constexpr int kFrontWaitMs = 30000;
// Time for a dialog that the events end to go.
constexpr int kEndWaitMs = 5000;
constexpr int kKeyHoldMs = 50;
constexpr int kCloseWaitMs = 5000;

struct Found {
  HWND owner;
  HWND dialog;
};

BOOL CALLBACK FindOwned(HWND window, LPARAM lparam) {
  auto* found = reinterpret_cast<Found*>(lparam);
  char name[16] = {0};
  GetClassNameA(window, name, sizeof(name));
  if (GetWindow(window, GW_OWNER) == found->owner && IsWindowVisible(window) &&
      lstrcmpA(name, "#32770") == 0) {
    found->dialog = window;
    return FALSE;
  }
  return TRUE;
}

void Send(INPUT input) { SendInput(1, &input, sizeof(INPUT)); }

void MoveTo(HWND dialog, int x, int y) {
  POINT p = {x, y};
  ClientToScreen(dialog, &p);
  // Absolute moves are in 1/65536 of the screen; round up so the system's
  // scaling back lands on the pixel.
  const long long w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((p.x * 65536LL + w - 1) / w);
  input.mi.dy = static_cast<LONG>((p.y * 65536LL + h - 1) / h);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  Send(input);
}

void Button(bool down) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  Send(input);
}

void Key(WORD key) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  Send(input);
  Sleep(kKeyHoldMs);
  input.ki.dwFlags = KEYEVENTF_KEYUP;
  Send(input);
}

// The dialog's client area as the screen shows it, once what it has still to
// paint is painted.
void Snap(HWND dialog, const std::string& file) {
  RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT client;
  GetClientRect(dialog, &client);
  POINT origin = {0, 0};
  ClientToScreen(dialog, &origin);
  const int width = client.right, height = client.bottom;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = bitmap ? SelectObject(memory, bitmap) : nullptr;
  const bool copied =
      bitmap && BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  Image image;
  if (copied) {
    image = MakeImage("the dialog's snapshot", width, height, 8);
    const auto* bgra = static_cast<const unsigned char*>(bits);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const unsigned char* s = bgra + (static_cast<size_t>(y) * width + x) * 4;
        uint16_t* d = image.pixel(x, y);
        d[0] = s[2], d[1] = s[1], d[2] = s[0], d[3] = 255;
      }
  }
  if (old) SelectObject(memory, old);
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!copied) throw HostError(file + ": the dialog's pixels cannot be read");
  WritePng(file, image);
}

// Whether the dialog is the foreground window and the active window of its
// thread, with a focus: where the system's input goes to it.
bool InFront(HWND dialog, DWORD thread) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  return GetForegroundWindow() == dialog && GetGUIThreadInfo(thread, &info) &&
         info.hwndActive == dialog && info.hwndFocus;
}

// Returns once the dialog has been in front for steady_ms on end, or for
// kSteadyMs at least when it had to be brought there (with steady_ms 0 and
// the dialog in front, at once). False when it is gone or does not get there
// within kFrontWaitMs.
bool BringToFront(HWND dialog, int steady_ms) {
  const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
  for (int waited = 0, steady = 0; waited < kFrontWaitMs && IsWindow(dialog); waited += 20) {
    if (!InFront(dialog, thread)) {
      steady = 0;
      steady_ms = std::max(steady_ms, kSteadyMs);
      SetForegroundWindow(dialog);
    } else if (steady >= steady_ms) {
      return true;
    } else {
      steady += 20;
    }
    Sleep(20);
  }
  return false;
}

void RequireFront(HWND dialog, int steady_ms = 0) {
  if (!BringToFront(dialog, steady_ms) && IsWindow(dialog))
    throw HostError("the dialog did not come to the front");
}

}  // namespace

struct DialogDriver::State {
  HWND owner;
  std::vector<DialogEvent> events;
  std::string final_snapshot;
  std::atomic<bool> command_done{false};
  Outcome outcome;
  std::thread player;

  void Play() {
    Found found = {owner, nullptr};
    while (!found.dialog) {
      if (command_done) return;
      EnumWindows(FindOwned, reinterpret_cast<LPARAM>(&found));
      if (!found.dialog) Sleep(20);
    }
    const HWND dialog = found.dialog;
    outcome.shown = true;
    try {
      RequireFront(dialog, kShownSteadyMs);
      for (const DialogEvent& e : events) {
        // The hand acts on the dialog in front, as a user's would.
        if (e.kind != DialogEvent::kWait) RequireFront(dialog);
        if (!IsWindow(dialog)) return;
        switch (e.kind) {
          case DialogEvent::kMove:
            MoveTo(dialog, e.x, e.y);
            break;
          case DialogEvent::kDown:
            Button(true);
            break;
          case DialogEvent::kUp:
            Button(false);
            break;
          case DialogEvent::kClick:
            MoveTo(dialog, e.x, e.y);
            Sleep(kSettleMs);
            Button(true);
            Sleep(kSettleMs);
            Button(false);
            break;
          case DialogEvent::kKey:
            Key(e.enter ? VK_RETURN : VK_ESCAPE);
            break;
          case DialogEvent::kWait:
            Sleep(static_cast<DWORD>(e.milliseconds));
            break;
          case DialogEvent::kSnap:
            Snap(dialog, e.file);
            break;
        }
        Sleep(kSettleMs);
      }
      for (int waited = 0; IsWindow(dialog) && waited < kEndWaitMs; waited += 20) Sleep(20);
      if (!IsWindow(dialog)) return;
      if (!final_snapshot.empty()) {
        RequireFront(dialog);
        if (!IsWindow(dialog)) return;
        Snap(dialog, final_snapshot);
      }
    } catch (const HostError& e) {
      outcome.error = e.what();
    }
    if (!IsWindow(dialog)) return;
    outcome.closed_by_host = true;
    BringToFront(dialog, 0);
    Key(VK_ESCAPE);
    for (int waited = 0; IsWindow(dialog) && waited < kCloseWaitMs; waited += 20) Sleep(20);
    if (IsWindow(dialog)) {
      // Escape did not reach it: the dialog's own cancel command ends it.
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      if (outcome.error.empty()) outcome.error = "the dialog did not take Escape";
    }
  }
};

bool HasDialogWindows() { return true; }

DialogDriver::DialogDriver(void* owner, std::vector<DialogEvent> events, std::string final_snapshot)
    : state_(new State) {
  state_->owner = static_cast<HWND>(owner);
  state_->events = std::move(events);
  state_->final_snapshot = std::move(final_snapshot);
  state_->player = std::thread([s = state_.get()] { s->Play(); });
}

DialogDriver::~DialogDriver() {
  state_->command_done = true;
  if (state_->player.joinable()) state_->player.join();
}

DialogDriver::Outcome DialogDriver::Finish() {
  state_->command_done = true;
  if (state_->player.joinable()) state_->player.join();
  return state_->outcome;
}

}  // namespace qfhost

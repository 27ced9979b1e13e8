#include "ui/effect_panel.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "entry_test_support.h"
#include "page_probe.h"
#include "panel_host.h"
#include "ui/about_dialog.h"
#include "ui/shell_openers.h"
#include "ui/ui_handlers.h"

extern "C" const QFResourceTable qf_module_resources;
extern "C" PF_Err EntryPointFunc(PF_Cmd, PF_InData*, PF_OutData*, PF_ParamDef*[], PF_LayerDef*,
                                 void*);

// ---- The shell, watched: requests are recorded, and workers counted ----
namespace {

struct Shell {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> opened;
  HWND parent = nullptr;
  std::string verb;
  INT show = 0;
  bool hold = false;           // requests wait with the shell until released
  bool refuse_thread = false;  // the next CreateThread fails
  int workers_started = 0;
  int workers_finished = 0;
};
Shell& TheShell() {
  static Shell shell;
  return shell;
}

struct Worker {
  LPTHREAD_START_ROUTINE start;
  LPVOID parameter;
};
DWORD WINAPI RunWorker(LPVOID p) {
  const Worker worker = *static_cast<Worker*>(p);
  delete static_cast<Worker*>(p);
  const DWORD result = worker.start(worker.parameter);
  Shell& shell = TheShell();
  std::lock_guard<std::mutex> lock(shell.mutex);
  ++shell.workers_finished;
  shell.changed.notify_all();
  return result;
}

}  // namespace

extern "C" HANDLE CreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stack,
                               LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags,
                               LPDWORD id) {
  using Fn =
      HANDLE (*)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD, LPDWORD);
  static const Fn next = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, "CreateThread"));
  if (!next) std::abort();
  {
    std::lock_guard<std::mutex> lock(TheShell().mutex);
    if (TheShell().refuse_thread) {
      TheShell().refuse_thread = false;
      return nullptr;
    }
    ++TheShell().workers_started;
  }
  return next(security, stack, RunWorker, new Worker{start, parameter}, flags, id);
}

extern "C" HINSTANCE ShellExecuteA(HWND parent, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR,
                                   INT show) {
  Shell& shell = TheShell();
  std::unique_lock<std::mutex> lock(shell.mutex);
  shell.opened.push_back(file);
  shell.parent = parent;
  shell.verb = verb;
  shell.show = show;
  shell.changed.notify_all();
  shell.changed.wait(lock, [&] { return !shell.hold; });
  return reinterpret_cast<HINSTANCE>(uintptr_t{42});
}

namespace {

// Colours of the test bitmaps' faces, and the marker on each picture's top row.
const COLORREF kBanner = RGB(200, 40, 40);
const COLORREF kAbout = RGB(40, 160, 40);
const COLORREF kAboutHover = RGB(120, 240, 120);
const COLORREF kHelp = RGB(40, 40, 200);
const COLORREF kHelpHover = RGB(140, 140, 250);
const COLORREF kMarker = RGB(250, 250, 0);

class EffectPanel : public ::testing::Test {
 protected:
  void SetUp() override {
    AttachTestModule();
    Panel = PanelState{};
    page_probe::Reset();
    Shell& shell = TheShell();
    std::lock_guard<std::mutex> lock(shell.mutex);
    shell.opened.clear();
    shell.hold = false;
  }
  void TearDown() override {
    WaitForWorkers();
    EXPECT_TRUE(host.SuitesBalanced());
    EXPECT_EQ(host.live_images, 0);
    EXPECT_EQ(page_probe::Live(), 0);
    EXPECT_EQ(host.unlocks, 0) << "the panel never locks the sequence data";
  }
  PF_Err Send(PF_EventExtra event) {
    last = event;
    return HandleEvent(&host.in_data, &host.out_data, host.params, nullptr, &last);
  }
  // Sends a real draw onto a cleared panel.
  void Redraw() {
    host.drawn.clear();
    host.raster.assign(host.raster.size(), 0);
    ASSERT_EQ(Send(host.Draw()), PF_Err_NONE);
  }
  // Redraws and checks the faces of the two buttons.
  void ExpectFaces(COLORREF help, COLORREF about) {
    Redraw();
    EXPECT_EQ(host.Pixel(20, 20), help);
    EXPECT_EQ(host.Pixel(20, 60), about);
  }
  static void WaitForWorkers() {
    Shell& shell = TheShell();
    std::unique_lock<std::mutex> lock(shell.mutex);
    shell.hold = false;
    shell.changed.notify_all();
    ASSERT_TRUE(shell.changed.wait_for(lock, std::chrono::seconds(10), [&] {
      return shell.workers_finished == shell.workers_started;
    }));
  }
  static std::vector<std::string> Opened() {
    WaitForWorkers();
    std::lock_guard<std::mutex> lock(TheShell().mutex);
    return TheShell().opened;
  }
  static int WorkersStarted() {
    std::lock_guard<std::mutex> lock(TheShell().mutex);
    return TheShell().workers_started;
  }

  PanelHost host;
  PF_EventExtra last = {};
};

TEST_F(EffectPanel, DrawShowsBannerAndButtonsWithAboutOverHelp) {
  Redraw();
  EXPECT_EQ(last.evt_out_flags, PF_EO_HANDLED_EVENT);
  ASSERT_EQ(host.drawn.size(), 3u);
  const struct {
    int width, height, x, y;
  } expected[] = {{360, 81, 0, 0}, {72, 35, 10, 10}, {84, 35, 5, 40}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(host.drawn[i].width, expected[i].width) << i;
    EXPECT_EQ(host.drawn[i].height, expected[i].height) << i;
    EXPECT_EQ(host.drawn[i].x, float(PanelHost::kLeft + expected[i].x)) << i;
    EXPECT_EQ(host.drawn[i].y, float(PanelHost::kTop + expected[i].y)) << i;
    EXPECT_EQ(host.drawn[i].opacity, 1.0f) << i;
  }
  EXPECT_EQ(host.Pixel(200, 20), kBanner);
  EXPECT_EQ(host.Pixel(359, 0), kBanner);
  EXPECT_EQ(host.Pixel(360, 0), 0u);
  EXPECT_EQ(host.Pixel(20, 11), kHelp);
  EXPECT_EQ(host.Pixel(81, 39), kHelp);
  // The About button covers the Help button's lowest rows.
  EXPECT_EQ(host.Pixel(20, 40), kAbout);
  EXPECT_EQ(host.Pixel(81, 44), kAbout);
  EXPECT_EQ(host.Pixel(88, 73), kAbout);
  // Rows are read bottom-up and handed over top-down: a picture's top row
  // lands at the bottom of its place.
  EXPECT_EQ(host.Pixel(200, 80), kMarker);
  EXPECT_EQ(host.Pixel(200, 0), kBanner);
  EXPECT_EQ(host.Pixel(5, 74), kMarker);
  EXPECT_EQ(host.Pixel(5, 40), kAbout);
  EXPECT_EQ(host.Pixel(200, 81), 0u);

  // Every bitmap took the drawing suites and the custom UI suite once.
  EXPECT_EQ(host.Acquired("DRAWBOT Path Suite", 1), 3);
  EXPECT_EQ(host.Acquired("PF Effect Custom UI Suite", 1), 3);
  EXPECT_EQ(Panel.drawing_suppressed, 0);
  EXPECT_EQ(Panel.origin_x, PanelHost::kLeft);
  EXPECT_EQ(Panel.origin_y, PanelHost::kTop);
}

TEST_F(EffectPanel, DrawsOnlyTheInformationAreaInItsControlArea) {
  PF_EventExtra other = host.Draw();
  other.effect_win.index = 2;
  Send(other);
  PF_EventExtra layer = host.Draw();
  layer.contextH->w_type = PF_Window_LAYER;
  Send(layer);
  host.context.w_type = PF_Window_EFFECT;
  EXPECT_TRUE(host.asked.empty());
  EXPECT_EQ(last.evt_out_flags, 0);
  EXPECT_EQ(Panel.drawing_suppressed, 1);

  // The title area: the suites are used and the event handled, but no bitmap drawn.
  PF_EventExtra title = host.Draw();
  title.effect_win.area = PF_EA_PARAM_TITLE;
  Send(title);
  EXPECT_TRUE(host.drawn.empty());
  EXPECT_EQ(host.Acquired("PF Effect Custom UI Suite", 1), 3);
  EXPECT_EQ(last.evt_out_flags, PF_EO_HANDLED_EVENT);
  EXPECT_EQ(page_probe::Taken(), 0);
}

TEST_F(EffectPanel, HoverInvalidatesOnceAndTheNextDrawShowsIt) {
  Redraw();
  Send(host.Cursor(200, 100));
  EXPECT_TRUE(host.invalidated.empty());

  // Onto Help: one invalidation of the panel's frame.
  Send(host.Cursor(30, 20));
  ASSERT_EQ(host.invalidated.size(), 1u);
  EXPECT_EQ(host.invalidated[0].left, PanelHost::kLeft);
  EXPECT_EQ(host.invalidated[0].bottom, PanelHost::kTop + PanelHost::kHeight);
  EXPECT_EQ(last.evt_out_flags, PF_EO_HANDLED_EVENT | PF_EO_UPDATE_NOW);
  EXPECT_EQ(host.information.uu.change_flags, PF_ChangeFlag_CHANGED_VALUE);
  EXPECT_EQ(host.Acquired("PF AE App Suite", 6), 1);
  EXPECT_EQ(host.Released("PF AE App Suite", 6), 1);

  // A move within the button redraws nothing.
  Send(host.Cursor(60, 30));
  Send(host.Cursor(82, 10));  // the box includes its right edge
  EXPECT_EQ(host.invalidated.size(), 1u);
  EXPECT_EQ(last.evt_out_flags, 0);

  ExpectFaces(kHelpHover, kAbout);

  // Where the boxes overlap both buttons light up.
  Send(host.Cursor(20, 42));
  EXPECT_EQ(host.invalidated.size(), 2u);
  ExpectFaces(kHelpHover, kAboutHover);

  Send(host.Cursor(83, 20));
  EXPECT_EQ(host.invalidated.size(), 3u);
  ExpectFaces(kHelp, kAbout);
}

TEST_F(EffectPanel, HoverIsNotTrackedBeforeDrawingOrWhileCollapsedOrSuppressed) {
  // Before the first draw.
  Send(host.Cursor(30, 20));
  EXPECT_TRUE(host.invalidated.empty());
  EXPECT_EQ(Panel.help_hover, 0);

  // A draw that must not draw suppresses tracking until the next real draw.
  Redraw();
  host.drawn.clear();
  Send(host.Draw(PF_EI_DONT_DRAW));
  EXPECT_TRUE(host.drawn.empty());
  Send(host.Cursor(30, 20));
  EXPECT_TRUE(host.invalidated.empty());
  Redraw();
  Send(host.Cursor(30, 20));
  EXPECT_EQ(host.invalidated.size(), 1u);

  // With the group collapsed nothing is tracked.
  host.information.flags = PF_ParamFlag_COLLAPSE_TWIRLY;
  Send(host.Cursor(200, 100));
  EXPECT_EQ(host.invalidated.size(), 1u);
  EXPECT_EQ(Panel.help_hover, 1);
}

TEST_F(EffectPanel, ClicksOpenTheHelpPageAndRunAbout) {
  std::strcpy(PluginFolder, "C:\\Effects");
  HostMainWindow = reinterpret_cast<HWND>(0x77);
  Redraw();

  Send(host.Click(83, 20));  // right of Help, above About
  Send(host.Click(40, 60));  // About only
  EXPECT_EQ(WorkersStarted(), 0);

  // Both boxes: the help page opens, then About runs.
  EXPECT_EQ(Send(host.Click(20, 42)), PF_Err_NONE);
  EXPECT_EQ(Opened(), std::vector<std::string>{"C:\\Effects\\QuillFrame\\quillframeae.html"});
  EXPECT_EQ(TheShell().parent, reinterpret_cast<HWND>(0x77));
  EXPECT_EQ(TheShell().verb, "open");
  EXPECT_EQ(TheShell().show, SW_SHOW);
  EXPECT_EQ(last.evt_out_flags, 0);

  // A click outside the effect window does nothing.
  PF_EventExtra comp = host.Click(20, 20);
  comp.contextH->w_type = PF_Window_COMP;
  Send(comp);
  EXPECT_EQ(Opened().size(), 1u);
}

TEST_F(EffectPanel, HelpRequestsWhileOneIsWithTheShellAreDropped) {
  std::strcpy(PluginFolder, "C:/Effects/");
  Redraw();
  const int before = WorkersStarted();
  {
    std::lock_guard<std::mutex> lock(TheShell().mutex);
    TheShell().hold = true;
  }
  Send(host.Click(20, 20));
  Send(host.Click(30, 30));
  EXPECT_EQ(WorkersStarted(), before + 1);
  EXPECT_EQ(Opened(), std::vector<std::string>{"C:/Effects/QuillFrame\\quillframeae.html"});
  Send(host.Click(30, 30));
  EXPECT_EQ(Opened().size(), 2u);
}

TEST_F(EffectPanel, TheSiteLinkSharesTheOpenerAndAFailedWorkerLeavesItIdle) {
  std::strcpy(PluginFolder, "C:\\Effects\\");
  HostMainWindow = reinterpret_cast<HWND>(0x78);
  // A worker that cannot start opens nothing and leaves the opener free.
  {
    std::lock_guard<std::mutex> lock(TheShell().mutex);
    TheShell().refuse_thread = true;
  }
  OpenHelpPage(0);
  EXPECT_TRUE(Opened().empty());

  {
    std::lock_guard<std::mutex> lock(TheShell().mutex);
    TheShell().hold = true;
  }
  OpenUrl(kMakerSite);
  OpenHelpPage(2);  // dropped: the site is still with the shell
  EXPECT_EQ(Opened(), std::vector<std::string>{"http://example.com"});
  EXPECT_EQ(TheShell().parent, reinterpret_cast<HWND>(0x78));
  OpenHelpPage(2);  // every page index opens the one page
  EXPECT_EQ(Opened(), (std::vector<std::string>{"http://example.com",
                                                "C:\\Effects\\QuillFrame\\quillframeae.html"}));

  // A folder too long for the path opens nothing rather than a cut path.
  std::memset(PluginFolder, 'x', 1010);
  PluginFolder[1010] = '\0';
  OpenHelpPage(0);
  EXPECT_EQ(Opened().size(), 2u);
}

TEST_F(EffectPanel, AboutWithoutAWindowSystemReturnsAtOnce) {
  // The dialog cannot be made natively: the command still succeeds.
  EXPECT_EQ(
      EntryPointFunc(PF_Cmd_ABOUT, &host.in_data, &host.out_data, host.params, nullptr, nullptr),
      PF_Err_NONE);
}

TEST_F(EffectPanel, ABitmapThatCannotBeReadIsSkipped) {
  // Help's face missing from the module.
  std::vector<QFResourceEntry> entries;
  for (size_t i = 0; i < qf_module_resources.count; ++i)
    if (qf_module_resources.entries[i].id != 784) entries.push_back(qf_module_resources.entries[i]);
  const QFResourceTable without_help = {entries.data(), entries.size()};
  QFRegisterModuleResources(AttachTestModule(), &without_help);
  Redraw();
  QFRegisterModuleResources(AttachTestModule(), &qf_module_resources);
  ASSERT_EQ(host.drawn.size(), 2u);
  EXPECT_EQ(host.Pixel(20, 20), kBanner);
  EXPECT_EQ(host.Pixel(20, 60), kAbout);

  // The banner's pixel buffer cannot be committed.
  page_probe::Reset();
  page_probe::FailAt(1);
  Redraw();
  ASSERT_EQ(host.drawn.size(), 2u);
  EXPECT_EQ(host.Pixel(200, 20), 0u);
  EXPECT_EQ(host.Pixel(20, 20), kHelp);
  EXPECT_EQ(page_probe::Taken(), 3);
}

TEST_F(EffectPanel, MissingDrawingSuitesDrawNothingAndStillSucceed) {
  host.missing.insert(kPFEffectCustomUISuite);
  Redraw();
  EXPECT_TRUE(host.drawn.empty());
  EXPECT_EQ(last.evt_out_flags, 0);
  EXPECT_STREQ(host.out_data.return_msg, "Not able to acquire AEFX Suite.");
  EXPECT_EQ(host.out_data.out_flags, PF_OutFlag_DISPLAY_ERROR_MESSAGE);
  EXPECT_EQ(host.Released("DRAWBOT Path Suite", 1), 3);
}

TEST_F(EffectPanel, MissingAppSuiteEndsTheEventCommandWith516) {
  host.missing.insert(kPFAppSuite);
  PF_EventExtra draw = host.Draw();
  EXPECT_EQ(
      EntryPointFunc(PF_Cmd_EVENT, &host.in_data, &host.out_data, host.params, nullptr, &draw),
      PF_Err_NONE);
  PF_EventExtra hover = host.Cursor(30, 20);
  EXPECT_EQ(
      EntryPointFunc(PF_Cmd_EVENT, &host.in_data, &host.out_data, host.params, nullptr, &hover),
      PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_TRUE(host.invalidated.empty());
  EXPECT_EQ(hover.evt_out_flags, 0);

  // Without a basic suite a draw ends the same way.
  host.in_data.pica_basicP = nullptr;
  PF_EventExtra bare = host.Draw();
  EXPECT_EQ(
      EntryPointFunc(PF_Cmd_EVENT, &host.in_data, &host.out_data, host.params, nullptr, &bare),
      PF_Err_BAD_CALLBACK_PARAM);
}

}  // namespace

// Milliseconds per frame of the Floral deliverable: its default frame (every
// parameter at its default, over the host's built-in picture) at 1920 x 1080
// and 3840 x 2160, 8 and 16 bits; and at 1920 x 1080 the same frame with its
// stages turned off one by one, with a "Texture reflection" layer, and in the
// "Rough", "Line" and "Wire" render modes and the undeclared mode values 6 and 7
// (subdivided and curved). Each row reports the triangles grown, the
// pixels shaded and, measured in the same run, the memory-bandwidth floor:
// the time of one copy of each frame-sized buffer that the render touches.
//
// The default frame, Phong and "Flat", at both sizes and depths, is timed
// with one worker (QF_THREADS=1) and then with the machine's threads; the
// second row of each pair reports its speed-up over the first.
//
// The timed frames run exactly as a host runs the deliverable: the real
// module, loaded through the host library. The counts come from a separate
// pass through the same code linked in statically, driven by the same host
// library in process. The module exports the engine's shader hook but neither its default
// shader, to which a counting hook would hand each pixel on, nor the triangle
// count, so the shipped module cannot be counted honestly. The counting pass
// is set up as the timed instance is, with the same picture and layer, and
// must draw the very frame that is timed, or the row is dropped with an error.
//
// The Geometry deliverable's rows, its default frame and the top of its
// ranges ("Max triangles" 10000, "Max iterations" 8) for each kind, are timed
// the same way; the counting pass links only the Floral build, so they report
// no counts. Every row reports the peak resident memory of its timed renders.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "growth/pattern_list.h"
#include "engine/qf_engine.h"
#include "engine/scene_state.h"
#include "counting_shader.h"
#include "entry_test_support.h"
#include "qf_host/deliverable.h"
#include "qf_host/host_error.h"
#include "qf_host/host_session.h"
#include "qf_host/image.h"
#include "qf_host/loaded_effect.h"
#include "qf_host/param_values.h"
#include "qf_host/world.h"

namespace {

using qfbench::CountingShader;
using qfbench::g_shaded;

using qfhost::HostWorld;

// What a row reports besides its time: measured once, on the row's first
// run (the library runs a row several times while it settles the iteration
// count).
struct Measured {
  long triangles = 0;
  long shaded = 0;
  double floor_ms = 0;
};

// One row of the table.
struct FrameCase {
  const char* deliverable;
  std::string label;
  int width, height;
  bool deep;
  std::vector<std::string> settings;  // "NAME=VALUE" over the defaults
  bool reflection;                    // the built-in picture as "Texture reflection"
  A_long render_mode;                 // a "Render mode" value set as it stands, or 0
  std::optional<Measured> measured{};
  int workers = 0;                        // QF_THREADS for the row, or 0 for the machine's threads
  const FrameCase* one_worker = nullptr;  // the same frame with one worker, for the speed-up
  double ms_per_frame = 0;
};

// ---- Setting up an instance ----

// Sets up an instance of the row's deliverable with the row's parameter
// values, picture and layer, as far as its sequence set-up. False with the
// reason in `why`.
bool SetUp(qfhost::LoadedEffect& effect, const FrameCase& c, const HostWorld& source,
           const HostWorld* reflection, const char** why) {
  if (effect.GlobalSetup() != PF_Err_NONE || effect.ParamsSetup() != PF_Err_NONE) {
    *why = "the deliverable's set-up failed";
    return false;
  }
  std::vector<qfhost::ParamSetting> settings;
  for (const std::string& s : c.settings) settings.push_back(qfhost::ParseSetting(s));
  qfhost::ApplyParamValues(effect, settings, {c.width, c.height});
  // Values the popup does not name reach the render as a host may deliver them.
  if (c.render_mode != 0)
    effect.mutable_param(qfhost::FindParam(effect, "Render mode")).u.pd.value = c.render_mode;
  effect.SetLayer(0, &source);
  if (reflection) effect.SetLayer(qfhost::FindParam(effect, "Texture reflection"), reflection);
  if (effect.SequenceSetup() != PF_Err_NONE) {
    *why = "the deliverable's sequence set-up failed";
    return false;
  }
  return true;
}

// ---- The counting pass ----

struct Counts {
  long triangles = 0;
  long shaded = 0;
  std::optional<HostWorld> frame;
};

// Renders the row's frame through the statically linked build, counting as
// it goes; no frame when it fails or the host notes a misuse.
Counts CountFrame(const FrameCase& c, const HostWorld& source, const HostWorld* reflection) {
  Counts counts;
  qfhost::HostSession host;
  qfhost::LoadedEffect effect(host,
                              qfhost::Deliverable::InProcess(AttachTestModule(), &EntryPointFunc));
  const char* why = nullptr;
  if (!SetUp(effect, c, source, reflection, &why)) return counts;
  HostWorld output(c.width, c.height, c.deep);
  g_shaded = 0;
  __SetNewRenderOnePixel(CountingShader);
  const PF_Err err = effect.Render(output, qfhost::FrameTime{});
  __SetDefRenderOnePixel();
  counts.triangles = TriangleCount;
  counts.shaded = g_shaded;
  effect.SequenceSetdown();
  effect.GlobalSetdown();
  if (err == PF_Err_NONE && host.errors().empty()) counts.frame.emplace(std::move(output));
  return counts;
}

bool SameFrame(const HostWorld& a, const HostWorld& b) {
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      for (int c = 0; c < 4; ++c)
        if (a.channel(x, y, c) != b.channel(x, y, c)) return false;
  return true;
}

// ---- The floor ----

// Bytes of each frame-sized buffer a render of the case touches: the host's
// source and output worlds and the engine-order copies of both; in every
// mode but "Rough" also the engine's depth buffer and its per-call images
// (scratch layer, last-merge and under-merge images, the image behind and
// its depth buffer); with a reflection layer, the layer and its texels.
std::vector<size_t> FrameBuffers(const FrameCase& c, const HostWorld& world) {
  const size_t pixels = static_cast<size_t>(c.width) * c.height;
  const size_t image = pixels * (c.deep ? 8 : 4);
  const size_t depth = pixels * sizeof(float);
  const size_t host = static_cast<size_t>(world.world()->rowbytes) * c.height;
  std::vector<size_t> sizes = {host, host, host, host};
  const bool rough =
      std::find(c.settings.begin(), c.settings.end(), "Render mode=Rough") != c.settings.end();
  if (!rough) sizes.insert(sizes.end(), {depth, image, image, image, image, depth});
  if (c.reflection) sizes.insert(sizes.end(), {host, image});
  return sizes;
}

// The best of a few rounds of one memcpy into each buffer, in milliseconds.
double FloorMilliseconds(const std::vector<size_t>& sizes) {
  const size_t largest = *std::max_element(sizes.begin(), sizes.end());
  const std::vector<uint8_t> from(largest, 0x5A);
  std::vector<std::vector<uint8_t>> to;
  for (size_t s : sizes) to.emplace_back(s, 0);  // written once, so every page is mapped
  double best = std::numeric_limits<double>::infinity();
  for (int round = 0; round < 5; ++round) {
    const auto start = std::chrono::steady_clock::now();
    for (auto& buffer : to) {
      std::memcpy(buffer.data(), from.data(), buffer.size());
      benchmark::DoNotOptimize(buffer.data());
      benchmark::ClobberMemory();
    }
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

// ---- Peak memory ----

// Starts the process's peak resident size over from its current size.
void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

// The process's peak resident size since the last reset, in MiB; 0 where the
// system does not say.
double PeakMemoryMiB() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      double kib = 0;
      status >> kib;
      return kib / 1024;
    }
    status.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
  }
  return 0;
}

// ---- The timed frames ----

// Counts the frame the instance renders and checks that the counting pass
// drew that very frame; measures the floor. False with the reason in `why`.
bool Measure(const HostWorld& timed_frame, const HostWorld& source, const HostWorld* reflection,
             FrameCase* c, const char** why) {
  const Counts counts = CountFrame(*c, source, reflection);
  if (!counts.frame || !SameFrame(*counts.frame, timed_frame)) {
    *why = "the counting pass drew another frame than the timed one";
    return false;
  }
  c->measured =
      Measured{counts.triangles, counts.shaded, FloorMilliseconds(FrameBuffers(*c, timed_frame))};
  return true;
}

void BM_Frame(benchmark::State& state, FrameCase* c) {
  try {
    const HostWorld source =
        qfhost::WorldFromImage(qfhost::BuiltInSource(c->width, c->height), c->deep);
    std::optional<HostWorld> reflection;
    if (c->reflection)
      reflection.emplace(
          qfhost::WorldFromImage(qfhost::BuiltInSource(c->width, c->height), c->deep));

    qfhost::HostSession host;
    qfhost::LoadedEffect effect(host, qfhost::Deliverable::Load(c->deliverable));
    const char* why = nullptr;
    if (!SetUp(effect, *c, source, reflection ? &*reflection : nullptr, &why)) {
      state.SkipWithError(why);
      return;
    }
    HostWorld output(c->width, c->height, c->deep);
    const bool counted = c->deliverable == std::string(QF_FLORAL_PATH);
    if (!c->measured) {
      if (effect.Render(output, qfhost::FrameTime{}) != PF_Err_NONE || !host.errors().empty()) {
        state.SkipWithError("the deliverable did not render the frame");
        return;
      }
      if (!counted) {
        c->measured = Measured{};
      } else if (!Measure(output, source, reflection ? &*reflection : nullptr, c, &why)) {
        state.SkipWithError(why);
        return;
      }
    }
    ResetPeakMemory();

    if (c->workers > 0)
      setenv("QF_THREADS", std::to_string(c->workers).c_str(), 1);
    else
      unsetenv("QF_THREADS");
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
      if (effect.Render(output, qfhost::FrameTime{}) != PF_Err_NONE) {
        state.SkipWithError("a timed render failed");
        break;
      }
      benchmark::DoNotOptimize(output.world()->data);
    }
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    unsetenv("QF_THREADS");
    c->ms_per_frame = took.count() / static_cast<double>(std::max<benchmark::IterationCount>(
                                         state.iterations(), 1));
    state.counters["peak_MiB"] = PeakMemoryMiB();
    if (c->one_worker && c->one_worker->ms_per_frame > 0)
      state.counters["speed-up"] = c->one_worker->ms_per_frame / c->ms_per_frame;
    effect.SequenceSetdown();
    effect.GlobalSetdown();
    if (!counted) return;

    const Measured& m = *c->measured;
    state.counters["triangles"] = static_cast<double>(m.triangles);
    state.counters["shaded_px"] = static_cast<double>(m.shaded);
    state.counters["shaded_px/s"] = benchmark::Counter(
        static_cast<double>(m.shaded) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["floor_ms"] = m.floor_ms;
  } catch (const qfhost::HostError& e) {
    state.SkipWithError(e.what());
  }
}

}  // namespace

int main(int argc, char** argv) {
  // The rows, kept in place for the whole run: each caches its measurements.
  static std::vector<FrameCase> cases;
  cases.reserve(64);  // rows point at their one-worker rows
  const int threads = static_cast<int>(std::thread::hardware_concurrency());
  for (const auto& [width, height] : {std::pair{1920, 1080}, std::pair{3840, 2160}})
    for (bool deep : {false, true})
      for (const char* mode : {"Phong", "Flat"}) {
        const std::vector<std::string> settings = {std::string("Render mode=") + mode};
        const std::string label = std::string("default, ") + mode + ", ";
        cases.push_back(
            {QF_FLORAL_PATH, label + "1 worker", width, height, deep, settings, false, 0, {}, 1});
        const FrameCase* one = &cases.back();
        cases.push_back({QF_FLORAL_PATH,
                         label + std::to_string(threads) + " workers",
                         width,
                         height,
                         deep,
                         settings,
                         false,
                         0,
                         {},
                         0,
                         one});
      }
  for (bool deep : {false, true}) {
    cases.push_back({QF_FLORAL_PATH, "Glass off", 1920, 1080, deep, {"Glass=off"}, false, {}});
    cases.push_back(
        {QF_FLORAL_PATH, "Bump percent 0", 1920, 1080, deep, {"Bump percent=0"}, false, {}});
    cases.push_back({QF_FLORAL_PATH,
                     "Glass off, Bump percent 0",
                     1920,
                     1080,
                     deep,
                     {"Glass=off", "Bump percent=0"},
                     false,
                     {}});
    cases.push_back({QF_FLORAL_PATH, "Texture reflection", 1920, 1080, deep, {}, true, {}});
    cases.push_back({QF_FLORAL_PATH, "Rough", 1920, 1080, deep, {"Render mode=Rough"}, false, {}});
    cases.push_back({QF_FLORAL_PATH, "Line", 1920, 1080, deep, {"Render mode=Line"}, false, {}});
  }
  cases.push_back({QF_FLORAL_PATH, "Wire", 1920, 1080, false, {"Render mode=Wire"}, false, 0, {}});
  cases.push_back(
      {QF_FLORAL_PATH, "Render mode 6 (subdivided)", 1920, 1080, false, {}, false, 6, {}});
  cases.push_back({QF_FLORAL_PATH, "Render mode 7 (curved)", 1920, 1080, false, {}, false, 7, {}});
  for (bool deep : {false, true})
    cases.push_back({QF_GEOMETRY_PATH, "Geometry default", 1920, 1080, deep, {}, false, {}});
  // The top of both ranges grows to the triangle budget on the first steps.
  const size_t first_top = cases.size();
  for (const char* kind : {"1", "2", "3"})
    cases.push_back(
        {QF_GEOMETRY_PATH,
         std::string("Geometry top of range, kind ") + kind,
         1920,
         1080,
         false,
         {std::string("QuillFrame kind=") + kind, "Max triangles=10000", "Max iterations=8"},
         false,
         {}});
  for (size_t k = 0; k < cases.size(); ++k) {
    FrameCase& c = cases[k];
    const std::string name = "Frame/" + std::to_string(c.width) + "x" + std::to_string(c.height) +
                             "/" + (c.deep ? "16-bit/" : "8-bit/") + c.label;
    auto* row =
        benchmark::RegisterBenchmark(name.c_str(), BM_Frame, &c)->Unit(benchmark::kMillisecond);
    if (k < first_top)
      row->MinTime(3.0);
    else
      row->Iterations(1);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

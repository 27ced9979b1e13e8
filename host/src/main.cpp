// qf-host: loads a deliverable and drives it as the host application would.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "qf_host/animation.h"
#include "qf_host/closest_names.h"
#include "qf_host/deliverable.h"
#include "qf_host/dialog_driver.h"
#include "qf_host/frame_range.h"
#include "qf_host/frame_time.h"
#include "qf_host/host_error.h"
#include "qf_host/host_session.h"
#include "qf_host/image.h"
#include "qf_host/loaded_effect.h"
#include "qf_host/mask.h"
#include "qf_host/output_file.h"
#include "qf_host/panel.h"
#include "qf_host/param_values.h"
#include "qf_host/png_io.h"
#include "qf_host/report.h"
#include "qf_host/world.h"
#include "text_numbers.h"

namespace {

using qfhost::HostError;

// The most calls --fail may count.
constexpr long long kMaxFailedCall = 1000000;

struct UsageError {
  std::string message;
};

// Ends the command on a failed plug-in result or on any misuse the host noticed.
void Check(qfhost::HostSession& host, PF_Cmd cmd, PF_Err err) {
  const std::string what = qfhost::CommandName(cmd);
  if (!host.errors().empty()) {
    std::string message = "host error during " + what + ": " + host.errors().front();
    if (host.errors().size() > 1)
      message += " (and " + std::to_string(host.errors().size() - 1) + " more)";
    throw HostError(message);
  }
  if (err == PF_Err_OUT_OF_MEMORY || err == PF_Err_MEM_FULL)
    throw HostError(what + " failed with error " + std::to_string(err) + " (out of memory)");
  if (err != PF_Err_NONE) throw HostError(what + " failed with error " + std::to_string(err));
}

void CheckEnd(const qfhost::HostSession& host) {
  const std::vector<std::string> suites = host.UnreleasedSuites();
  if (!suites.empty()) throw HostError("suite never released: " + suites.front());
  if (host.live_handle_count() != 0)
    throw HostError(std::to_string(host.live_handle_count()) + " handle(s) never disposed");
}

int Report(const std::string& command, const std::string& target, qfhost::HostSession& host) {
  auto deliverable = qfhost::Deliverable::Load(target);
  qfhost::LoadedEffect effect(host, deliverable);
  Check(host, PF_Cmd_GLOBAL_SETUP, effect.GlobalSetup());
  qfhost::Json report;
  if (command == "info") {
    report = qfhost::InfoReport(effect);
  } else {
    Check(host, PF_Cmd_PARAMS_SETUP, effect.ParamsSetup());
    report = qfhost::ParamsReport(effect);
  }
  Check(host, PF_Cmd_GLOBAL_SETDOWN, effect.GlobalSetdown());
  CheckEnd(host);
  std::fputs(report.Dump().c_str(), stdout);
  return 0;
}

struct RenderOptions {
  std::string output;
  std::string source;  // empty: the built-in picture
  std::string size;    // empty: the built-in picture's default size
  std::optional<int> depth;
  std::vector<std::string> settings;  // NAME=VALUE, in order
  bool undeclared_choices = false;
  std::string reflection;
  std::vector<std::string> masks;  // FILE or FILE@T
  bool mask_inverted = false;
  std::string frames;
  std::string time;
  std::string fps;
  std::string stats;
  int downsample = 1;
  A_long quality = PF_Quality_HI;
};

// "WxH" (or "W x H") with both sides whole numbers; false for any other form.
bool ReadSize(const std::string& text, long long* width, long long* height) {
  const size_t x = text.find('x');
  return x != std::string::npos && text.find_first_of("+-") == std::string::npos &&
         qfhost::ParseWhole(text.substr(0, x), width) &&
         qfhost::ParseWhole(text.substr(x + 1), height);
}
// The effect's mask path parameter: the first of its kind.
PF_ParamIndex PathParam(const qfhost::LoadedEffect& effect) {
  for (size_t i = 1; i < effect.param_count(); ++i)
    if (effect.param(static_cast<PF_ParamIndex>(i)).def.param_type == PF_Param_PATH)
      return static_cast<PF_ParamIndex>(i);
  throw HostError("the effect has no mask path parameter for --mask");
}

PF_ParamIndex ReflectionParam(const qfhost::LoadedEffect& effect) {
  const PF_ParamIndex index = qfhost::FindParam(effect, "Texture reflection");
  if (effect.param(index).def.param_type != PF_Param_LAYER)
    throw HostError("\"Texture reflection\" is not a layer parameter");
  return index;
}

// The keys of the mask, read from their files: one file without a time is a
// mask that holds; several need a time each.
std::vector<qfhost::MaskKey> ReadMaskKeys(const std::vector<std::string>& masks,
                                          qfhost::FrameRate rate) {
  std::vector<qfhost::MaskKey> keys;
  for (const std::string& text : masks) {
    qfhost::MaskKey key;
    key.source = text;
    const size_t at = text.rfind('@');
    std::optional<qfhost::KeyTime> time;
    if (at != std::string::npos) {
      try {
        time = qfhost::ParseKeyTime(text.substr(at + 1));
        key.source = text.substr(0, at);
      } catch (const HostError&) {
        // Not a time: the '@' belongs to the file's name.
      }
    }
    if (!time && masks.size() > 1)
      throw UsageError{"--mask: '" + text +
                       "' has no @TIME; the shapes of an animated mask each need one (a.svg@0)"};
    if (time) key.seconds = qfhost::ToSeconds(*time, rate);
    key.path = qfhost::LoadMask(key.source);
    keys.push_back(std::move(key));
  }
  return qfhost::OrderMaskKeys(std::move(keys));
}

// The progress of a range on standard error: on a terminal one line redrawn in
// place, otherwise one line per frame.
class ProgressLine {
 public:
  explicit ProgressLine(long long total)
      : total_(total),
        terminal_(isatty(fileno(stderr)) != 0),
        start_(std::chrono::steady_clock::now()) {}
  // An error that ends the range starts on a line of its own.
  ~ProgressLine() {
    if (open_line_) std::fputc('\n', stderr);
  }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // Whether the progress stands on a line of its own not yet ended.
  bool open_line() const { return open_line_; }

  void FrameDone(long long frame) {
    ++done_;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::string text = qfhost::ProgressText(frame, done_, total_, elapsed, terminal_ ? 30 : 0);
    if (terminal_) {
      const size_t length = text.size();
      if (text.size() < shown_)
        text += std::string(shown_ - text.size(), ' ');  // covers a longer line
      shown_ = length;
      open_line_ = done_ < total_;
      std::fprintf(stderr, "\r%s%s", text.c_str(), open_line_ ? "" : "\n");
    } else {
      std::fprintf(stderr, "%s\n", text.c_str());
    }
    std::fflush(stderr);
  }

 private:
  long long total_;
  long long done_ = 0;
  bool terminal_;
  bool open_line_ = false;
  size_t shown_ = 0;
  std::chrono::steady_clock::time_point start_;
};

// The --stats file: a line per frame, its number and the milliseconds its
// render took, kept under the partial name and put in place when the frames
// end, early or not; no file when no frame was written.
class StatsFile {
 public:
  explicit StatsFile(std::string target)
      : target_(std::move(target)), partial_(qfhost::PartialName(target_)) {
    Append("w", nullptr);  // the folder takes files; nothing is kept yet
    std::remove(partial_.c_str());
  }
  ~StatsFile() {
    if (!placed_) std::remove(partial_.c_str());
  }
  StatsFile(const StatsFile&) = delete;
  StatsFile& operator=(const StatsFile&) = delete;

  void Add(long long frame, double ms, qfhost::InterruptHold& hold) {
    char line[64];
    std::snprintf(line, sizeof line, "%lld %.3f\n", frame, ms);
    Append(lines_++ == 0 ? "w" : "a", line);
    hold.SetKept(partial_, target_);
  }
  // Keeps nothing, on an interrupt either: the partial file goes with this object.
  void Abandon(qfhost::InterruptHold& hold) {
    lines_ = 0;
    hold.SetKept("", "");
  }
  // Puts the lines written so far in place.
  void Place() {
    if (lines_ == 0 || placed_) return;
    placed_ = true;
    qfhost::PutInPlace(partial_, target_);
  }

 private:
  void Append(const char* mode, const char* line) {
    FILE* f = std::fopen(partial_.c_str(), mode);
    const bool ok = f && (!line || std::fputs(line, f) >= 0);
    const int error = errno;
    if ((f && std::fclose(f) != 0) || !ok)
      throw HostError("--stats: cannot write " + target_ + ": " +
                      std::strerror(ok ? errno : error));
  }

  std::string target_, partial_;
  long long lines_ = 0;
  bool placed_ = false;
};

// "frames 0-11 of 0-47 written", "no frame of 0-47 written".
std::string FramesWritten(const qfhost::FrameRange& range, long long written) {
  const std::string of = " of " + std::to_string(range.first) + "-" + std::to_string(range.last);
  if (written == 0) return "no frame" + of + " written";
  return "frames " + std::to_string(range.first) + "-" + std::to_string(range.first + written - 1) +
         of + " written";
}

// Whether the --stats file is one of the frames' files, however either is
// written: the names as given, then in their canonical forms (no frame needs
// to be tried), and a link to an existing file.
bool StatsIsAFrame(const std::string& stats, const std::string& output,
                   const qfhost::FrameRange& range) {
  const auto is_frame = [&](const std::string& pattern_text, const std::string& file) {
    const qfhost::OutputPattern pattern(pattern_text);
    const long long frame = pattern.FrameOf(file);
    return frame >= 0 && (!pattern.has_field() || (frame >= range.first && frame <= range.last));
  };
  if (is_frame(output, stats)) return true;
  namespace fs = std::filesystem;
  std::error_code error;
  const std::string canonical_output = fs::weakly_canonical(fs::absolute(output), error).string();
  const std::string canonical_stats = fs::weakly_canonical(fs::absolute(stats), error).string();
  try {
    if (!error && is_frame(canonical_output, canonical_stats)) return true;
  } catch (const HostError&) {
    // A '%' brought in by a link's target: no pattern to compare with.
  }
  return !qfhost::OutputPattern(output).has_field() && qfhost::SameFile(stats, output);
}

int Render(const std::string& target, const RenderOptions& options, qfhost::HostSession& host) {
  if (!options.source.empty() && !options.size.empty())
    throw UsageError{"--size and --source exclude each other (the source sets the size)"};
  if (options.mask_inverted && options.masks.empty())
    throw UsageError{"--mask-inverted needs --mask"};
  if (!options.frames.empty() && !options.time.empty())
    throw UsageError{"--frames and --time exclude each other"};
  std::vector<qfhost::ParamSetting> settings;
  for (const std::string& text : options.settings) settings.push_back(qfhost::ParseSetting(text));

  // The frames, their times and their files are settled first.
  const qfhost::FrameRate rate =
      !options.fps.empty() ? qfhost::ParseFrameRate(options.fps) : qfhost::FrameRate{};
  qfhost::FrameRange range;
  if (!options.frames.empty()) {
    range = qfhost::ParseFrameRange(options.frames);
  } else if (!options.time.empty()) {
    try {
      range.first = range.last = qfhost::FrameAt(qfhost::ParseKeyTime(options.time), rate);
    } catch (const HostError& e) {
      throw UsageError{std::string("--time: ") + e.what()};
    }
  }
  qfhost::TimeOfFrame(range.last, range.last + 1,
                      rate);  // throws when the range is beyond the tick count
  const qfhost::OutputPattern pattern(options.output);
  if (!options.frames.empty() && !pattern.has_field())
    throw UsageError{"-o: '" + options.output +
                     "' has no number field (name_%04d.png) for the frames of a range"};

  // Every input is read before the plug-in runs.
  std::optional<qfhost::HostWorld> source_world;
  qfhost::LayerSize layer;
  {
    qfhost::Image source;
    bool deep = options.depth.value_or(8) == 16;
    if (options.source.empty()) {
      int width = 1920, height = 1080;
      if (!options.size.empty()) {
        long long w = 0, h = 0;
        ReadSize(options.size, &w, &h);  // the form was checked with the command line
        qfhost::CheckImageSize("--size", w, h);
        width = static_cast<int>(w);
        height = static_cast<int>(h);
      }
      qfhost::CheckRenderMemory(width, height, deep, qfhost::AvailableMemoryBytes());
      source = qfhost::BuiltInSource(width, height);
    } else {
      source = qfhost::ReadPng(options.source);
      if (!options.depth) deep = source.bits == 16;
      qfhost::CheckRenderMemory(source.width, source.height, deep, qfhost::AvailableMemoryBytes());
    }
    layer = qfhost::LayerSize{source.width, source.height};
    // At a reduced resolution the host hands over the layers at that resolution.
    if (options.downsample > 1) source = qfhost::DownsampleImage(source, options.downsample);
    source_world.emplace(qfhost::WorldFromImage(source, deep));
  }
  const bool deep = source_world->deep();
  std::optional<qfhost::HostWorld> reflection_world;
  if (!options.reflection.empty()) {
    qfhost::Image reflection = qfhost::ReadPng(options.reflection);
    if (options.downsample > 1)
      reflection = qfhost::DownsampleImage(reflection, options.downsample);
    reflection_world.emplace(qfhost::WorldFromImage(reflection, deep));
  }
  std::vector<qfhost::MaskKey> mask_keys;
  if (!options.masks.empty()) mask_keys = ReadMaskKeys(options.masks, rate);
  std::optional<StatsFile> stats;
  if (!options.stats.empty()) {
    if (StatsIsAFrame(options.stats, options.output, range))
      throw UsageError{"--stats and -o name the same file, " + options.stats};
    stats.emplace(options.stats);
  }

  auto deliverable = qfhost::Deliverable::Load(target);
  qfhost::LoadedEffect effect(host, deliverable);
  Check(host, PF_Cmd_GLOBAL_SETUP, effect.GlobalSetup());
  Check(host, PF_Cmd_PARAMS_SETUP, effect.ParamsSetup());

  qfhost::ApplyParamValues(effect, settings, layer, rate, options.undeclared_choices);
  effect.SetLayer(0, &*source_world);
  if (reflection_world) effect.SetLayer(ReflectionParam(effect), &*reflection_world);
  if (!mask_keys.empty())
    effect.mutable_param(PathParam(effect)).u.path_d.path_id =
        effect.AddAnimatedMask(std::move(mask_keys), options.mask_inverted);

  // The sequence is set up once and kept for the whole range, as a host keeps it.
  Check(host, PF_Cmd_SEQUENCE_SETUP, effect.SequenceSetup());
  qfhost::HostWorld output(source_world->width(), source_world->height(), deep);
  const qfhost::Downsample downsample{options.downsample, layer.width, layer.height};
  std::optional<ProgressLine> progress;
  if (!options.frames.empty()) progress.emplace(range.count());
  // An interrupt ends the range at once; a frame being written is finished first.
  long long written = 0;
  const auto note = [&](const char* what) {
    return std::string(progress && progress->open_line() ? "\n" : "") + "qf-host: " + what +
           (progress ? "; " + FramesWritten(range, written) : std::string());
  };
  {
    qfhost::InterruptHold hold;
    hold.SetNote(note("interrupted"));
  }
  qfhost::EndOnInterrupt();
  try {
    for (long long frame = range.first; frame <= range.last; ++frame) {
      const auto start = std::chrono::steady_clock::now();
      const PF_Err err = effect.Render(output, qfhost::TimeOfFrame(frame, range.last + 1, rate),
                                       options.quality, downsample);
      const double ms =
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count();
      Check(host, PF_Cmd_RENDER, err);
      qfhost::InterruptHold hold;
      const std::string file = pattern.FileFor(frame);
      qfhost::WritePng(file, qfhost::ImageFromWorld(output));
      ++written;
      // Names that differ only where the file system does not look (the
      // case, on Windows) are seen once the frame is there.
      if (stats && qfhost::SameFile(options.stats, file)) {
        stats->Abandon(hold);
        throw HostError("--stats and -o name the same file, " + options.stats);
      }
      if (stats) stats->Add(frame, ms, hold);
      if (progress) progress->FrameDone(frame);
      hold.SetNote(note("interrupted"));
    }
  } catch (const std::exception& e) {
    if (stats) stats->Place();
    if (!progress) throw;
    throw HostError(std::string(e.what()) + " (" + FramesWritten(range, written) + ")");
  }
  if (stats) stats->Place();
  Check(host, PF_Cmd_SEQUENCE_SETDOWN, effect.SequenceSetdown());
  Check(host, PF_Cmd_GLOBAL_SETDOWN, effect.GlobalSetdown());
  CheckEnd(host);
  return 0;
}

struct PanelOptions {
  std::string output;
  std::string hover;  // "X,Y", or empty
  std::string click;
  std::string events;  // played on a dialog the click opens
  bool collapsed = false;
};

// "X,Y" with both whole numbers; false for any other form.
bool ReadPoint(const std::string& text, long long* x, long long* y) {
  const size_t comma = text.find(',');
  return comma != std::string::npos && qfhost::ParseWhole(text.substr(0, comma), x) &&
         qfhost::ParseWhole(text.substr(comma + 1), y);
}

// The point of --hover or --click, which must lie in the panel.
std::optional<std::pair<int, int>> PanelPoint(const std::string& option, const std::string& text,
                                              const qfhost::HostPanel& panel) {
  if (text.empty()) return std::nullopt;
  long long x = 0, y = 0;
  ReadPoint(text, &x, &y);  // the form was checked with the command line
  if (x < 0 || y < 0 || x >= panel.width() || y >= panel.height())
    throw UsageError{option + ": " + text + " is outside the " + std::to_string(panel.width()) +
                     " x " + std::to_string(panel.height()) + " panel"};
  return std::make_pair(static_cast<int>(x), static_cast<int>(y));
}

// Draws the "Information" area as the host shows it, after the cursor's move
// to the hover point, writes it, and then hands the effect the click, with a
// driver playing the events on a dialog that the click opens.
int Panel(const std::string& target, const PanelOptions& options, qfhost::HostSession& host) {
  std::vector<qfhost::DialogEvent> events = qfhost::ReadDialogEventsFile(options.events);
  // A dialog that a click opens is owned by the host's main window.
  if (!options.click.empty()) host.set_main_window(static_cast<HWND>(qfhost::HostMainWindow()));
  auto deliverable = qfhost::Deliverable::Load(target);
  qfhost::LoadedEffect effect(host, deliverable);
  Check(host, PF_Cmd_GLOBAL_SETUP, effect.GlobalSetup());
  Check(host, PF_Cmd_PARAMS_SETUP, effect.ParamsSetup());
  Check(host, PF_Cmd_SEQUENCE_SETUP, effect.SequenceSetup());
  {
    qfhost::HostPanel panel(effect, qfhost::FindParam(effect, "Information"));
    const auto hover = PanelPoint("--hover", options.hover, panel);
    const auto click = PanelPoint("--click", options.click, panel);
    panel.SetCollapsed(options.collapsed);
    Check(host, PF_Cmd_EVENT, panel.Draw());
    if (hover) Check(host, PF_Cmd_EVENT, panel.MoveCursor(hover->first, hover->second));
    qfhost::WritePng(options.output, panel.image());
    if (click) {
      // A dialog over the host asks for the main window first.
      const int asked = host.CallCount(qfhost::HostCall::kGetPlatformData);
      PF_Err err = PF_Err_NONE;
      const qfhost::DialogDriver::Outcome outcome =
          qfhost::RunWithDialogDriver(host.main_window(), std::move(events), "",
                                      [&] { err = panel.Click(click->first, click->second); });
      Check(host, PF_Cmd_EVENT, err);
      if (outcome.shown) qfhost::ReportDialogEnd(outcome, "");
      if (!qfhost::HasDialogWindows() && host.CallCount(qfhost::HostCall::kGetPlatformData) > asked)
        std::printf("no window system in this build: the dialog is not shown\n");
    }
  }
  Check(host, PF_Cmd_SEQUENCE_SETDOWN, effect.SequenceSetdown());
  Check(host, PF_Cmd_GLOBAL_SETDOWN, effect.GlobalSetdown());
  CheckEnd(host);
  return 0;
}

// The texts of a command's help that CLI11 keeps no place for.
struct HelpText {
  std::string usage;    // after "usage: "
  std::string summary;  // its line in the list of commands
};

// Help in the host's layout: the usage line, what the command does, its
// commands and options with their texts in a column, and the notes after.
class HelpFormatter : public CLI::Formatter {
 public:
  explicit HelpFormatter(std::map<std::string, HelpText> texts) : texts_(std::move(texts)) {}

  std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const override {
    const HelpText& text = Text(app);
    std::string out = "usage: " + text.usage + "\n" + app->get_description() + "\n";
    const std::vector<const CLI::App*> commands =
        app->get_subcommands([](const CLI::App*) { return true; });
    if (!commands.empty()) {
      out += "\nCommands:\n";
      for (const CLI::App* command : commands)
        out += Row(command->get_name(), Text(command).summary, 11);
    }
    const std::vector<const CLI::Option*> options =
        app->get_options([](const CLI::Option* o) { return o->nonpositional(); });
    // The texts start in one column, as far right as the longest name that fits before it needs.
    size_t column = 0;
    for (const CLI::Option* o : options)
      if (Left(o).size() <= kWidestName) column = std::max(column, Left(o).size() + 4);
    out += "\nOptions:\n";
    for (const CLI::Option* o : options) out += Row(Left(o), o->get_description(), column);
    if (!app->get_footer().empty()) out += "\n" + app->get_footer() + "\n";
    return out;
  }

 private:
  static constexpr size_t kWidestName = 21;

  const HelpText& Text(const CLI::App* app) const {
    return texts_.at(app->get_parent() ? app->get_name() : std::string());
  }

  // "-o, --output OUT.png"
  static std::string Left(const CLI::Option* o) {
    std::string names;
    for (const std::string& s : o->get_snames()) names += (names.empty() ? "-" : ", -") + s;
    for (const std::string& l : o->get_lnames()) names += (names.empty() ? "--" : ", --") + l;
    return o->get_type_name().empty() ? names : names + " " + o->get_type_name();
  }

  // The name indented by two, the text from `column` on, its lines each there;
  // a name too long for the column has the text start on the next line.
  static std::string Row(const std::string& name, const std::string& text, size_t column) {
    std::string out = "  " + name;
    out += name.size() + 4 <= column ? std::string(column - 2 - name.size(), ' ')
                                     : "\n" + std::string(column, ' ');
    for (char c : text) out += c == '\n' ? "\n" + std::string(column, ' ') : std::string(1, c);
    return out + "\n";
  }

  std::map<std::string, HelpText> texts_;
};

// "a, b or c".
std::string Alternatives(const std::vector<std::string>& names) {
  std::string out;
  for (size_t i = 0; i < names.size(); ++i)
    out += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
  return out;
}

// Refuses an empty value, which no option takes.
const CLI::Validator kNotEmpty(
    [](std::string& value) {
      return value.empty() ? std::string("the value is empty") : std::string();
    },
    "");

// An option that takes one value, never empty, shown as `type` in the help.
template <class T>
CLI::Option* AddValue(CLI::App* app, const std::string& flags, T& into, const std::string& type,
                      const std::string& text) {
  return app->add_option(flags, into, text)
      ->type_name(type)
      ->allow_extra_args(false)
      ->check(kNotEmpty);
}

// An option that takes one of `names`; `chosen` receives the position of the one given.
CLI::Option* AddChoice(CLI::App* app, const std::string& flags,
                       const std::vector<std::string>& names, std::function<void(size_t)> chosen,
                       const std::string& text) {
  std::string shown;
  for (const std::string& name : names) shown += (shown.empty() ? "" : "|") + name;
  auto position = [names](const std::string& value) {
    return static_cast<size_t>(std::find(names.begin(), names.end(), value) - names.begin());
  };
  const CLI::Validator one_of(
      [names, position](std::string& value) {
        return position(value) < names.size() ? std::string()
                                              : "'" + value + "' is not " + Alternatives(names);
      },
      "");
  return app
      ->add_option_function<std::string>(
          flags, [chosen, position](const std::string& value) { chosen(position(value)); }, text)
      ->type_name(shown)
      ->check(one_of);
}

struct Failure {
  qfhost::HostCall call;
  int nth = 1;
};

// "CALL[:N]": the failure it names, or the reason it names none.
std::string ReadFailure(const std::string& spec, Failure* failure) {
  const size_t colon = spec.find(':');
  const std::string name = spec.substr(0, colon);
  const auto call = qfhost::HostCallFromName(name);
  if (!call) {
    std::vector<std::string> calls;
    for (int i = 0; i < qfhost::kHostCallCount; ++i)
      calls.push_back(qfhost::HostCallName(static_cast<qfhost::HostCall>(i)));
    return "unknown host call '" + name +
           "' (closest: " + Alternatives(qfhost::ClosestNames(name, calls, 3)) + ")";
  }
  failure->call = *call;
  if (colon == std::string::npos) return "";
  const std::string count = spec.substr(colon + 1);
  long long n = 0;
  if (!qfhost::ParseWhole(count, &n))
    return "the call number '" + count + "' is not a whole number";
  if (n < 1 || n > kMaxFailedCall)
    return "the call number " + count + " is outside 1 to " + std::to_string(kMaxFailedCall);
  failure->nth = static_cast<int>(n);
  return "";
}

// Everything the command line asks for.
struct Request {
  std::string verb;  // empty when none was given
  std::string target;
  bool help = false;
  std::vector<Failure> failures;
  RenderOptions render;
  PanelOptions panel;
  std::string about_output;
  std::string about_events;
};

// The option names of `app` as they are typed.
std::vector<std::string> OptionNames(const CLI::App* app) {
  std::vector<std::string> names;
  for (const CLI::Option* o :
       app->get_options([](const CLI::Option* o) { return o->nonpositional(); })) {
    for (const std::string& s : o->get_snames()) names.push_back("-" + s);
    for (const std::string& l : o->get_lnames()) names.push_back("--" + l);
  }
  return names;
}

// CLI11's words for a value that is missing or not wanted, in the host's.
std::string UsageMessage(const CLI::ParseError& e) {
  const std::string what = e.what();
  const size_t missing = what.find(" required ");
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) && missing != std::string::npos &&
      what.size() > 8 && what.compare(what.size() - 8, 8, " missing") == 0) {
    return what.substr(0, what.find(':')) + " needs a value";
  }
  const size_t flag = what.find(" was given a disallowed flag override");
  if (flag != std::string::npos) {
    const std::string name = what.substr(0, flag);
    return "option '" + (name[0] == '-' ? name : "--" + name) + "' takes no value";
  }
  return what;
}

void DeclareRenderOptions(CLI::App* render, RenderOptions& r) {
  AddValue(render, "-o,--output", r.output, "OUT.png",
           "the file to write (required). A number field, %d or %0Nd\n"
           "(name_%04d.png), takes the frame number; a range needs one.\n"
           "%% stands for a percent sign");
  AddValue(render, "--source", r.source, "FILE.png",
           "the layer the effect is applied to: a PNG of 8 or 16 bits,\n"
           "grey, RGB or RGBA (alpha kept). Without it, a built-in\n"
           "picture (an evening sky over hills) of --size");
  render->add_option("--size", r.size, "the built-in picture's size (default 1920x1080)")
      ->type_name("WxH")
      ->check(CLI::Validator(
          [](std::string& text) {
            long long w, h;
            return ReadSize(text, &w, &h) ? std::string() : "'" + text + "' is not WxH";
          },
          ""));
  AddChoice(
      render, "--depth", {"8", "16"}, [&r](size_t i) { r.depth = i == 0 ? 8 : 16; },
      "the worlds' depth (default: the source's, 8 for the built-in\n"
      "picture). 16-bit worlds hold 0..32768: 16-bit files are\n"
      "scaled to round(v * 32768 / 65535) and back to\n"
      "round(v * 65535 / 32768)");
  AddValue(render, "--set", r.settings, "NAME=VALUE",
           "a parameter by its name as 'qf-host params' lists it\n"
           "(repeatable; the rest keep their declared defaults):\n"
           "  slider        whole number        --set 'Max iterations=4'\n"
           "  fixed slider  decimal             --set Width=0.5\n"
           "  angle         degrees             --set 'Rotate UV=-30'\n"
           "  checkbox      on|off, true|false, yes|no, 1|0\n"
           "                                    --set Glass=off\n"
           "  colour        #rrggbb             --set Diffuse=#ffd080\n"
           "  point         x,y pixels or x%,y% --set Position=25%,50%\n"
           "  popup         choice name or number from 1\n"
           "                                    --set 'Mask kind=Custom path'\n"
           "Values outside a parameter's valid range are refused.\n"
           "Keyframes: NAME=V1@T1,V2@T2,..., each time a frame number\n"
           "(@12) or seconds (@0.5s). Numbers, angles, colours and points\n"
           "move linearly between keys; popups and checkboxes hold each\n"
           "key's value until the next. Before the first key and after\n"
           "the last, their values hold.\n"
           "          --set 'Completeness=0@0,100@47'\n"
           "          --set 'Position=10%,50%@0,90%,50%@2s'");
  render
      ->add_flag("--allow-undeclared-choices", r.undeclared_choices,
                 "a popup given to --set by number may take any value from 1\n"
                 "to 255, also one that its choices do not name; the effect\n"
                 "is handed the number as it is, as a host may deliver it")
      ->disable_flag_override();
  AddValue(render, "--reflection", r.reflection, "FILE.png",
           "the layer of \"Texture reflection\" (any size; without it the\n"
           "parameter names no layer)");
  AddValue(render, "--mask", r.masks, "FILE[@T]",
           "a mask on the source layer, chosen in \"Path of custom contour\".\n"
           "The mask is only followed when \"Mask kind\" is the custom path:\n"
           "add --set 'Mask kind=Custom path' (or its number, 7).\n"
           "Given several times, each with a time (--mask a.svg@0\n"
           "--mask b.svg@2s), the mask moves: vertices and tangents move\n"
           "linearly between the shapes, which need the same vertex count.\n"
           "FILE holds SVG path data (M, L, C, Z, absolute and relative;\n"
           "one subpath; a Z back onto the first vertex joins the two),\n"
           "an .svg file (its first <path>; a transform on it or on its\n"
           "groups is refused) or JSON:\n"
           "  {\"closed\": true, \"vertices\": [\n"
           "    {\"x\": 100, \"y\": 500, \"in\": [80, 520], \"out\": [120, 480]},\n"
           "    ...]}\n"
           "or only the list of vertices (a closed path). Coordinates are\n"
           "source pixels, y downward; \"in\" and \"out\" are the tangents'\n"
           "absolute points and default to the vertex itself");
  render->add_flag("--mask-inverted", r.mask_inverted, "the mask is inverted")
      ->disable_flag_override();
  AddValue(render, "--frames", r.frames, "A-B",
           "renders frames A to B (from 0), keeping the sequence set-up\n"
           "for the whole range, with a progress line on standard error");
  AddValue(render, "--time", r.time, "T",
           "renders the one frame at T: a frame number (12) or seconds\n"
           "(0.5s, the frame begun by then)");
  AddValue(render, "--fps", r.fps, "N",
           "frames a second (default 24; up to three decimals, 29.97):\n"
           "frame F is rendered at F ticks of a time scale of N (29.97:\n"
           "F x 100 ticks of 2997), and parameters are read at that time");
  AddValue(render, "--stats", r.stats, "FILE",
           "writes a line per frame: its number and the milliseconds its\n"
           "render command took");
  AddChoice(
      render, "--resolution", {"full", "half", "third", "quarter"},
      [&r](size_t i) { r.downsample = static_cast<int>(i) + 1; },
      "renders at that fraction of the source's size: the source and\n"
      "reflection pictures are averaged down, points and masks scaled\n"
      "with them, while the effect is told the full width; the output\n"
      "files have the reduced size");
  AddChoice(
      render, "--quality", {"high", "draft"},
      [&r](size_t i) { r.quality = i == 0 ? PF_Quality_HI : PF_Quality_LO; },
      "the render quality handed to the effect (default high)");
}

// Reads the command line into `request`, and when it asks for help, the help
// of its command into `help`. Throws UsageError for anything it cannot take.
void ReadCommandLine(int argc, char** argv, Request& request, std::string* help) {
  CLI::App app(
      "Loads a QuillFrame deliverable and drives its commands as the host application does.",
      "qf-host");
  // Options start with '-' on every platform: on Windows, CLI11 would also take
  // a path such as /tmp/f.png for an option.
  app.allow_windows_style_options(false);
  app.formatter(std::make_shared<HelpFormatter>(std::map<std::string, HelpText>{
      {"", {"qf-host [--fail CALL[:N]]... COMMAND DELIVERABLE [OPTIONS]", ""}},
      {"info",
       {"qf-host info DELIVERABLE", "the property list and what global set-up reports, as JSON"}},
      {"params",
       {"qf-host params DELIVERABLE", "the parameters the effect declares, as a JSON array"}},
      {"render",
       {"qf-host render DELIVERABLE [OPTIONS] -o OUT.png",
        "renders frames to PNG files (see 'qf-host render --help')"}},
      {"panel",
       {"qf-host panel DELIVERABLE -o PANEL.png [--hover X,Y] [--click X,Y [--events FILE]]\n"
        "    [--collapsed]",
        "draws the effect panel's \"Information\" area; hovers and clicks"}},
      {"about",
       {"qf-host about DELIVERABLE -o ABOUT.png [--events FILE]",
        "shows the About dialog and plays events on it (Windows build)"}},
  }));
  // Unknown words and options are left over rather than refused, so that the
  // refusal can name what was meant.
  app.allow_extras();
  app.require_subcommand(0, 1);
  app.set_help_flag();
  const std::string deliverables =
      "DELIVERABLE is a path, or \"floral\" (QuillFrameFloral64.aex) or \"geometry\"\n"
      "(QuillFrame64.aex) for the deliverables next to qf-host.";
  app.footer(deliverables);
  std::vector<std::string> failures;
  app.add_option("--fail", failures,
                 "make the Nth call (default the first) of a host callback fail;\n"
                 "CALL is add_param, register_ui, checkout_param, host_new_handle,\n"
                 "get_platform_data, AcquireSuite or PF_UpdateParamUI")
      ->type_name("CALL[:N]")
      ->allow_extra_args(false)
      ->check(CLI::Validator(
          [](std::string& spec) {
            Failure failure;
            return ReadFailure(spec, &failure);
          },
          ""));
  app.add_flag("-h,--help", request.help,
               "this text; 'qf-host COMMAND --help' describes one command")
      ->disable_flag_override();

  CLI::App* info = app.add_subcommand(
      "info",
      "Loads the deliverable, checks its property list, runs global set-up and set-down, and\n"
      "prints a JSON object: \"file\", \"property_list\" (kind, name, match name, category,\n"
      "entry point, versions, flags, keys in file order) and \"global_setup\" (my_version and\n"
      "out_flags as hex strings and numbers, the flag names, and whether both match the\n"
      "property list).");
  CLI::App* params = app.add_subcommand(
      "params",
      "Runs global set-up, parameter set-up and global set-down, and prints one JSON object\n"
      "per declared parameter, numbered from 1 as the host numbers them: index, name, kind\n"
      "and kind_code, then by kind valid_range, slider_range, default, value, precision,\n"
      "choices, comment; and flags, ui_flags, ui_width, ui_height and id as declared.\n"
      "Fixed-point values print as decimals, colours as {r, g, b, a}, points in percent.");
  CLI::App* render = app.add_subcommand(
      "render",
      "Runs global set-up, parameter set-up and sequence set-up, renders one frame (frame 0)\n"
      "or a range of frames onto the source, then sequence and global set-down, and writes\n"
      "each output frame as an RGBA PNG of the world's depth. Pixels pass between files and\n"
      "worlds with straight (unpremultiplied) alpha, as the files hold them.\n"
      "'qf-host render DELIVERABLE --help' also lists the deliverable's parameters.");
  render->footer(
      deliverables +
      "\n\nLimits: frames run from 1 x 1 to 16384 x 16384 pixels, within the memory the\n"
      "machine has free. One frame grows at most 2000000 triangles, the triangle budget:\n"
      "there growth stops and the frame shows what has grown. Memory running out before\n"
      "the budget ends the render with \"out of memory\", never with another picture.\n"
      "Each drawing pass of a frame makes at most 4096 pixel visits per frame pixel in\n"
      "the Flat and Phong modes, at most 1024 pixel visits or samples per frame pixel in\n"
      "the curved ones, and at most 256 shaded line pixel visits per frame pixel in the\n"
      "Line and Wire modes, the drawing budget (a frame under 640 x 360 pixels counting as\n"
      "that size): a triangle or line that would pass it is not drawn, nor any after it.\n"
      "Ordinary frames use a small part of it; frames of millions of frame-sized triangles\n"
      "(a huge \"Scale\" with a long \"Length\") reach it, and in Line and Wire frames of\n"
      "lines far longer than the frame (a high \"Dispersion\") or, in the Geometry build,\n"
      "of many more triangles (the top of \"Max triangles\" or \"Max iterations\").\n"
      "\n"
      "Costs worth knowing: time and memory follow the frame's size and the triangles\n"
      "grown. The default frame at 16384 x 16384 takes about a minute and 8 GB. Growth\n"
      "to the budget takes about a second and 300 MB besides the frame; a thin frame\n"
      "(--size 1x10) with the Perimeter, U-like or Window mask grows that far, and\n"
      "slower the taller it is (1 x 16384: several seconds). A high \"Dispersion\"\n"
      "(1000) takes a few seconds at 1920 x 1080.\n"
      "\n"
      "Output files are written under a temporary name (NAME.PID.partial) beside them\n"
      "and renamed into place when complete: an error or Ctrl-C never leaves part of\n"
      "one. A range that stops early says which frames were written.");
  CLI::App* panel = app.add_subcommand(
      "panel",
      "Runs global set-up, parameter set-up and sequence set-up, and shows the \"Information\"\n"
      "area of the effect panel, of the size the parameter declares, as the host does: a draw\n"
      "event, then with --hover an adjust-cursor event at the point and a second draw when the\n"
      "effect invalidates the area. The area is written as an RGBA PNG; then --click hands\n"
      "the effect a click and runs what it does: every file or address it hands the shell is\n"
      "printed as 'open: PATH' (on Windows, as the test prefix's shell probe recorded it).\n"
      "A dialog it opens (About) runs over the host's main window with --events played on it\n"
      "as in the about command; when they run out with it still open it is closed with\n"
      "Escape. The native build has no window system and shows no dialog. Points are pixels\n"
      "of the area from its top left corner.");
  panel->footer(deliverables);
  AddValue(panel, "-o,--output", request.panel.output, "PANEL.png", "the file to write (required)");
  const CLI::Validator point(
      [](std::string& text) {
        long long x, y;
        return ReadPoint(text, &x, &y) ? std::string() : "'" + text + "' is not X,Y";
      },
      "");
  AddValue(panel, "--hover", request.panel.hover, "X,Y", "the cursor rests at the point")
      ->check(point);
  CLI::Option* click = AddValue(panel, "--click", request.panel.click, "X,Y",
                                "a click at the point, after the image is written")
                           ->check(point);
  AddValue(panel, "--events", request.panel.events, "FILE",
           "the events to play on the dialog the click opens")
      ->needs(click);
  panel
      ->add_flag("--collapsed", request.panel.collapsed,
                 "the area's group is collapsed (flag 0x20 on the parameter)")
      ->disable_flag_override();
  CLI::App* about = app.add_subcommand(
      "about",
      "Runs global set-up and the about command over the host's main window. A thread of the\n"
      "host plays the events file on the dialog, one event a line: move X Y, down, up, click X Y,\n"
      "key esc|enter, wait MS, snap FILE.png (coordinates in the dialog's client area). When\n"
      "the events run out with the dialog still open, it is snapped to ABOUT.png and closed with\n"
      "Escape. Prints \"open: PATH\" for each request the test prefix's shell probe recorded.\n"
      "The Windows build only: the native build has no window system.");
  about->add_option("-o", request.about_output, "the snapshot of the dialog left open")
      ->type_name("ABOUT.png");
  about->add_option("--events", request.about_events, "the events to play")->type_name("FILE");
  for (CLI::App* verb : {info, params, render, panel, about}) {
    verb->fallthrough();  // --fail may follow the command
    verb->add_option("DELIVERABLE", request.target);
    verb->add_flag(
            "-h,--help", request.help,
            verb == render ? "this text; with DELIVERABLE, also its parameters" : "this text")
        ->disable_flag_override();
  }
  DeclareRenderOptions(render, request.render);

  // CLI11 reads "--opt=" as "--opt" and would take the next word as its value.
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.size() > 3 && arg.rfind("--", 0) == 0 && arg.back() == '=' &&
        arg.find('=') == arg.size() - 1)
      throw UsageError{arg.substr(0, arg.size() - 1) + " needs a value"};
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    throw UsageError{UsageMessage(e)};
  }
  for (const std::string& spec : failures) {
    request.failures.emplace_back();
    ReadFailure(spec, &request.failures.back());  // checked as the option was read
  }
  const std::vector<CLI::App*> verbs = app.get_subcommands();
  const CLI::App* verb = verbs.empty() ? nullptr : verbs.front();
  if (verb) request.verb = verb->get_name();

  for (std::string word : app.remaining()) {
    if (word.size() > 1 && word[0] == '-') {
      word = word.substr(0, word.find('='));
      const std::vector<std::string> render_names = OptionNames(render);
      if (verb && verb != render &&
          std::find(render_names.begin(), render_names.end(), word) != render_names.end())
        throw UsageError{word + " is an option of render, not of " + request.verb};
      std::vector<std::string> known = OptionNames(&app);
      const std::vector<std::string> own = OptionNames(verb ? verb : &app);
      if (verb)
        for (const std::string& name : own)
          if (std::find(known.begin(), known.end(), name) == known.end()) known.push_back(name);
      throw UsageError{"unknown option '" + word +
                       "' (closest: " + Alternatives(qfhost::ClosestNames(word, known, 3)) + ")"};
    }
    if (!verb)
      throw UsageError{"unknown command '" + word +
                       "' (the commands are info, params, render, panel and about)"};
    throw UsageError{request.verb + " takes one DELIVERABLE (try 'qf-host " + request.verb +
                     " --help')"};
  }
  if (request.help) {
    *help = (verb ? verb : static_cast<const CLI::App*>(&app))->help();
    return;
  }
  if (!verb) throw UsageError{"no command given (try --help)"};
  if (request.target.empty())
    throw UsageError{request.verb + " takes one DELIVERABLE (try 'qf-host " + request.verb +
                     " --help')"};
  if (verb == about && request.about_output.empty())
    throw UsageError{"about needs an output file: -o ABOUT.png"};
  if (verb == render && request.render.output.empty())
    throw UsageError{"render needs an output file: -o OUT.png"};
  if (verb == panel && request.panel.output.empty())
    throw UsageError{"panel needs an output file: -o PANEL.png"};
}

// `qf-host render DELIVERABLE --help`: the options, then the deliverable's parameters.
int RenderHelp(const std::string& usage, const std::string& target, qfhost::HostSession& host) {
  auto deliverable = qfhost::Deliverable::Load(target);
  qfhost::LoadedEffect effect(host, deliverable);
  Check(host, PF_Cmd_GLOBAL_SETUP, effect.GlobalSetup());
  Check(host, PF_Cmd_PARAMS_SETUP, effect.ParamsSetup());
  const std::string params = qfhost::ParamsHelp(effect);
  Check(host, PF_Cmd_GLOBAL_SETDOWN, effect.GlobalSetdown());
  CheckEnd(host);
  std::fputs(usage.c_str(), stdout);
  std::printf("\nParameters of %s (--set NAME=VALUE, or NAME=V1@T1,V2@T2,... keyed):\n%s",
              deliverable->pipl().name.c_str(), params.c_str());
  return 0;
}

int Main(int argc, char** argv) {
  Request request;
  std::string help;
  ReadCommandLine(argc, argv, request, &help);
  qfhost::HostSession host;
  for (const Failure& f : request.failures) host.FailCall(f.call, f.nth);
  if (request.help) {
    if (request.verb == "render" && !request.target.empty())
      return RenderHelp(help, request.target, host);
    std::fputs(help.c_str(), stdout);
    return 0;
  }
  if (request.verb == "render") return Render(request.target, request.render, host);
  if (request.verb == "panel") return Panel(request.target, request.panel, host);
  if (request.verb == "about")
    return qfhost::RunAbout(request.target, request.about_output, request.about_events);
  return Report(request.verb, request.target, host);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Main(argc, argv);
  } catch (const UsageError& e) {
    std::cerr << "qf-host: " << e.message << "\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "qf-host: " << e.what() << "\n";
    return 1;
  }
}

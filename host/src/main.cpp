// qf-host: loads a deliverable and drives it as the host application would.
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "qf_host/animation.h"
#include "qf_host/deliverable.h"
#include "qf_host/frame_range.h"
#include "qf_host/frame_time.h"
#include "qf_host/host_error.h"
#include "qf_host/host_session.h"
#include "qf_host/image.h"
#include "qf_host/loaded_effect.h"
#include "qf_host/mask.h"
#include "qf_host/param_values.h"
#include "qf_host/png_io.h"
#include "qf_host/report.h"
#include "qf_host/world.h"

namespace {

using qfhost::HostError;

const char kUsage[] =
    "usage: qf-host [--fail CALL[:N]]... COMMAND DELIVERABLE [OPTIONS]\n"
    "Loads a QuillFrame deliverable and drives its commands as the host application does.\n"
    "\n"
    "Commands:\n"
    "  info     the property list and what global set-up reports, as JSON\n"
    "  params   the parameters the effect declares, as a JSON array\n"
    "  render   renders frames to PNG files (see 'qf-host render --help')\n"
    "\n"
    "DELIVERABLE is a path, or \"floral\" (QuillFrameFloral64.aex) or \"geometry\"\n"
    "(QuillFrame64.aex) for the deliverables next to qf-host.\n"
    "\n"
    "Options:\n"
    "  --fail CALL[:N]  make the Nth call (default the first) of a host callback fail;\n"
    "                   CALL is add_param, register_ui, checkout_param, host_new_handle,\n"
    "                   get_platform_data, AcquireSuite or PF_UpdateParamUI\n"
    "  -h, --help       this text; 'qf-host COMMAND --help' describes one command\n";

const char kInfoUsage[] =
    "usage: qf-host info DELIVERABLE\n"
    "Loads the deliverable, checks its property list, runs global set-up and set-down, and\n"
    "prints a JSON object: \"file\", \"property_list\" (kind, name, match name, category,\n"
    "entry point, versions, flags, keys in file order) and \"global_setup\" (my_version and\n"
    "out_flags as hex strings and numbers, the flag names, and whether both match the\n"
    "property list).\n";

const char kParamsUsage[] =
    "usage: qf-host params DELIVERABLE\n"
    "Runs global set-up, parameter set-up and global set-down, and prints one JSON object\n"
    "per declared parameter, numbered from 1 as the host numbers them: index, name, kind\n"
    "and kind_code, then by kind valid_range, slider_range, default, value, precision,\n"
    "choices, comment; and flags, ui_flags, ui_width, ui_height and id as declared.\n"
    "Fixed-point values print as decimals, colours as {r, g, b, a}, points in percent.\n";

const char kRenderUsage[] =
    "usage: qf-host render DELIVERABLE [OPTIONS] -o OUT.png\n"
    "Runs global set-up, parameter set-up and sequence set-up, renders one frame (frame 0)\n"
    "or a range of frames onto the source, then sequence and global set-down, and writes\n"
    "each output frame as an RGBA PNG of the world's depth. Pixels pass between files and\n"
    "worlds with straight (unpremultiplied) alpha, as the files hold them.\n"
    "'qf-host render DELIVERABLE --help' also lists the deliverable's parameters.\n"
    "\n"
    "Options:\n"
    "  -o, --output OUT.png   the file to write (required). A number field, %d or %0Nd\n"
    "                         (name_%04d.png), takes the frame number; a range needs one.\n"
    "                         %% stands for a percent sign\n"
    "  --source FILE.png      the layer the effect is applied to: a PNG of 8 or 16 bits,\n"
    "                         grey, RGB or RGBA (alpha kept). Without it, a built-in\n"
    "                         picture (an evening sky over hills) of --size\n"
    "  --size WxH             the built-in picture's size (default 1920x1080)\n"
    "  --depth 8|16           the worlds' depth (default: the source's, 8 for the built-in\n"
    "                         picture). 16-bit worlds hold 0..32768: 16-bit files are\n"
    "                         scaled to round(v * 32768 / 65535) and back to\n"
    "                         round(v * 65535 / 32768)\n"
    "  --set NAME=VALUE       a parameter by its name as 'qf-host params' lists it\n"
    "                         (repeatable; the rest keep their declared defaults):\n"
    "                           slider        whole number        --set 'Max iterations=4'\n"
    "                           fixed slider  decimal             --set Width=0.5\n"
    "                           angle         degrees             --set 'Rotate UV=-30'\n"
    "                           checkbox      on|off, true|false, yes|no, 1|0\n"
    "                                                             --set Glass=off\n"
    "                           colour        #rrggbb             --set Diffuse=#ffd080\n"
    "                           point         x,y pixels or x%,y% --set Position=25%,50%\n"
    "                           popup         choice name or number from 1\n"
    "                                                             --set 'Mask kind=Custom path'\n"
    "                         Values outside a parameter's valid range are refused.\n"
    "  --set NAME=V1@T1,V2@T2,...\n"
    "                         keyframes: each time a frame number (@12) or seconds (@0.5s).\n"
    "                         Numbers, angles, colours and points move linearly between\n"
    "                         keys; popups and checkboxes hold each key's value until the\n"
    "                         next. Before the first key and after the last, their values\n"
    "                         hold.     --set 'Completeness=0@0,100@47'\n"
    "                                   --set 'Position=10%,50%@0,90%,50%@2s'\n"
    "  --reflection FILE.png  the layer of \"Texture reflection\" (any size; without it the\n"
    "                         parameter names no layer)\n"
    "  --mask FILE[@T]        a mask on the source layer, chosen in \"Path of custom contour\".\n"
    "                         The mask is only followed when \"Mask kind\" is the custom path:\n"
    "                         add --set 'Mask kind=Custom path' (or its number, 7).\n"
    "                         Given several times, each with a time (--mask a.svg@0\n"
    "                         --mask b.svg@2s), the mask moves: vertices and tangents move\n"
    "                         linearly between the shapes, which need the same vertex count.\n"
    "                         FILE holds SVG path data (M, L, C, Z, absolute and relative;\n"
    "                         one subpath; a Z back onto the first vertex joins the two),\n"
    "                         an .svg file (its first <path>, transforms not applied) or\n"
    "                         JSON:\n"
    "                           {\"closed\": true, \"vertices\": [\n"
    "                             {\"x\": 100, \"y\": 500, \"in\": [80, 520], \"out\": [120, 480]},\n"
    "                             ...]}\n"
    "                         or only the list of vertices (a closed path). Coordinates are\n"
    "                         source pixels, y downward; \"in\" and \"out\" are the tangents'\n"
    "                         absolute points and default to the vertex itself\n"
    "  --mask-inverted        the mask is inverted\n"
    "  --frames A-B           renders frames A to B (from 0), keeping the sequence set-up\n"
    "                         for the whole range, with a progress line on standard error\n"
    "  --time T               renders the one frame at T: a frame number (12) or seconds\n"
    "                         (0.5s, the frame begun by then)\n"
    "  --fps N                frames a second (default 24; up to three decimals, 29.97):\n"
    "                         frame F is rendered at F ticks of a time scale of N (29.97:\n"
    "                         F x 100 ticks of 2997), and parameters are read at that time\n"
    "  --stats FILE           writes a line per frame: its number and the milliseconds its\n"
    "                         render command took\n"
    "  --resolution full|half|third|quarter\n"
    "                         renders at that fraction of the source's size: the source and\n"
    "                         reflection pictures are averaged down, points and masks scaled\n"
    "                         with them, while the effect is told the full width; the output\n"
    "                         files have the reduced size\n"
    "  --quality high|draft   the render quality handed to the effect (default high)\n"
    "\n"
    "Sizes run from 1 x 1 to 16384 x 16384 pixels, within the memory the machine has free.\n";

struct UsageError {
  std::string message;
};

// Ends the command on a failed plug-in result or on any misuse the host noticed.
void Check(qfhost::HostSession& host, PF_Cmd cmd, PF_Err err) {
  const std::string what = qfhost::CommandName(cmd);
  if (!host.errors().empty()) {
    std::string message = "host error during " + what + ": " + host.errors().front();
    if (host.errors().size() > 1) message += " (and " + std::to_string(host.errors().size() - 1) + " more)";
    throw HostError(message);
  }
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
  std::optional<std::string> size;
  std::optional<int> depth;
  std::vector<qfhost::ParamSetting> settings;
  std::string reflection;
  std::vector<std::string> masks;  // FILE or FILE@T
  bool mask_inverted = false;
  std::optional<std::string> frames;
  std::optional<std::string> time;
  std::optional<std::string> fps;
  std::string stats;
  int downsample = 1;
  A_long quality = PF_Quality_HI;
};

// "WxH" (or "W x H") with both sides whole numbers.
void ParseSize(const std::string& text, int* width, int* height) {
  long long w = 0, h = 0;
  int used = 0;
  if (std::sscanf(text.c_str(), " %lld x %lld %n", &w, &h, &used) != 2 || used != static_cast<int>(text.size()) ||
      text.find_first_of("+-") != std::string::npos)
    throw UsageError{"--size: '" + text + "' is not WxH"};
  qfhost::CheckImageSize("--size", w, h);
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
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
std::vector<qfhost::MaskKey> ReadMaskKeys(const std::vector<std::string>& masks, qfhost::FrameRate rate) {
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
      throw UsageError{"--mask: '" + text + "' has no @TIME; the shapes of an animated mask each need one (a.svg@0)"};
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
      : total_(total), terminal_(isatty(fileno(stderr)) != 0), start_(std::chrono::steady_clock::now()) {}
  // An error that ends the range starts on a line of its own.
  ~ProgressLine() {
    if (open_line_) std::fputc('\n', stderr);
  }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void FrameDone(long long frame) {
    ++done_;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::string text = qfhost::ProgressText(frame, done_, total_, elapsed, terminal_ ? 30 : 0);
    if (terminal_) {
      const size_t length = text.size();
      if (text.size() < shown_) text += std::string(shown_ - text.size(), ' ');  // covers a longer line
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

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};

int Render(const std::string& target, const RenderOptions& options, qfhost::HostSession& host) {
  if (!options.source.empty() && options.size)
    throw UsageError{"--size and --source exclude each other (the source sets the size)"};
  if (options.mask_inverted && options.masks.empty()) throw UsageError{"--mask-inverted needs --mask"};
  if (options.frames && options.time) throw UsageError{"--frames and --time exclude each other"};

  // The frames, their times and their files are settled first.
  const qfhost::FrameRate rate = options.fps ? qfhost::ParseFrameRate(*options.fps) : qfhost::FrameRate{};
  qfhost::FrameRange range;
  if (options.frames) {
    range = qfhost::ParseFrameRange(*options.frames);
  } else if (options.time) {
    try {
      range.first = range.last = qfhost::FrameAt(qfhost::ParseKeyTime(*options.time), rate);
    } catch (const HostError& e) {
      throw UsageError{std::string("--time: ") + e.what()};
    }
  }
  qfhost::TimeOfFrame(range.last, range.last + 1, rate);  // throws when the range is beyond the tick count
  const qfhost::OutputPattern pattern(options.output);
  if (options.frames && !pattern.has_field())
    throw UsageError{"-o: '" + options.output + "' has no number field (name_%04d.png) for the frames of a range"};

  // Every input is read before the plug-in runs.
  std::optional<qfhost::HostWorld> source_world;
  qfhost::LayerSize layer;
  {
    qfhost::Image source;
    bool deep = options.depth.value_or(8) == 16;
    if (options.source.empty()) {
      int width = 1920, height = 1080;
      if (options.size) ParseSize(*options.size, &width, &height);
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
    if (options.downsample > 1) reflection = qfhost::DownsampleImage(reflection, options.downsample);
    reflection_world.emplace(qfhost::WorldFromImage(reflection, deep));
  }
  std::vector<qfhost::MaskKey> mask_keys;
  if (!options.masks.empty()) mask_keys = ReadMaskKeys(options.masks, rate);
  std::unique_ptr<FILE, FileCloser> stats;
  if (!options.stats.empty()) {
    stats.reset(std::fopen(options.stats.c_str(), "w"));
    if (!stats) throw HostError("--stats: cannot write " + options.stats + ": " + std::strerror(errno));
  }

  auto deliverable = qfhost::Deliverable::Load(target);
  qfhost::LoadedEffect effect(host, deliverable);
  Check(host, PF_Cmd_GLOBAL_SETUP, effect.GlobalSetup());
  Check(host, PF_Cmd_PARAMS_SETUP, effect.ParamsSetup());

  qfhost::ApplyParamValues(effect, options.settings, layer, rate);
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
  if (options.frames) progress.emplace(range.count());
  for (long long frame = range.first; frame <= range.last; ++frame) {
    const auto start = std::chrono::steady_clock::now();
    const PF_Err err =
        effect.Render(output, qfhost::TimeOfFrame(frame, range.last + 1, rate), options.quality, downsample);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    Check(host, PF_Cmd_RENDER, err);
    qfhost::WritePng(pattern.FileFor(frame), qfhost::ImageFromWorld(output));
    if (stats && (std::fprintf(stats.get(), "%lld %.3f\n", frame, ms) < 0 || std::fflush(stats.get()) != 0))
      throw HostError("--stats: cannot write " + options.stats + ": " + std::strerror(errno));
    if (progress) progress->FrameDone(frame);
  }
  Check(host, PF_Cmd_SEQUENCE_SETDOWN, effect.SequenceSetdown());
  Check(host, PF_Cmd_GLOBAL_SETDOWN, effect.GlobalSetdown());
  CheckEnd(host);
  return 0;
}

// `qf-host render DELIVERABLE --help`: the options, then the deliverable's parameters.
int RenderHelp(const std::string& target, qfhost::HostSession& host) {
  auto deliverable = qfhost::Deliverable::Load(target);
  qfhost::LoadedEffect effect(host, deliverable);
  Check(host, PF_Cmd_GLOBAL_SETUP, effect.GlobalSetup());
  Check(host, PF_Cmd_PARAMS_SETUP, effect.ParamsSetup());
  const std::string params = qfhost::ParamsHelp(effect);
  Check(host, PF_Cmd_GLOBAL_SETDOWN, effect.GlobalSetdown());
  CheckEnd(host);
  std::fputs(kRenderUsage, stdout);
  std::printf("\nParameters of %s (--set NAME=VALUE, or NAME=V1@T1,V2@T2,... keyed):\n%s",
              deliverable->pipl().name.c_str(), params.c_str());
  return 0;
}

void AddFailure(qfhost::HostSession& host, const std::string& spec) {
  const size_t colon = spec.find(':');
  const std::string name = spec.substr(0, colon);
  const auto call = qfhost::HostCallFromName(name);
  if (!call) throw UsageError{"--fail: unknown host call '" + name + "'"};
  int nth = 1;
  if (colon != std::string::npos) {
    const std::string count = spec.substr(colon + 1);
    char* end = nullptr;
    const long n = std::strtol(count.c_str(), &end, 10);
    if (count.empty() || *end != '\0' || n < 1 || n > 1000000)
      throw UsageError{"--fail: bad call number '" + count + "'"};
    nth = static_cast<int>(n);
  }
  host.FailCall(*call, nth);
}

// Options that take a value, as "--opt VALUE" or "--opt=VALUE".
const char* const kValueOptions[] = {"--fail",   "-o",     "--output", "--source", "--size",  "--depth",
                                     "--set",    "--reflection", "--mask",   "--frames", "--time",  "--fps",
                                     "--stats",  "--resolution", "--quality"};

bool TakesValue(const std::string& option) {
  for (const char* o : kValueOptions)
    if (option == o) return true;
  return false;
}

void SetRenderOption(RenderOptions& r, const std::string& option, const std::string& value) {
  if (value.empty() && option != "--mask-inverted") throw UsageError{option + " needs a value"};
  if (option == "-o" || option == "--output") {
    r.output = value;
  } else if (option == "--source") {
    r.source = value;
  } else if (option == "--size") {
    r.size = value;
  } else if (option == "--depth") {
    if (value != "8" && value != "16") throw UsageError{"--depth: '" + value + "' is not 8 or 16"};
    r.depth = std::stoi(value);
  } else if (option == "--set") {
    r.settings.push_back(qfhost::ParseSetting(value));
  } else if (option == "--reflection") {
    r.reflection = value;
  } else if (option == "--mask") {
    r.masks.push_back(value);
  } else if (option == "--mask-inverted") {
    r.mask_inverted = true;
  } else if (option == "--frames") {
    r.frames = value;
  } else if (option == "--time") {
    r.time = value;
  } else if (option == "--fps") {
    r.fps = value;
  } else if (option == "--stats") {
    r.stats = value;
  } else if (option == "--resolution") {
    const char* const names[] = {"full", "half", "third", "quarter"};
    r.downsample = 0;
    for (int i = 0; i < 4; ++i)
      if (value == names[i]) r.downsample = i + 1;
    if (r.downsample == 0) throw UsageError{"--resolution: '" + value + "' is not full, half, third or quarter"};
  } else if (option == "--quality") {
    if (value != "high" && value != "draft") throw UsageError{"--quality: '" + value + "' is not high or draft"};
    r.quality = value == "high" ? PF_Quality_HI : PF_Quality_LO;
  }
}

int Main(int argc, char** argv) {
  qfhost::HostSession host;
  std::vector<std::string> words;
  std::vector<std::pair<std::string, std::string>> options;  // in order, --fail and -h aside
  bool help = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string value;
    const size_t eq = arg.find('=');
    const bool inline_value = arg.rfind("--", 0) == 0 && eq != std::string::npos;
    if (inline_value) {
      value = arg.substr(eq + 1);
      arg.erase(eq);
    }
    if (TakesValue(arg)) {
      if (!inline_value) {
        if (i + 1 >= argc) throw UsageError{arg + " needs a value"};
        value = argv[++i];
      }
      if (arg == "--fail") {
        AddFailure(host, value);
      } else {
        options.emplace_back(arg, value);
      }
    } else if (inline_value && (arg == "--help" || arg == "--mask-inverted")) {
      throw UsageError{"option '" + arg + "' takes no value"};
    } else if (arg == "-h" || arg == "--help") {
      help = true;
    } else if (arg == "--mask-inverted") {
      options.emplace_back(arg, "");
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw UsageError{"unknown option '" + arg + "'"};
    } else {
      words.push_back(arg);
    }
  }
  const std::string command = words.empty() ? "" : words[0];
  if (help && command == "render" && words.size() == 2) return RenderHelp(words[1], host);
  if (help) {
    std::fputs(command == "info"     ? kInfoUsage
               : command == "params" ? kParamsUsage
               : command == "render" ? kRenderUsage
                                     : kUsage,
               stdout);
    return 0;
  }
  if (words.empty()) throw UsageError{"no command given (try --help)"};
  if (command != "info" && command != "params" && command != "render")
    throw UsageError{"unknown command '" + command + "'"};
  if (words.size() != 2) throw UsageError{command + " takes one DELIVERABLE (try 'qf-host " + command + " --help')"};
  if (command != "render") {
    if (!options.empty()) throw UsageError{options[0].first + " is an option of render, not of " + command};
    return Report(command, words[1], host);
  }
  RenderOptions render;
  for (const auto& [option, value] : options) SetRenderOption(render, option, value);
  if (render.output.empty()) throw UsageError{"render needs an output file: -o OUT.png"};
  return Render(words[1], render, host);
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

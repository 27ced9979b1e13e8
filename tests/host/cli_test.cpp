// The qf-host command as a person runs it: its output, the pictures it
// writes and its error lines.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "qf_host/image.h"
#include "engine/budget.h"
#include "growth/grown_triangle.h"
#include "memory_cap.h"
#include "qf_host/png_io.h"
#include "run_command.h"
#include "temp_files.h"
#include "test_png.h"

namespace {

using Result = qfhost_test::CommandResult;
using qfhost_test::Slurp;

Result RunHost(const std::string& args) {
  return qfhost_test::RunCommand(std::string("'") + QF_HOST_EXE + "'", args);
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// A command line and what its refusal gives as the reason.
struct Refusal {
  std::string args;
  std::string reason;
};

// A refusal: non-zero exit, nothing on standard output, and one "qf-host: "
// line on standard error that gives `reason`.
void ExpectRefusal(const std::string& args, const std::string& reason) {
  const Result r = RunHost(args);
  EXPECT_NE(r.status, 0) << args;
  EXPECT_EQ(r.out, "") << args;
  EXPECT_EQ(r.err.rfind("qf-host: ", 0), 0u) << args << ": " << r.err;
  EXPECT_EQ(Count(r.err, "\n"), 1u) << args << ": " << r.err;
  EXPECT_NE(r.err.find(reason), std::string::npos) << args << ": " << r.err;
}

TEST(QfHostCli, InfoByShortName) {
  // The short names find the deliverables next to qf-host, wherever it runs from.
  const Result r = RunHost("info floral");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("\"name\": \"QuillFrame Floral\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"category\": \"Morrowglints\""), std::string::npos);
  EXPECT_NE(r.out.find("\"my_version\": \"0x00100001\""), std::string::npos);
  EXPECT_NE(r.out.find("\"out_flags\": \"0x06008454\""), std::string::npos);
  EXPECT_NE(r.out.find("\"flags_match_property_list\": true"), std::string::npos);

  const Result g = RunHost("info geometry");
  ASSERT_EQ(g.status, 0) << g.err;
  EXPECT_NE(g.out.find("\"name\": \"QuillFrame Geometry\""), std::string::npos);
}

TEST(QfHostCli, ParamsListsEveryParameter) {
  const Result f = RunHost(std::string("params '") + QF_FLORAL_PATH + "'");
  ASSERT_EQ(f.status, 0) << f.err;
  EXPECT_EQ(Count(f.out, "\"index\":"), 46u);
  EXPECT_NE(f.out.find("\"choices\": [\"Rough\", \"Line\", \"Wire\", \"Flat\", \"Phong\"]"),
            std::string::npos);
  EXPECT_NE(f.out.find("\"default\": 0.35"), std::string::npos);
  EXPECT_NE(f.out.find("\"default\": {\"r\": 192, \"g\": 192, \"b\": 192, \"a\": 0}"),
            std::string::npos);
  EXPECT_NE(f.out.find("\"default\": {\"x\": 50, \"y\": 50}"), std::string::npos);

  const Result g = RunHost(std::string("params '") + QF_GEOMETRY_PATH + "'");
  ASSERT_EQ(g.status, 0) << g.err;
  EXPECT_EQ(Count(g.out, "\"index\":"), 50u);
  EXPECT_NE(g.out.find("\"Proportion lenght\""), std::string::npos);
}

TEST(QfHostCli, HelpForTheCommandAndEachVerb) {
  for (const char* args : {"--help", "info --help", "params -h", "render --help"}) {
    const Result r = RunHost(args);
    EXPECT_EQ(r.status, 0) << args;
    EXPECT_EQ(r.out.rfind("usage: qf-host", 0), 0u) << args;
  }
  EXPECT_NE(RunHost("info --help").out.find("usage: qf-host info"), std::string::npos);
  const std::string top = RunHost("--help").out;
  for (const char* line :
       {"\n  info     the property list", "\n  params   ", "\n  render   renders frames",
        "\n  --fail CALL[:N]  make the Nth call", "\nDELIVERABLE is a path"})
    EXPECT_NE(top.find(line), std::string::npos) << line;
  const std::string render = RunHost("render --help").out;
  EXPECT_NE(render.find("\n  --allow-undeclared-choices\n                         a popup given"),
            std::string::npos);
  EXPECT_NE(render.find("\n  --size WxH             the built-in picture's size"),
            std::string::npos);
  EXPECT_EQ(render.rfind("usage: qf-host render DELIVERABLE", 0), 0u);
  for (const char* option : {"--source", "--size", "--depth", "--set", "--reflection", "--mask ",
                             "--mask-inverted", "'Mask kind=Custom path'", "\"closed\""})
    EXPECT_NE(render.find(option), std::string::npos) << option;
  // The limits the host and the plug-in keep, as they keep them.
  const std::string side = std::to_string(qfhost::kMaxImageSide);
  for (const std::string& limit :
       {"frames run from 1 x 1 to " + side + " x " + side + " pixels",
        "at most " + std::to_string(kTriangleBudget) + " triangles, the triangle budget",
        "at most " + std::to_string(static_cast<int>(kFilledVisitsPerPixel)) +
            " pixel visits per frame pixel",
        "at most " + std::to_string(static_cast<int>(kCurvedVisitsPerPixel)) +
            " pixel visits or samples per frame pixel",
        "at most " + std::to_string(static_cast<int>(kLineVisitsPerPixel)) +
            " shaded line pixel visits per frame pixel",
        "a frame under " + std::to_string(static_cast<int>(kBudgetLeastPixels) / 360) +
            " x 360 pixels counting",
        std::string("\"out of memory\""), std::string("Costs worth knowing")})
    EXPECT_NE(render.find(limit), std::string::npos) << limit;
}

TEST(QfHostRender, UndeclaredChoicesOnlyWhenAskedFor) {
  const std::string out = qfhost_test::TempFile("mode.png");
  const std::string flat = qfhost_test::TempFile("flat.png");
  const std::string args = "render floral --size 48x32 ";
  Result r = RunHost(args + "--set 'Render mode=7' -o '" + out + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(
      r.err.find("Render mode: no choice '7' (Rough, Line, Wire, Flat, Phong, or a number 1 to 5)"),
      std::string::npos)
      << r.err;
  EXPECT_FALSE(std::ifstream(out).good());
  for (const char* mode : {"6", "7"}) {
    r = RunHost(args + "--allow-undeclared-choices --set 'Render mode=" + mode + "' -o '" + out +
                "'");
    EXPECT_EQ(r.status, 0) << mode << ": " << r.err;
  }
  r = RunHost(args + "--allow-undeclared-choices --set 'Render mode=256' -o '" + out + "'");
  EXPECT_NE(r.err.find("or a number 1 to 255)"), std::string::npos) << r.err;
  // A named choice renders as it does without the option.
  ASSERT_EQ(RunHost(args + "--set 'Render mode=Flat' -o '" + flat + "'").status, 0);
  ASSERT_EQ(
      RunHost(args + "--allow-undeclared-choices --set 'Render mode=4' -o '" + out + "'").status,
      0);
  EXPECT_EQ(qfhost::ReadPng(out).rgba, qfhost::ReadPng(flat).rgba);
}

TEST(QfHostRender, WritesAFrameOfTheSourcesSize) {
  // With no input at all: the built-in picture at its default size.
  const std::string out = qfhost_test::TempFile("default.png");
  Result r = RunHost("render floral -o '" + out + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out + r.err, "");
  qfhost::Image image = qfhost::ReadPng(out);
  EXPECT_EQ(image.width, 1920);
  EXPECT_EQ(image.height, 1080);
  EXPECT_EQ(image.bits, 8);

  r = RunHost("render geometry --size 64x48 --depth 16 --output='" + out + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  image = qfhost::ReadPng(out);
  EXPECT_EQ(image.width, 64);
  EXPECT_EQ(image.height, 48);
  EXPECT_EQ(image.bits, 16);

  // A 16-bit grey source sets the size and, unless told otherwise, the depth.
  qfhost_test::TestPng grey{40, 30, 16, PNG_COLOR_TYPE_GRAY};
  for (int i = 0; i < 40 * 30; ++i) qfhost_test::Put16(grey.rows, static_cast<uint16_t>(i * 50));
  const std::string source = qfhost_test::TempFile("grey16.png");
  ASSERT_TRUE(qfhost_test::WriteTestPng(source, grey));
  r = RunHost("render floral --source '" + source + "' -o '" + out + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  image = qfhost::ReadPng(out);
  EXPECT_EQ(image.width, 40);
  EXPECT_EQ(image.height, 30);
  EXPECT_EQ(image.bits, 16);
  r = RunHost("render floral --source '" + source + "' --depth 8 -o '" + out + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(qfhost::ReadPng(out).bits, 8);
}

TEST(QfHostRender, TakesSettingsALayerAndAMask) {
  const std::string reflection = qfhost_test::TempFile("reflection.png");
  qfhost::WritePng(reflection, qfhost::BuiltInSource(17, 9));
  const std::string mask = qfhost_test::TempFile("mask.svg");
  std::ofstream(mask) << "<svg><path d='M 10 40 C 30 10 90 10 110 40 l -50 25 z'/></svg>";
  const std::string json = qfhost_test::TempFile("mask.json");
  std::ofstream(json)
      << "{\"closed\": false, \"vertices\": [{\"x\": 5, \"y\": 5, \"out\": [50, 0]},"
         " {\"x\": 100, \"y\": 60, \"in\": [60, 70]}]}";
  const std::string out = qfhost_test::TempFile("out.png");
  for (const std::string& args :
       {"--set 'Mask kind=Custom path' --mask '" + mask + "' --mask-inverted",
        "--set 'Mask kind=7' --mask '" + json + "' --reflection '" + reflection + "'",
        std::string(
            "--set 'Render mode=Wire' --set Glass=off --set Diffuse=#20c0ff --set Position=30%,40 "
            "--set 'Rotate UV=-45' --set 'Max iterations=2' --set Width=0.2 --depth 16")}) {
    const Result r = RunHost("render floral --size 120x80 " + args + " -o '" + out + "'");
    EXPECT_EQ(r.status, 0) << args << ": " << r.err;
    EXPECT_EQ(r.err, "") << args;
    EXPECT_EQ(qfhost::ReadPng(out).width, 120) << args;
  }
}

// Every refusal: non-zero exit, nothing written, one "qf-host: " line.
TEST(QfHostRender, RefusalsAreOneLine) {
  const std::string out = qfhost_test::TempFile("never.png");
  const std::string text = qfhost_test::TempFile("text.png");
  std::ofstream(text) << "not a picture\n";
  const std::string bad_mask = qfhost_test::TempFile("mask.svg");
  std::ofstream(bad_mask) << "M 0 0 Q 1 1 2 2";
  const Refusal cases[] = {
      {"render floral --size 8x8", "render needs an output file: -o OUT.png"},
      {"render floral --size 8x8 --set Widht=2 -o OUT",
       "unknown parameter 'Widht' (closest: \"Width\""},
      {"render floral --size 8x8 --set Width=11 -o OUT",
       "Width: 11 is outside the valid range 0 to 10"},
      {"render floral --size 8x8 --set Width -o OUT", "is not NAME=VALUE"},
      {"render floral --source /nonexistent/in.png -o OUT", "No such file or directory"},
      {"render floral --source '" + text + "' -o OUT", "not a PNG file"},
      {"render floral --size 8x8 --reflection '" + text + "' -o OUT", "not a PNG file"},
      {"render floral --size 16385x16 -o OUT", "16385 x 16 is outside 1 x 1 to 16384 x 16384"},
      {"render floral --size big -o OUT", "--size: 'big' is not WxH"},
      {"render floral --source '" + text + "' --size 8x8 -o OUT", "exclude each other"},
      {"render floral --depth 12 -o OUT", "--depth: '12' is not 8 or 16"},
      {"render floral --size 8x8 --mask '" + bad_mask + "' -o OUT", "unsupported command 'Q'"},
      {"render floral --size 8x8 --mask-inverted -o OUT", "--mask-inverted needs --mask"},
      {"render floral --size 8x8 --mask-inverted=yes -o OUT", "takes no value"},
      {"render floral --size 8x8 -o /nonexistent/out.png", "cannot write /nonexistent/out.png"},
      {"render floral --size 8x8 -o", "--output needs a value"},
      {"info floral --size 8x8", "--size is an option of render, not of info"},
  };
  for (const auto& c : cases) {
    std::string args = c.args;
    const size_t at = args.find("OUT");
    if (at != std::string::npos) args.replace(at, 3, "'" + out + "'");
    ExpectRefusal(args, c.reason);
    EXPECT_FALSE(std::ifstream(out).good()) << args;
  }
}

// An opaque 8-bit source, so that what passes through unchanged compares exactly.
std::string WriteSource(const std::string& name, int width, int height) {
  qfhost::Image source = qfhost::BuiltInSource(width, height);
  for (uint16_t& v : source.rgba) v = qfhost::File16ToWorld8(v);
  source.bits = 8;
  const std::string path = qfhost_test::TempFile(name);
  qfhost::WritePng(path, source);
  return path;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(QfHostAnimation, ARangeWritesNumberedFramesThatGrow) {
  const std::string source = WriteSource("source.png", 96, 64);
  const std::string pattern = qfhost_test::TempFile("grow_%04d.png");
  const std::string stats = qfhost_test::TempFile("stats.txt");
  std::vector<std::string> files;
  for (int f = 0; f < 5; ++f) {
    char name[16];
    std::snprintf(name, sizeof name, "%04d", f);
    files.push_back(qfhost_test::TempFile("grow_" + std::string(name) + ".png"));
  }
  const Result r = RunHost(
      "render floral --source '" + source + "' --frames 0-4 --set 'Completeness=0@0,100@4' " +
      "--set 'Completeness distance=0' --stats '" + stats + "' -o '" + pattern + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  // Not a terminal: one progress line per frame.
  const std::vector<std::string> progress = Lines(r.err);
  ASSERT_EQ(progress.size(), 5u) << r.err;
  EXPECT_EQ(progress[0].rfind("frame 0  1/5  ", 0), 0u) << progress[0];
  EXPECT_EQ(progress[4].rfind("frame 4  5/5  ", 0), 0u) << progress[4];
  EXPECT_NE(progress[4].find(" fps  0:00 left"), std::string::npos) << progress[4];

  const std::vector<std::string> stat_lines = Lines(Slurp(stats));
  ASSERT_EQ(stat_lines.size(), 5u);
  for (int f = 0; f < 5; ++f) {
    long long frame = -1;
    double ms = -1;
    EXPECT_EQ(std::sscanf(stat_lines[f].c_str(), "%lld %lf", &frame, &ms), 2) << stat_lines[f];
    EXPECT_EQ(frame, f);
    EXPECT_GE(ms, 0.0);
  }

  // Nothing grows at frame 0: the source comes back as it went in. After
  // that the ornament covers more of the frame every frame.
  const qfhost::Image in = qfhost::ReadPng(source);
  EXPECT_EQ(qfhost::ReadPng(files[0]).rgba, in.rgba);
  size_t previous = 0;
  for (int f = 1; f < 5; ++f) {
    const qfhost::Image frame = qfhost::ReadPng(files[f]);
    size_t changed = 0;
    for (size_t i = 0; i < frame.rgba.size(); ++i) changed += frame.rgba[i] != in.rgba[i];
    EXPECT_GT(changed, previous) << "frame " << f;
    previous = changed;
  }
}

TEST(QfHostAnimation, TheSequenceIsSetUpOnceForTheRange) {
  // The effect takes a host handle at sequence set-up only: with the second
  // one refused, a range renders only when the set-up is not repeated.
  const std::string pattern = qfhost_test::TempFile("once_%d.png");
  for (int f = 0; f < 3; ++f) qfhost_test::TempFile("once_" + std::to_string(f) + ".png");
  const Result r = RunHost("--fail host_new_handle:2 render floral --size 32x24 --frames 0-2 -o '" +
                           pattern + "'");
  EXPECT_EQ(r.status, 0) << r.err;
}

TEST(QfHostAnimation, OneFrameAtATimeAndAMovingMask) {
  const std::string a = qfhost_test::TempFile("a.svg");
  const std::string b = qfhost_test::TempFile("b.json");
  std::ofstream(a) << "M 10 60 C 30 20 90 20 110 60";
  std::ofstream(b)
      << "{\"closed\": false, \"vertices\": [{\"x\": 20, \"y\": 10}, {\"x\": 100, \"y\": 70}]}";
  // 0.5 s at 30 frames a second is frame 15.
  const std::string pattern = qfhost_test::TempFile("at_%03d.png");
  const std::string file = qfhost_test::TempFile("at_015.png");
  const Result r = RunHost(
      "render floral --size 120x80 --fps 30 --time 0.5s --set 'Mask kind=Custom path' --mask '" +
      a + "@0' --mask '" + b + "@1s' -o '" + pattern + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out + r.err, "");  // a single frame shows no progress
  EXPECT_EQ(qfhost::ReadPng(file).width, 120);
}

TEST(QfHostAnimation, ReducedResolutionAndDraftQuality) {
  const std::string full = qfhost_test::TempFile("full.png");
  const std::string half = qfhost_test::TempFile("half.png");
  const std::string third = qfhost_test::TempFile("third.png");
  const std::string draft = qfhost_test::TempFile("draft.png");
  const std::string args = "render floral --size 200x120 --set 'Render mode=Flat' ";
  ASSERT_EQ(RunHost(args + "-o '" + full + "'").status, 0);
  Result r = RunHost(args + "--resolution half -o '" + half + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out + r.err, "");
  qfhost::Image image = qfhost::ReadPng(half);
  EXPECT_EQ(image.width, 100);
  EXPECT_EQ(image.height, 60);
  ASSERT_EQ(RunHost(args + "--resolution third -o '" + third + "'").status, 0);
  image = qfhost::ReadPng(third);
  EXPECT_EQ(image.width, 67);  // a started block counts
  EXPECT_EQ(image.height, 40);

  // Draft quality draws without smoothing: the same scene, other pixels.
  ASSERT_EQ(RunHost(args + "--quality draft -o '" + draft + "'").status, 0);
  EXPECT_NE(qfhost::ReadPng(draft).rgba, qfhost::ReadPng(full).rgba);
  ASSERT_EQ(RunHost(args + "--quality high -o '" + draft + "'").status, 0);
  EXPECT_EQ(qfhost::ReadPng(draft).rgba, qfhost::ReadPng(full).rgba);
}

TEST(QfHostAnimation, HelpForADeliverableListsItsParameters) {
  const Result r = RunHost("render floral --help");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("usage: qf-host render DELIVERABLE", 0), 0u);
  for (const char* option :
       {"--frames A-B", "--time T", "--fps N", "--stats FILE",
        "--resolution full|half|third|quarter", "--quality high|draft", "NAME=V1@T1,V2@T2"})
    EXPECT_NE(r.out.find(option), std::string::npos) << option;
  const size_t list = r.out.find("Parameters of QuillFrame Floral");
  ASSERT_NE(list, std::string::npos);
  const std::string params = r.out.substr(list);
  for (const char* line :
       {"\n  Render mode               popup       default Phong; choices Rough, Line, Wire, Flat,",
        "\n  Mask of source:\n",
        "\n    Completeness            fix_slider  default 100; valid 0 to 100\n",
        "\n    Max iterations          slider      default 3; valid 1 to 100\n",
        "\n  Position                  point       default 50%,50%; x,y in pixels or x%,y%\n",
        "\n    Diffuse                 color       default #c0c0c0; #rrggbb\n",
        "\n    Glass                   checkbox    default on; on or off\n",
        "\n    Texture reflection      layer       a picture: --reflection FILE.png\n"})
    EXPECT_NE(params.find(line), std::string::npos) << line;
  // Group ends have no line of their own.
  EXPECT_EQ(Count(params, "group_end"), 0u);

  const Result g = RunHost("render geometry --help");
  ASSERT_EQ(g.status, 0) << g.err;
  EXPECT_NE(g.out.find("Parameters of QuillFrame Geometry"), std::string::npos);
  EXPECT_NE(g.out.find("Proportion lenght"), std::string::npos);
}

// Bad animation input: non-zero exit, one "qf-host: " line, no frame written.
TEST(QfHostAnimation, RefusalsAreOneLine) {
  const std::string square = qfhost_test::TempFile("square.svg");
  const std::string triangle = qfhost_test::TempFile("triangle.svg");
  std::ofstream(square) << "M 0 0 L 10 0 L 10 10 L 0 10 Z";
  std::ofstream(triangle) << "M 0 0 L 10 0 L 10 10 Z";
  const std::string out = qfhost_test::TempFile("never_%02d.png");
  const std::string frame0 = qfhost_test::TempFile("never_00.png");
  const std::string plain = qfhost_test::TempFile("never.png");
  const Refusal cases[] = {
      {"--set 'Completeness=0@0,100@later' -o OUT",
       "Completeness: keyframe time 'later' is not a number of frames (12) or of seconds (0.5s)"},
      {"--set 'Completeness=0@0,100' -o OUT", "Completeness: key '100' has no @TIME"},
      {"--set 'Texture reflection=0@0' -o OUT", "a layer parameter takes no keyframes"},
      {"--frames 4-2 -o OUT", "--frames: the range 4-2 ends before it begins"},
      {"--frames 2 -o OUT", "--frames: '2' is not a range A-B"},
      {"--frames 0-2 -o PLAIN", "has no number field (name_%04d.png) for the frames of a range"},
      {"--frames 0-2 -o 'x_%s.png'", "has a '%' that is no number field"},
      {"--frames 0-2 --time 1 -o OUT", "--frames and --time exclude each other"},
      {"--frames 0-2147483647 -o OUT",
       "frame 2147483647 lies beyond the host's time count at this frame rate (the last is "
       "frame 2147483646)"},
      {"--time 1.5 -o OUT", "--time: frame 1.5 is not a whole frame"},
      {"--time soon -o OUT", "--time: 'soon' is not a number of frames"},
      {"--fps 0 -o OUT", "--fps: '0' is not a frame rate"},
      {"--resolution tiny -o OUT", "--resolution: 'tiny' is not full, half, third or quarter"},
      {"--quality best -o OUT", "--quality: 'best' is not high or draft"},
      {"--mask SQUARE@0 --mask TRIANGLE@2s -o OUT",
       "has 4 vertices and " + triangle +
           " has 3: the shapes of an animated mask need the same vertex count"},
      {"--mask SQUARE@0 --mask SQUARE -o OUT", "the shapes of an animated mask each need one"},
      {"--mask SQUARE@1s --mask SQUARE@24 -o OUT", "are both keyed at 1 s"},
      {"--stats /nonexistent/stats.txt -o OUT", "--stats: cannot write /nonexistent/stats.txt"},
  };
  for (const auto& c : cases) {
    std::string args = "render floral --size 16x16 " + c.args;
    for (const auto& [word, value] : {std::pair<std::string, std::string>{"OUT", out},
                                      {"PLAIN", plain},
                                      {"SQUARE", square},
                                      {"TRIANGLE", triangle}})
      for (size_t at = args.find(word); at != std::string::npos;
           at = args.find(word, at + value.size() + 2))
        args.replace(at, word.size(), "'" + value + "'");
    ExpectRefusal(args, c.reason);
    EXPECT_FALSE(std::ifstream(frame0).good()) << args;
    EXPECT_FALSE(std::ifstream(plain).good()) << args;
  }
}

// A folder of its own for a test that lists what it leaves behind.
struct ScratchFolder {
  ScratchFolder() : path(qfhost_test::TempFile("folder") + "/") {
    std::filesystem::create_directories(path);
  }
  ~ScratchFolder() { std::filesystem::remove_all(path); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string path;
};

TEST(QfHostOutputs, TwoOutputsNamingOneFileAreRefused) {
  ScratchFolder folder;
  const std::string& d = folder.path;
  const std::string kept = d + "x.png";
  ASSERT_EQ(RunHost("render floral --size 8x8 -o '" + kept + "'").status, 0);
  const std::string before = Slurp(kept);
  std::filesystem::create_directories(d + "sub");
  std::filesystem::create_symlink(kept, d + "link.png");
  for (const char* outputs :
       {"--stats X -o X", "--stats X -o D/./x.png", "--stats D/sub/../x.png -o X",
        "--stats D/link.png -o X", "--frames 0-3 --stats D/f_02.png -o D/f_%02d.png",
        "--frames 0-3 --stats D/f_2.png -o D//sub/../f_%d.png"}) {
    std::string args = std::string("render floral --size 8x8 ") + outputs;
    for (size_t at = args.find('X'); at != std::string::npos; at = args.find('X'))
      args.replace(at, 1, "'" + kept + "'");
    for (size_t at = args.find("D/"); at != std::string::npos; at = args.find("D/", at + d.size()))
      args.replace(at, 2, d);
    const Result r = RunHost(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.err.rfind("qf-host: --stats and -o name the same file, ", 0), 0u) << r.err;
    EXPECT_EQ(Count(r.err, "\n"), 1u) << r.err;
    EXPECT_EQ(Slurp(kept), before) << args;
    const std::vector<std::string> left = {"link.png", "sub", "x.png"};
    EXPECT_EQ(folder.Names(), left) << args;
  }
  // Frames outside the range do not collide with the statistics.
  const Result r = RunHost("render floral --size 8x8 --frames 3-4 --stats '" + d +
                           "f_02.png' -o '" + d + "f_%02d.png'");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(Slurp(d + "f_02.png")).size(), 2u);

  // A name that leads to a frame's file only once it is there (a link to it
  // here; another case on Windows) is refused as that frame is written.
  std::filesystem::create_symlink(d + "g_1.png", d + "stats.txt");
  const Result late = RunHost("render floral --size 8x8 --frames 0-2 --stats '" + d +
                              "stats.txt' -o '" + d + "g_%d.png'");
  EXPECT_EQ(late.status, 1);
  EXPECT_EQ(Lines(late.err).back(), "qf-host: --stats and -o name the same file, " + d +
                                        "stats.txt (frames 0-1 of 0-2 written)");
  EXPECT_EQ(qfhost::ReadPng(d + "g_1.png").width, 8);
}

// A range that stops at a frame it cannot write keeps the frames before it,
// says which they are, and leaves no partial file; nor does a file already
// under the failed frame's name change.
TEST(QfHostOutputs, ARangeThatStopsEarlySaysWhichFramesWereWritten) {
  ScratchFolder folder;
  std::filesystem::create_directories(folder.path + "f_2.png");  // no file can go there
  const Result r = RunHost("render floral --size 8x8 --frames 0-3 --stats '" + folder.path +
                           "stats.txt' -o '" + folder.path + "f_%d.png'");
  EXPECT_EQ(r.status, 1);
  const std::vector<std::string> lines = Lines(r.err);
  ASSERT_EQ(lines.size(), 3u) << r.err;  // two frames' progress, then the error
  EXPECT_EQ(lines[2], "qf-host: cannot write " + folder.path + "f_2.png: " + std::strerror(EISDIR) +
                          " (frames 0-1 of 0-3 written)");
  const std::vector<std::string> left = {"f_0.png", "f_1.png", "f_2.png", "stats.txt"};
  EXPECT_EQ(folder.Names(), left);
  EXPECT_EQ(Lines(Slurp(folder.path + "stats.txt")).size(), 2u);
  EXPECT_EQ(qfhost::ReadPng(folder.path + "f_1.png").width, 8);
}

// Ctrl-C during a range: the process ends at once with status 130, says
// which frames were written, and every file it leaves is whole.
TEST(QfHostOutputs, AnInterruptedRangeLeavesOnlyWholeFrames) {
  ScratchFolder folder;
  const std::string err = folder.path + "err.txt";
  const std::string stats = folder.path + "stats.txt";
  const std::string pattern = folder.path + "f_%03d.png";
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    std::freopen(err.c_str(), "w", stderr);
    execl(QF_HOST_EXE, "qf-host", "render", "floral", "--size", "320x180", "--frames", "0-999",
          "--stats", stats.c_str(), "-o", pattern.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  // Interrupted once two frames are there, in the middle of a later one.
  for (int i = 0; i < 6000 && !std::ifstream(folder.path + "f_001.png").good(); ++i) usleep(10000);
  usleep(50000);
  kill(pid, SIGINT);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 130);

  const std::vector<std::string> lines = Lines(Slurp(err));
  ASSERT_FALSE(lines.empty());
  int last = -1;
  ASSERT_EQ(std::sscanf(lines.back().c_str(), "qf-host: interrupted; frames 0-%d of 0-999 written",
                        &last),
            1)
      << lines.back();
  ASSERT_GE(last, 1);
  std::vector<std::string> expected = {"err.txt", "stats.txt"};
  for (int f = 0; f <= last; ++f) {
    char name[32];
    std::snprintf(name, sizeof name, "f_%03d.png", f);
    expected.push_back(name);
    const qfhost::Image frame = qfhost::ReadPng(folder.path + name);
    EXPECT_EQ(frame.width * frame.height, 320 * 180) << name;
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(folder.Names(), expected);
  EXPECT_EQ(Lines(Slurp(stats)).size(), static_cast<size_t>(last + 1));
}

// Memory running out while the pattern grows ends the render with the error
// that says so, before the triangle budget would have: no picture other than
// the one asked for, and no file.
TEST(QfHostRender, MemoryRunningOutIsAnErrorNotAnotherPicture) {
  if (!qfhost_test::kMemoryCapped) GTEST_SKIP() << "no address-space cap under the sanitizer";
  const std::string out = qfhost_test::TempFile("starved.png");
  for (const char* build : {"floral", "geometry"}) {
    const std::string err = qfhost_test::TempFile("starved.err");
    const std::string command = qfhost_test::MemoryCap(250) + "'" + QF_HOST_EXE + "' render " +
                                build + " --size 1x10 -o '" + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 1) << build;
    EXPECT_EQ(Slurp(err), "qf-host: render failed with error 4 (out of memory)\n") << build;
    EXPECT_FALSE(std::ifstream(out).good()) << build;
  }
}

// Every failure: non-zero exit, nothing on stdout, one "qf-host: " line on stderr.
TEST(QfHostCli, FailuresAreOneLine) {
  const std::string text = qfhost_test::TempFile("text.aex");
  std::ofstream(text) << "not a plug-in\n";
  const Refusal cases[] = {
      {"info '" + text + "'", "not a loadable plug-in module"},
      {"params /nonexistent/QuillFrame64.aex", "no such file"},
      {std::string("info '") + QF_WIN32_PATH + "'", "no property list"},
      {std::string("info '") + QF_PROBE_NOENTRY_PATH + "'", "not found"},
      {std::string("--fail add_param:5 params '") + QF_FLORAL_PATH + "'",
       "parameter set-up failed with error"},
      {"draw floral", "unknown command 'draw'"},
      {"info", "takes one DELIVERABLE"},
      {"--fail nothing:1 info floral",
       "--fail: unknown host call 'nothing' (closest: add_param, register_ui or"},
      {"draw floral", "(the commands are info, params, render, panel and about)"},
      {"", "no command given (try --help)"},
      {"--bogus info floral", "unknown option '--bogus'"},
      {"render floral --sise 8x8 -o x.png", "unknown option '--sise' (closest: --size, "},
      {"info floral --fail", "--fail needs a value"},
      {"render floral --output= --size 8x8", "--output needs a value"},
      {"--fail add_param:0 info floral", "--fail: the call number 0 is outside 1 to 1000000"},
      {"--fail add_param:x info floral", "--fail: the call number 'x' is not a whole number"},
      {"render floral --fps 2000 -o x.png",
       "--fps: '2000' is not a frame rate above 0 and at most 1000"},
      {"--help=3", "option '--help' takes no value"},
      {"info floral extra", "info takes one DELIVERABLE"},
  };
  for (const auto& c : cases) ExpectRefusal(c.args, c.reason);
}

// ---- qf-host panel: the pictures it writes, what a click opens, its refusals ----

// The help page as the effect names it: its folder, then "QuillFrame\".
std::string HelpPage(const std::string& deliverable) {
  return deliverable.substr(0, deliverable.rfind('/') + 1) + "QuillFrame\\quillframeae.html";
}

TEST(QfHostPanel, HoverChangesThePictureUnlessCollapsed) {
  const std::string plain = qfhost_test::TempFile("plain.png");
  const std::string hover = qfhost_test::TempFile("hover.png");
  const std::string collapsed = qfhost_test::TempFile("collapsed.png");
  for (const auto& [file, options] : {std::pair{plain, ""},
                                      {hover, " --hover 40,25"},
                                      {collapsed, " --hover 40,25 --collapsed"}}) {
    const Result r = RunHost("panel floral -o '" + file + "'" + options);
    ASSERT_EQ(r.status, 0) << options << ": " << r.err;
    EXPECT_EQ(r.out + r.err, "") << options;
  }
  const qfhost::Image p = qfhost::ReadPng(plain), h = qfhost::ReadPng(hover),
                      c = qfhost::ReadPng(collapsed);
  EXPECT_EQ(p.width, 385);
  EXPECT_EQ(p.height, 106);
  EXPECT_NE(p.rgba, h.rgba);
  EXPECT_EQ(p.rgba, c.rgba);
}

TEST(QfHostPanel, ClicksOpenTheHelpPageOnlyOnHelp) {
  const std::string png = qfhost_test::TempFile("panel.png");
  for (const char* deliverable : {"floral", "geometry"}) {
    const Result help =
        RunHost("panel " + std::string(deliverable) + " -o '" + png + "' --click 40,25");
    ASSERT_EQ(help.status, 0) << help.err;
    const std::string path =
        std::string(deliverable) == "floral" ? QF_FLORAL_PATH : QF_GEOMETRY_PATH;
    EXPECT_EQ(help.out, "open: " + HelpPage(path) + "\n");
  }
  // Where the boxes overlap Help opens first; right of Help, above About, nothing.
  const Result both = RunHost("panel floral -o '" + png + "' --click 20,42");
  ASSERT_EQ(both.status, 0) << both.err;
  EXPECT_EQ(both.out.substr(0, both.out.find('\n') + 1),
            "open: " + HelpPage(QF_FLORAL_PATH) + "\n");
  const Result none = RunHost("panel floral -o '" + png + "' --click 83,20");
  ASSERT_EQ(none.status, 0) << none.err;
  EXPECT_EQ(none.out, "");
}

// Natively About's dialog cannot be shown: the events are read (a missing file
// is an error) but there is nothing to play them on.
TEST(QfHostPanel, AboutClickSaysThereIsNoWindowSystem) {
  const std::string png = qfhost_test::TempFile("panel.png");
  const std::string events = qfhost_test::TempFile("events.txt");
  std::ofstream(events) << "click 465 265\n";
  const Result about =
      RunHost("panel geometry -o '" + png + "' --click 40,60 --events '" + events + "'");
  ASSERT_EQ(about.status, 0) << about.err;
  EXPECT_EQ(about.out, "no window system in this build: the dialog is not shown\n");
  const Result missing =
      RunHost("panel geometry -o '" + png + "' --click 40,60 --events '" + events + ".gone'");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "qf-host: " + events + ".gone: cannot be read\n");
}

TEST(QfHostPanel, RefusalsAreOneLine) {
  const std::string png = qfhost_test::TempFile("panel.png");
  const struct {
    std::string args, err;
  } cases[] = {
      {"floral -o '" + png + "' --hover 385,0",
       "qf-host: --hover: 385,0 is outside the 385 x 106 panel\n"},
      {"floral -o '" + png + "' --click 5,-1",
       "qf-host: --click: 5,-1 is outside the 385 x 106 panel\n"},
      {"floral -o '" + png + "' --click 4", "qf-host: --click: '4' is not X,Y\n"},
      {"floral", "qf-host: panel needs an output file: -o PANEL.png\n"},
      {"floral -o '" + png + "' --events '" + png + "'", "qf-host: --events requires --click\n"},
  };
  for (const auto& c : cases) {
    const Result r = RunHost("panel " + c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_EQ(r.err, c.err) << c.args;
  }
}

}  // namespace

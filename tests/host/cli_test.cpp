// The qf-host command as a person runs it: its output, the pictures it
// writes and its error lines.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "qf_host/image.h"
#include "qf_host/png_io.h"
#include "temp_files.h"
#include "test_png.h"

namespace {

struct Result {
  int status = -1;
  std::string out, err;
};

std::string Slurp(const std::string& path) {
  std::ifstream f(path);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

Result RunHost(const std::string& args) {
  const std::string out = qfhost_test::TempFile("stdout");
  const std::string err = qfhost_test::TempFile("stderr");
  const int raw = std::system((std::string("'") + QF_HOST_EXE + "' " + args + " >'" + out + "' 2>'" + err + "'").c_str());
  Result r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = Slurp(out);
  r.err = Slurp(err);
  return r;
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
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
  EXPECT_NE(f.out.find("\"choices\": [\"Rough\", \"Line\", \"Wire\", \"Flat\", \"Phong\"]"), std::string::npos);
  EXPECT_NE(f.out.find("\"default\": 0.35"), std::string::npos);
  EXPECT_NE(f.out.find("\"default\": {\"r\": 192, \"g\": 192, \"b\": 192, \"a\": 0}"), std::string::npos);
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
  const std::string render = RunHost("render --help").out;
  EXPECT_EQ(render.rfind("usage: qf-host render DELIVERABLE", 0), 0u);
  for (const char* option : {"--source", "--size", "--depth", "--set", "--reflection", "--mask ", "--mask-inverted",
                             "'Mask kind=Custom path'", "\"closed\""})
    EXPECT_NE(render.find(option), std::string::npos) << option;
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
  std::ofstream(json) << "{\"closed\": false, \"vertices\": [{\"x\": 5, \"y\": 5, \"out\": [50, 0]},"
                         " {\"x\": 100, \"y\": 60, \"in\": [60, 70]}]}";
  const std::string out = qfhost_test::TempFile("out.png");
  for (const std::string& args :
       {"--set 'Mask kind=Custom path' --mask '" + mask + "' --mask-inverted",
        "--set 'Mask kind=7' --mask '" + json + "' --reflection '" + reflection + "'",
        std::string("--set 'Render mode=Wire' --set Glass=off --set Diffuse=#20c0ff --set Position=30%,40 "
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
  const struct {
    std::string args;
    std::string reason;
  } cases[] = {
      {"render floral --size 8x8", "render needs an output file: -o OUT.png"},
      {"render floral --size 8x8 --set Widht=2 -o OUT", "unknown parameter 'Widht' (closest: \"Width\""},
      {"render floral --size 8x8 --set Width=11 -o OUT", "Width: 11 is outside the valid range 0 to 10"},
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
      {"render floral --size 8x8 -o", "-o needs a value"},
      {"info floral --size 8x8", "--size is an option of render, not of info"},
  };
  for (const auto& c : cases) {
    std::string args = c.args;
    const size_t at = args.find("OUT");
    if (at != std::string::npos) args.replace(at, 3, "'" + out + "'");
    const Result r = RunHost(args);
    EXPECT_NE(r.status, 0) << args;
    EXPECT_EQ(r.out, "") << args;
    EXPECT_EQ(r.err.rfind("qf-host: ", 0), 0u) << args << ": " << r.err;
    EXPECT_EQ(Count(r.err, "\n"), 1u) << args << ": " << r.err;
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << args << ": " << r.err;
    EXPECT_FALSE(std::ifstream(out).good()) << args;
  }
}

// Every failure: non-zero exit, nothing on stdout, one "qf-host: " line on stderr.
TEST(QfHostCli, FailuresAreOneLine) {
  const std::string text = qfhost_test::TempFile("text.aex");
  std::ofstream(text) << "not a plug-in\n";
  const struct {
    std::string args;
    std::string reason;
  } cases[] = {
      {"info '" + text + "'", "not a loadable plug-in module"},
      {"params /nonexistent/QuillFrame64.aex", "no such file"},
      {std::string("info '") + QF_WIN32_PATH + "'", "no property list"},
      {std::string("info '") + QF_PROBE_NOENTRY_PATH + "'", "not found"},
      {std::string("--fail add_param:5 params '") + QF_FLORAL_PATH + "'", "parameter set-up failed with error"},
      {"draw floral", "unknown command 'draw'"},
      {"info", "takes one DELIVERABLE"},
      {"--fail nothing:1 info floral", "unknown host call"},
  };
  for (const auto& c : cases) {
    const Result r = RunHost(c.args);
    EXPECT_NE(r.status, 0) << c.args;
    EXPECT_EQ(r.out, "") << c.args;
    EXPECT_EQ(r.err.rfind("qf-host: ", 0), 0u) << c.args << ": " << r.err;
    EXPECT_EQ(Count(r.err, "\n"), 1u) << c.args << ": " << r.err;
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << c.args << ": " << r.err;
  }
}

}  // namespace

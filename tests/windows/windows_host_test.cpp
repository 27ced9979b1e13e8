// The Windows build's qf-host.exe, run under Wine and checked from the native
// build: its JSON and help byte for byte against the native qf-host's, its
// one-line refusals, its 16-bit files and the reference frames it writes read
// back through the native libpng. The Windows build's tests run this program
// and name its files through the environment (tests/windows/CMakeLists.txt).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "effect_frames.h"
#include "qf_host/image.h"
#include "qf_host/png_io.h"
#include "qf_host/world.h"
#include "reference_frames.h"
#include "run_command.h"
#include "temp_files.h"
#include "test_png.h"

namespace {

using qfhost_test::CommandResult;
using qfhost_test::TempFile;

std::string FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (!value) ADD_FAILURE() << name << " is not set: the Windows build's tests run this program";
  return value ? value : "";
}

std::string Quoted(const std::string& word) { return "'" + word + "'"; }

CommandResult RunWindowsHost(const std::string& args) {
  return qfhost_test::RunCommand(Quoted(FromEnvironment("QF_WINE_RUN")) + " " +
                                     Quoted(FromEnvironment("QF_WINEPREFIX")) + " " +
                                     Quoted(FromEnvironment("QF_WINDOWS_HOST")),
                                 args);
}

CommandResult RunNativeHost(const std::string& args) {
  return qfhost_test::RunCommand(Quoted(QF_HOST_EXE), args);
}

// The output without its "file" line, the one place where the builds' paths show.
std::string WithoutFileLine(const std::string& json) {
  const size_t at = json.find("\n  \"file\": ");
  if (at == std::string::npos) return json;
  return json.substr(0, at) + json.substr(json.find('\n', at + 1));
}

TEST(WindowsHost, PrintsWhatTheNativeHostPrints) {
  for (const char* args : {"info floral", "info geometry", "params floral", "params geometry",
                           "--help", "render --help", "render floral --help"}) {
    const CommandResult native = RunNativeHost(args);
    const CommandResult windows = RunWindowsHost(args);
    ASSERT_EQ(native.status, 0) << args << ": " << native.err;
    ASSERT_EQ(windows.status, 0) << args << ": " << windows.err;
    EXPECT_EQ(windows.err, "") << args;
    EXPECT_EQ(windows.out.find('\r'), std::string::npos) << args;
    EXPECT_EQ(WithoutFileLine(windows.out), WithoutFileLine(native.out)) << args;
  }
}

TEST(WindowsHost, RefusesWhatIsNoEffectInOneLine) {
  const std::string text = TempFile("not_a_module.aex");
  std::ofstream(text) << "just some text\n";
  const struct {
    std::string path;
    std::string file;    // the name the message gives
    std::string reason;  // what follows it, the loader's own words left out
  } cases[] = {
      {text, "not_a_module.aex", "not a loadable plug-in module"},
      {FromEnvironment("QF_WINDOWS_NO_PIPL"), "QFNoPipl.aex",
       "no property list (PIPL resource 16000)"},
      {FromEnvironment("QF_WINDOWS_NO_ENTRY"), "QFNoEntry.aex",
       "entry point 'EntryPointFunc' not found"},
  };
  for (const auto& c : cases) {
    const CommandResult r = RunWindowsHost("info " + Quoted(c.path));
    EXPECT_EQ(r.status, 1) << c.file;
    EXPECT_EQ(r.out, "") << c.file;
    ASSERT_EQ(r.err.rfind("qf-host: ", 0), 0u) << r.err;
    ASSERT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    const size_t after = r.err.find(c.file + ": ");
    ASSERT_NE(after, std::string::npos) << r.err;
    std::string message = r.err.substr(after + c.file.size() + 2);
    message.pop_back();  // the line feed
    if (message.rfind(c.reason + " (", 0) == 0 && message.back() == ')')
      message.resize(c.reason.size());
    EXPECT_EQ(message, c.reason) << r.err;
  }
  // The native host says the same of the same file.
  const CommandResult native = RunNativeHost("info " + Quoted(text));
  EXPECT_EQ(native.status, 1);
  EXPECT_EQ(native.err.rfind("qf-host: " + text + ": not a loadable plug-in module", 0), 0u)
      << native.err;
}

// A 16-bit file sample, through a 16-bit world and back: the host's two scalings.
uint16_t ThroughWorld16(uint16_t sample) {
  const long world = std::lround(sample * 32768.0 / 65535.0);
  return static_cast<uint16_t>(std::lround(world * 65535.0 / 32768.0));
}

TEST(WindowsHost, SixteenBitFilesReadBackWithTheNativeLibpng) {
  // Samples whose two bytes differ, among them small ones that a writer
  // storing the wrong byte first would make large (7 as 0x0700).
  constexpr int kWidth = 96, kHeight = 3;
  qfhost_test::TestPng source{kWidth, kHeight, 16, PNG_COLOR_TYPE_RGB_ALPHA};
  std::vector<uint16_t> samples;
  for (int i = 0; i < kWidth * kHeight * 4; ++i) {
    const uint16_t v = i % 4 == 3 ? 65535 : static_cast<uint16_t>(i < 24 ? i : i * 2731 + 7);
    samples.push_back(v);
    qfhost_test::Put16(source.rows, v);
  }
  const std::string source_file = TempFile("source16.png");
  ASSERT_TRUE(qfhost_test::WriteTestPng(source_file, source));

  // Nothing grows at completeness 0: the source passes through the effect.
  const std::string args = "render floral --source " + Quoted(source_file) +
                           " --set Completeness=0 --set 'Completeness distance=0' -o ";
  const std::string windows_file = TempFile("windows16.png");
  const std::string native_file = TempFile("native16.png");
  const CommandResult windows = RunWindowsHost(args + Quoted(windows_file));
  ASSERT_EQ(windows.status, 0) << windows.err;
  ASSERT_EQ(RunNativeHost(args + Quoted(native_file)).status, 0);

  const qfhost::Image image = qfhost::ReadPng(windows_file);
  ASSERT_EQ(image.bits, 16);
  ASSERT_EQ(image.width, kWidth);
  ASSERT_EQ(image.height, kHeight);
  ASSERT_EQ(image.rgba.size(), samples.size());
  for (size_t i = 0; i < samples.size(); ++i)
    ASSERT_EQ(image.rgba[i], ThroughWorld16(samples[i])) << "sample " << i << " of " << samples[i];
  EXPECT_EQ(image.rgba, qfhost::ReadPng(native_file).rgba);
}

// The reference frames rendered by each build's command, read back here:
// each gives its build's own hashes.
class WindowsHostFrame : public ::testing::TestWithParam<frames::Reference> {};

TEST_P(WindowsHostFrame, GivesEachBuildsOwnHash) {
  const frames::Reference& r = GetParam();
  std::string args = std::string("render ") +
                     (r.deliverable == frames::kGeometry ? "geometry" : "floral") +
                     " --size 320x180 --depth " + (r.deep ? "16" : "8");
  for (const std::string& setting : r.settings) args += " --set " + Quoted(setting);
  if (r.render_mode)
    args += " --allow-undeclared-choices --set 'Render mode=" + std::to_string(r.render_mode) + "'";
  if (r.mask) {
    const std::string mask = TempFile("mask.path");
    std::ofstream(mask) << r.mask;
    args += " --mask " + Quoted(mask);
  }
  const struct {
    const char* build;
    CommandResult (*run)(const std::string&);
    uint64_t hash;
  } builds[] = {{"windows", RunWindowsHost, r.windows_hash}, {"native", RunNativeHost, r.hash}};
  for (const auto& b : builds) {
    const std::string file = TempFile(std::string(b.build) + ".png");
    const CommandResult result = b.run(args + " -o " + Quoted(file));
    ASSERT_EQ(result.status, 0) << b.build << ": " << result.err;
    EXPECT_EQ(result.out + result.err, "") << b.build;
    const qfhost::Image image = qfhost::ReadPng(file);
    ASSERT_EQ(image.bits, r.deep ? 16 : 8) << b.build;
    const uint64_t hash = frames::PixelHash(qfhost::WorldFromImage(image, r.deep));
    EXPECT_EQ(hash, b.hash) << b.build << ": 0x" << std::hex << hash;
  }
}

std::string RowName(const ::testing::TestParamInfo<frames::Reference>& info) {
  return info.param.name;
}
INSTANTIATE_TEST_SUITE_P(Floral320x180, WindowsHostFrame,
                         ::testing::ValuesIn(frames::kFloralReferences), RowName);
INSTANTIATE_TEST_SUITE_P(Geometry320x180, WindowsHostFrame,
                         ::testing::ValuesIn(frames::kGeometryReferences), RowName);

}  // namespace

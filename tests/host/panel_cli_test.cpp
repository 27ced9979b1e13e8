// `qf-host panel` as a person runs it: the pictures it writes for the cursor's
// places, what a click opens, and its refusals.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "qf_host/image.h"
#include "qf_host/png_io.h"
#include "temp_files.h"

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

Result Panel(const std::string& args) {
  const std::string out = qfhost_test::TempFile("stdout");
  const std::string err = qfhost_test::TempFile("stderr");
  const int raw = std::system(
      (std::string("'") + QF_HOST_EXE + "' panel " + args + " >'" + out + "' 2>'" + err + "'")
          .c_str());
  Result r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = Slurp(out);
  r.err = Slurp(err);
  return r;
}

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
    const Result r = Panel("floral -o '" + file + "'" + options);
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
    const Result help = Panel(std::string(deliverable) + " -o '" + png + "' --click 40,25");
    ASSERT_EQ(help.status, 0) << help.err;
    const std::string path =
        std::string(deliverable) == "floral" ? QF_FLORAL_PATH : QF_GEOMETRY_PATH;
    EXPECT_EQ(help.out, "open: " + HelpPage(path) + "\n");
  }
  // Where the boxes overlap Help opens first; right of Help, above About, nothing.
  const Result both = Panel("floral -o '" + png + "' --click 20,42");
  ASSERT_EQ(both.status, 0) << both.err;
  EXPECT_EQ(both.out.substr(0, both.out.find('\n') + 1),
            "open: " + HelpPage(QF_FLORAL_PATH) + "\n");
  const Result none = Panel("floral -o '" + png + "' --click 83,20");
  ASSERT_EQ(none.status, 0) << none.err;
  EXPECT_EQ(none.out, "");
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
  };
  for (const auto& c : cases) {
    const Result r = Panel(c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_EQ(r.err, c.err) << c.args;
  }
}

}  // namespace

// The qf-host command as a person runs it: its output and its error lines.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

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
  // CTest runs each case as its own process, in parallel: files per case.
  const std::string stem = ::testing::TempDir() + "qf_host_cli_" +
                           ::testing::UnitTest::GetInstance()->current_test_info()->name();
  const std::string out = stem + ".out";
  const std::string err = stem + ".err";
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
  for (const char* args : {"--help", "info --help", "params -h"}) {
    const Result r = RunHost(args);
    EXPECT_EQ(r.status, 0) << args;
    EXPECT_EQ(r.out.rfind("usage: qf-host", 0), 0u) << args;
  }
  EXPECT_NE(RunHost("info --help").out.find("usage: qf-host info"), std::string::npos);
}

// Every failure: non-zero exit, nothing on stdout, one "qf-host: " line on stderr.
TEST(QfHostCli, FailuresAreOneLine) {
  const std::string text = ::testing::TempDir() + "qf_host_cli_text.aex";
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
      {"render floral", "unknown command"},
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

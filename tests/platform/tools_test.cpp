#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A scratch folder for one test, removed afterwards.
class ToolRun : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qf-platform-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override { ASSERT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0); }

  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir + "/" + name, std::ios::binary) << text;
  }
  // Runs a command in the folder; returns its exit status, keeps its error output.
  int Run(const std::string& command) {
    const int status = std::system(("cd '" + dir + "' && " + command + " 2>errors.txt").c_str());
    errors = Slurp(dir + "/errors.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  int Compile(const std::string& script) {
    Write("test.rc", script);
    return Run(std::string(QF_RC_EXE) + " -o out.cpp -d out.d test.rc");
  }

  std::string dir;
  std::string errors;
};

TEST_F(ToolRun, CompilerWritesTheTableAndItsDependencies) {
  ASSERT_EQ(std::system(("cp " QF_TEST_DATA "/colours.bmp '" + dir + "/c.bmp'").c_str()), 0);
  ASSERT_EQ(Compile("# two resources\n"
                    "3 PIPL LANG 1049 {\n  kind eFKT\n  name \"A \\\"quoted\\\" name\"\n}\n"
                    "4 BITMAP \"c.bmp\"\n"),
            0)
      << errors;
  const std::string table = Slurp(dir + "/out.cpp");
  EXPECT_NE(table.find("{0, \"PIPL\", 3, 1049, resource0, 62}"), std::string::npos) << table;
  EXPECT_NE(table.find("0x22, 0x71, 0x75, 0x6f, 0x74, 0x65, 0x64, 0x22"), std::string::npos) << "\"quoted\"";
  EXPECT_NE(table.find("{2, nullptr, 4, 0, resource1, 64}"), std::string::npos) << "the file less 14 bytes";
  EXPECT_NE(table.find("visibility(\"hidden\")"), std::string::npos);
  EXPECT_EQ(Slurp(dir + "/out.d"), "out.cpp: test.rc c.bmp\n");
}

TEST_F(ToolRun, CompilerRejectsBadScriptsWithTheLine) {
  struct Case {
    const char* script;
    const char* message;
  } cases[] = {
      {"1 PIPL {\n  kind eFKT\n  colr 5\n}\n", "test.rc:3: unknown property 'colr'"},
      {"1 PIPL {\n  name \"Too long for eight\" 8\n}\n", "test.rc:2: text of 'name' needs 19 bytes, size is 8"},
      {"1 PIPL {\n  kind eFK\n}\n", "test.rc:2: 'eFK' is not a 4-character code"},
      {"1 PIPL {\n  eVER 0x100000000\n}\n", "test.rc:2: a 32-bit value 0x100000000 is out of range"},
      {"1 PIPL {\n  eINF 0\n", "test.rc:2: script ends where '}' should be"},
      {"1 BITMAP \"missing.bmp\"\n", "test.rc:1: cannot read bitmap 'missing.bmp'"},
      {"1 BITMAP \"test.rc\"\n", "test.rc:1: bitmap 'test.rc': not a BMP file"},
      {"70000 PIPL { }\n", "test.rc:1: a resource id 70000 is out of range"},
      {"1 PIPL { }\n\n1 PIPL { }\n", "test.rc:3: resource 1 of this type is defined twice"},
      {"1 PIPL {\n  name \"open\n}\n", "test.rc:2: unterminated text"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Compile(c.script), 1) << c.script;
    EXPECT_EQ(errors, std::string(c.message) + "\n") << c.script;
    EXPECT_NE(access((dir + "/out.cpp").c_str(), F_OK), 0) << "no table from a bad script";
  }
}

TEST_F(ToolRun, CompilerTakesOnlyPlainTwentyFourBitBitmaps) {
  std::string bmp = Slurp(QF_TEST_DATA "/colours.bmp");
  bmp[28] = 8;  // bits a pixel
  Write("eight.bmp", bmp);
  EXPECT_EQ(Compile("1 BITMAP \"eight.bmp\"\n"), 1);
  EXPECT_EQ(errors, "test.rc:1: bitmap 'eight.bmp': not a 24-bit uncompressed bitmap\n");
  Write("short.bmp", Slurp(QF_TEST_DATA "/colours.bmp").substr(0, 70));
  EXPECT_EQ(Compile("1 BITMAP \"short.bmp\"\n"), 1);
  EXPECT_EQ(errors, "test.rc:1: bitmap 'short.bmp': truncated pixel data\n");
}

TEST_F(ToolRun, BumpGeneratorReproducesTheCommittedBitmap) {
  ASSERT_EQ(Run(std::string(QF_BUMPGEN_EXE) + " bump.bmp"), 0) << errors;
  const std::string made = Slurp(dir + "/bump.bmp");
  EXPECT_EQ(made.size(), 4854u);
  EXPECT_TRUE(made == Slurp(QF_BUMP_BMP)) << "regenerate resources/bitmaps/bump999.bmp with qf-bumpgen";
}

}  // namespace

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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
  EXPECT_NE(table.find("0x22, 0x71, 0x75, 0x6f, 0x74, 0x65, 0x64, 0x22"), std::string::npos)
      << "\"quoted\"";
  EXPECT_NE(table.find("{2, nullptr, 4, 0, resource1, 64}"), std::string::npos)
      << "the file less 14 bytes";
  EXPECT_NE(table.find("visibility(\"hidden\")"), std::string::npos);
  EXPECT_EQ(Slurp(dir + "/out.d"), "out.cpp: test.rc c.bmp\n");
}

TEST_F(ToolRun, CompilerBuildsDialogTemplatesAsWindowsLoadsThem) {
  ASSERT_EQ(Compile("9 DIALOG {\n  caption \"Hi\"\n  size 20 10\n  font 8 \"A\"\n"
                    "  style 0x80C800C8\n"
                    "  control STATIC none 1 2 3 4 0x50000000 \"x\"\n"
                    "  control \"Cls\" 2 5 6 7 8 0x50010000 101\n}\n"),
            0)
      << errors;
  ASSERT_EQ(Run(std::string(QF_RC_EXE) + " --windres -o out.rc test.rc"), 0) << errors;
  EXPECT_NE(Slurp(dir + "/out.rc").find("9 5 \""), std::string::npos) << "type 5: a dialog";
  // Written out by hand: the header with its font, then each control on a
  // 4-byte boundary with its class by number or by name and its text or
  // resource number.
  // clang-format off
  const unsigned char expected[] = {
      0xC8, 0x00, 0xC8, 0x80, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 20, 0, 10, 0,  // style .. size
      0, 0, 0, 0, 'H', 0, 'i', 0, 0, 0, 8, 0, 'A', 0, 0, 0, 0, 0,           // menu .. font, pad
      0, 0, 0, 0x50, 0, 0, 0, 0, 1, 0, 2, 0, 3, 0, 4, 0, 0xFF, 0xFF,        // first control
      0xFF, 0xFF, 0x82, 0, 'x', 0, 0, 0, 0, 0,                              // static, "x"
      0, 0, 1, 0x50, 0, 0, 0, 0, 5, 0, 6, 0, 7, 0, 8, 0, 2, 0,              // second control
      'C', 0, 'l', 0, 's', 0, 0, 0, 0xFF, 0xFF, 101, 0, 0, 0};             // "Cls", resource 101
  // clang-format on
  EXPECT_EQ(Slurp(dir + "/out.rc.0.bin"),
            std::string(reinterpret_cast<const char*>(expected), sizeof expected));

  EXPECT_EQ(Compile("1 DIALOG {\n  style 0x40\n}\n"), 1);
  EXPECT_EQ(errors, "test.rc:1: a dialog's font and its style's 0x40 go together\n");
  EXPECT_EQ(Compile("1 DIALOG {\n  control LABEL 1 0 0 1 1 0 \"\"\n}\n"), 1);
  EXPECT_EQ(errors, "test.rc:2: unknown control class 'LABEL'\n");
}

TEST_F(ToolRun, CompilerRejectsBadScriptsWithTheLine) {
  struct Case {
    const char* script;
    const char* message;
  } cases[] = {
      {"1 PIPL {\n  kind eFKT\n  colr 5\n}\n", "test.rc:3: unknown property 'colr'"},
      {"1 PIPL {\n  name \"Too long for eight\" 8\n}\n",
       "test.rc:2: text of 'name' needs 19 bytes, size is 8"},
      {"1 PIPL {\n  kind eFK\n}\n", "test.rc:2: 'eFK' is not a 4-character code"},
      {"1 PIPL {\n  eVER 0x100000000\n}\n",
       "test.rc:2: a 32-bit value 0x100000000 is out of range"},
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

// A 24-bit uncompressed BMP, its rows as stored (first row first).
struct Bmp {
  int width = 0, height = 0;
  std::vector<std::string> rows;
  // The 3 bytes of pixel x in stored row r.
  std::string Pixel(int x, int r) const { return rows[r].substr(3 * x, 3); }
};

// Reads a BMP whose header says 24 bits, no compression, positive height and
// padded rows filling the file exactly; anything else fails the test.
Bmp ReadBmp(const std::string& path) {
  const std::string file = Slurp(path);
  const auto field = [&](size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
      v |= static_cast<uint32_t>(static_cast<uint8_t>(file[at + i])) << (8 * i);
    return v;
  };
  Bmp bmp;
  if (file.size() < 54 || file.compare(0, 2, "BM") != 0 || field(10, 4) != 54 ||
      field(14, 4) != 40) {
    ADD_FAILURE() << path << ": not a BMP with a plain header";
    return bmp;
  }
  bmp.width = static_cast<int32_t>(field(18, 4));
  bmp.height = static_cast<int32_t>(field(22, 4));
  EXPECT_EQ(field(26, 2), 1u) << path;
  EXPECT_EQ(field(28, 2), 24u) << path << ": bits a pixel";
  EXPECT_EQ(field(30, 4), 0u) << path << ": compression";
  const size_t row_bytes = (bmp.width * 3 + 3) & ~size_t{3};
  if (bmp.width <= 0 || bmp.height <= 0 || file.size() != 54 + row_bytes * bmp.height) {
    ADD_FAILURE() << path << ": " << bmp.width << " x " << bmp.height << " in " << file.size()
                  << " bytes";
    return bmp;
  }
  for (int r = 0; r < bmp.height; ++r)
    bmp.rows.push_back(file.substr(54 + r * row_bytes, bmp.width * 3));
  return bmp;
}

struct Picture {
  std::string file;
  int width, height;
  bool text;  // rasterised text: depends on the font and FreeType, not compared
};

std::vector<Picture> InterfacePictures() {
  std::vector<Picture> pictures = {{"about101.bmp", 164, 314, false}};
  for (int id = 123; id <= 134; ++id)
    pictures.push_back({"button" + std::to_string(id) + ".bmp", 18, 24, false});
  pictures.push_back({"panel781.bmp", 360, 81, true});
  pictures.push_back({"panel782.bmp", 84, 35, true});
  pictures.push_back({"panel783.bmp", 84, 35, true});
  pictures.push_back({"panel784.bmp", 72, 35, true});
  pictures.push_back({"panel785.bmp", 72, 35, true});
  return pictures;
}

TEST(InterfacePictures, HaveTheirSizesAndFitTogether) {
  for (const Picture& p : InterfacePictures()) {
    const Bmp bmp = ReadBmp(QF_BITMAPS "/" + p.file);
    EXPECT_EQ(bmp.width, p.width) << p.file;
    EXPECT_EQ(bmp.height, p.height) << p.file;
  }
  // Each look's middle is stretched sideways between its caps: every column of
  // it alike, and equal to the caps' inner columns so that no seam shows.
  for (int right = 123; right <= 132; right += 3) {
    const std::string look = " in the look of " + std::to_string(right);
    const Bmp right_cap = ReadBmp(QF_BITMAPS "/button" + std::to_string(right) + ".bmp");
    const Bmp left_cap = ReadBmp(QF_BITMAPS "/button" + std::to_string(right + 1) + ".bmp");
    const Bmp middle = ReadBmp(QF_BITMAPS "/button" + std::to_string(right + 2) + ".bmp");
    ASSERT_EQ(middle.rows.size(), 24u);
    ASSERT_EQ(left_cap.rows.size(), 24u);
    ASSERT_EQ(right_cap.rows.size(), 24u);
    for (int r = 0; r < 24; ++r) {
      for (int x = 1; x < 18; ++x)
        EXPECT_EQ(middle.Pixel(x, r), middle.Pixel(0, r)) << "row " << r << look;
      EXPECT_EQ(left_cap.Pixel(17, r), middle.Pixel(0, r)) << "row " << r << look;
      EXPECT_EQ(right_cap.Pixel(0, r), middle.Pixel(0, r)) << "row " << r << look;
    }
    EXPECT_NE(left_cap.Pixel(0, 12), middle.Pixel(0, 12))
        << "the face ends in the left cap" << look;
    EXPECT_NE(right_cap.Pixel(17, 12), middle.Pixel(0, 12))
        << "the face ends in the right cap" << look;
  }
  // The panel's buttons are drawn over the banner (Help at 10, 10, About at
  // 5, 40; all stored top row first): their corners are the banner's pixels there.
  const Bmp banner = ReadBmp(QF_BITMAPS "/panel781.bmp");
  ASSERT_EQ(banner.rows.size(), 81u);
  const struct {
    int id, x, y;
  } buttons[] = {{782, 5, 40}, {783, 5, 40}, {784, 10, 10}, {785, 10, 10}};
  for (const auto& b : buttons) {
    const Bmp button = ReadBmp(QF_BITMAPS "/panel" + std::to_string(b.id) + ".bmp");
    ASSERT_EQ(button.rows.size(), 35u);
    for (int r : {0, 34})
      for (int x : {0, button.width - 1})
        EXPECT_EQ(button.Pixel(x, r), banner.Pixel(b.x + x, b.y + r))
            << b.id << " at " << x << ", " << r;
  }
}

TEST_F(ToolRun, ArtGeneratorReproducesTheCommittedPictures) {
  ASSERT_EQ(Run(std::string(QF_ART_EXE) + " " QF_ART_FONT " ."), 0) << errors;
  for (const Picture& p : InterfacePictures()) {
    const Bmp made = ReadBmp(dir + "/" + p.file);
    EXPECT_EQ(made.width, p.width) << p.file;
    EXPECT_EQ(made.height, p.height) << p.file;
    if (!p.text) {
      EXPECT_TRUE(Slurp(dir + "/" + p.file) == Slurp(QF_BITMAPS "/" + p.file))
          << "regenerate resources/bitmaps/" << p.file << " with qf-art";
    }
  }
  Write("plain.ttf", "not a font");
  EXPECT_EQ(Run(std::string(QF_ART_EXE) + " plain.ttf ."), 1);
  EXPECT_EQ(errors, "plain.ttf: not a font FreeType can read\n");
}

TEST_F(ToolRun, BumpGeneratorReproducesTheCommittedBitmap) {
  ASSERT_EQ(Run(std::string(QF_BUMPGEN_EXE) + " bump.bmp"), 0) << errors;
  const std::string made = Slurp(dir + "/bump.bmp");
  EXPECT_EQ(made.size(), 4854u);
  EXPECT_TRUE(made == Slurp(QF_BUMP_BMP))
      << "regenerate resources/bitmaps/bump999.bmp with qf-bumpgen";
}

}  // namespace

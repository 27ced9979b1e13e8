// Masks as a person writes them: SVG path data, SVG files and the JSON list
// of vertices, and the JSON reader under the last.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

#include "host_error_of.h"
#include "qf_host/host_error.h"
#include "qf_host/json.h"
#include "qf_host/mask.h"
#include "temp_files.h"

namespace {

using qfhost::HostError;
using qfhost::MaskPath;
using qfhost::MaskVertex;

std::string Text(const MaskVertex& v) {
  std::ostringstream s;
  s << "(" << v.x << "," << v.y << " in " << v.in_x << "," << v.in_y << " out " << v.out_x << ","
    << v.out_y << ")";
  return s.str();
}

std::string Text(const MaskPath& p) {
  std::string s = p.closed ? "closed" : "open";
  for (const MaskVertex& v : p.vertices) s += " " + Text(v);
  return s;
}

using qfhost_test::ErrorOf;
using qfhost_test::ExpectRefusals;

TEST(SvgPath, LinesAndCurvesGiveVerticesWithAbsoluteTangents) {
  const MaskPath p = qfhost::ParseSvgPathData("M 10 20 L 110 20 C 130 20 150 40 150 60 L 10 60 Z");
  EXPECT_EQ(Text(p),
            "closed (10,20 in 10,20 out 10,20) (110,20 in 110,20 out 130,20) (150,60 in 150,40 out "
            "150,60) "
            "(10,60 in 10,60 out 10,60)");
  const MaskPath open = qfhost::ParseSvgPathData("M0,0 L5,5");
  EXPECT_FALSE(open.closed);
  EXPECT_EQ(open.vertices.size(), 2u);
}

TEST(SvgPath, RelativeCommandsMatchTheirAbsoluteForms) {
  const MaskPath rel = qfhost::ParseSvgPathData("m 10 20 l 100 0 c 20 0 40 20 40 40 l -140 0 z");
  const MaskPath abs =
      qfhost::ParseSvgPathData("M 10 20 L 110 20 C 130 20 150 40 150 60 L 10 60 Z");
  EXPECT_EQ(Text(rel), Text(abs));
}

TEST(SvgPath, ImplicitRepetitionsAndCompactNumbers) {
  // Pairs after a move are lines; "-" and a second "." start new numbers.
  EXPECT_EQ(Text(qfhost::ParseSvgPathData("M10-20 30,40 .5.5")),
            "open (10,-20 in 10,-20 out 10,-20) (30,40 in 30,40 out 30,40) (0.5,0.5 in 0.5,0.5 out "
            "0.5,0.5)");
  EXPECT_EQ(Text(qfhost::ParseSvgPathData("m1 1 1 1 1e1 0")),
            Text(qfhost::ParseSvgPathData("M1 1 L2 2 L12 2")));
  const MaskPath curves = qfhost::ParseSvgPathData("M0 0 c1 0 2 1 2 2 1 0 2 1 2 2");
  ASSERT_EQ(curves.vertices.size(), 3u);
  EXPECT_EQ(Text(curves.vertices[1]), "(2,2 in 2,1 out 3,2)");
  EXPECT_EQ(Text(curves.vertices[2]), "(4,4 in 4,3 out 4,4)");
}

TEST(SvgPath, NumbersReadAsDecimalsOnly) {
  // A sign, a point on either side, an exponent only with its digits; beyond
  // a double the reader refuses, below it the number is zero.
  EXPECT_EQ(Text(qfhost::ParseSvgPathData("M+5 -.25e1 L5. 1E+1 2e-400 -0")),
            "open (5,-2.5 in 5,-2.5 out 5,-2.5) (5,10 in 5,10 out 5,10) (0,-0 in 0,-0 out 0,-0)");
  // An 'e' not followed by digits ends the number before it.
  EXPECT_NE(ErrorOf([] {
              qfhost::ParseSvgPathData("M 1e 2");
            }).find("character 4: a number is expected, not 'e'"),
            std::string::npos);
  // Exponents at the ends of a long long, added to the digits' place.
  for (const char* data : {"M 1e309 0", "M -1e99999999999999999999 0", "M 1000000e303 0",
                           "M 1 -355E0000009223372036854775807"})
    EXPECT_NE(ErrorOf([&] { qfhost::ParseSvgPathData(data); }).find("out of range"),
              std::string::npos)
        << data;
  EXPECT_EQ(qfhost::ParseSvgPathData("M 0.000001e-320 1e-99999999999999999999").vertices[0].y, 0.0);
  EXPECT_EQ(qfhost::ParseSvgPathData("M 0 0.0001e-9223372036854775808").vertices[0].y, 0.0);
  for (const char* data : {"M inf 0", "M nan 0", "M 0x10 0"})
    EXPECT_NE(ErrorOf([&] { qfhost::ParseSvgPathData(data); }), "") << data;
}

TEST(SvgPath, ClosingOntoTheFirstVertexMergesThem) {
  // A circle-like path that ends where it began: the end vertex's incoming
  // tangent becomes the first vertex's.
  const MaskPath p = qfhost::ParseSvgPathData("M 0 50 C 0 0 100 0 100 50 C 100 100 0 100 0 50 Z");
  EXPECT_TRUE(p.closed);
  ASSERT_EQ(p.vertices.size(), 2u);
  EXPECT_EQ(Text(p.vertices[0]), "(0,50 in 0,100 out 0,0)");
  EXPECT_EQ(Text(p.vertices[1]), "(100,50 in 100,0 out 100,100)");
}

TEST(SvgPath, RefusesWhatAMaskCannotBe) {
  ExpectRefusals([](const char* data) { qfhost::ParseSvgPathData(data); },
                 {
                     {"", "no vertices"},
                     {"L 1 2", "must start with M"},
                     {"M 1 2 Q 3 4 5 6", "unsupported command 'Q'"},
                     {"M 1 2 H 5", "unsupported command 'H'"},
                     {"M 1 2 L 3", "a number is missing at the end"},
                     {"M 1 2 L 3 x", "a number is expected, not 'x'"},
                     {"M 0 0 L 1 1 Z M 5 5 L 6 6", "more than one subpath"},
                     {"M 0 0 L 1 1 M 5 5", "more than one subpath"},
                     {"M 0 0 Z 4 4", "numbers after Z"},
                     {"M 1e999 0", "out of range"},
                 });
}

TEST(SvgFile, TakesTheFirstPathElement) {
  const std::string svg =
      "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\">\n"
      "  <!-- <path d=\"M 9 9 L 8 8\"/> -->\n"
      "  <pathology d=\"M 7 7 L 6 6\"/>\n"
      "  <g><path id='first' fill=\"none\"\n d = 'M 1 2 L 3 4' /></g>\n"
      "  <path d=\"M 5 5 L 6 6\"/>\n</svg>\n";
  EXPECT_EQ(Text(qfhost::ParseSvgFile(svg)), "open (1,2 in 1,2 out 1,2) (3,4 in 3,4 out 3,4)");
  EXPECT_EQ(
      qfhost::ParseSvgFile("<svg:svg><svg:path d='M0 0 L 1 0 L 1 1 z'/></svg:svg>").vertices.size(),
      3u);
  EXPECT_NE(ErrorOf([] { qfhost::ParseSvgFile("<svg><rect/></svg>"); }).find("no <path> element"),
            std::string::npos);
  EXPECT_NE(
      ErrorOf([] { qfhost::ParseSvgFile("<svg><path id=\"d\"/></svg>"); }).find("no d attribute"),
      std::string::npos);
}

TEST(SvgFile, DecodesTheXmlAndRefusesTransforms) {
  // Character references and entities in the path data decode; CDATA and a
  // processing instruction elsewhere are passed over.
  const std::string svg =
      "<svg><style><![CDATA[ path { fill: none } <path d='M 9 9'/> ]]></style><?note x?>"
      "<path d='M&#x20;1&#44;2 L&#32;3 4 &#76; 5 &quot;'/></svg>";
  EXPECT_NE(ErrorOf([&] { qfhost::ParseSvgFile(svg); }).find("a number is expected, not '\"'"),
            std::string::npos);
  EXPECT_EQ(Text(qfhost::ParseSvgFile("<svg><path d='M&#x20;1&#44;2 L&#32;3 4&#10;L 5 6'/></svg>")),
            "open (1,2 in 1,2 out 1,2) (3,4 in 3,4 out 3,4) (5,6 in 5,6 out 5,6)");
  EXPECT_EQ(qfhost::ParseSvgFile(
                "<svg><style><![CDATA[<path d='M 9 9'/>]]></style><path d='M0 0 L1 1'/></svg>")
                .vertices.size(),
            2u);

  // A transform on the path or any group around it is refused, naming the element.
  EXPECT_EQ(ErrorOf([] {
              qfhost::ParseSvgFile("<svg><path transform='scale(2)' d='M0 0 L1 1'/></svg>");
            }),
            "<path> has a transform, which a mask path does not follow; apply it to the path data");
  EXPECT_EQ(
      ErrorOf([] {
        qfhost::ParseSvgFile(
            "<svg><g id=\"outer\" transform=\"translate(5)\"><g><path d='M0 0'/></g></g></svg>");
      }).rfind("<g id=\"outer\"> has a transform", 0),
      0u);
  // A transform on a later path or on the document's root alone is none of the mask's.
  EXPECT_EQ(qfhost::ParseSvgFile("<svg><path d='M0 0 L1 1'/><path transform='x' d='M0 0'/></svg>")
                .vertices.size(),
            2u);

  // Malformed XML: one line with the place.
  EXPECT_EQ(ErrorOf([] {
              qfhost::ParseSvgFile("<svg><path d='M0 0'></svg>");
            }).rfind("SVG file, character ", 0),
            0u);
}

TEST(MaskJson, VerticesWithTangentsInBothForms) {
  const MaskPath p = qfhost::ParseMaskJson(
      "{\"closed\": false, \"vertices\": ["
      "{\"x\": 1, \"y\": 2, \"in\": [0, 2], \"out\": [3.5, -2e1]},"
      "{\"y\": 6, \"x\": 5}]}");
  EXPECT_EQ(Text(p), "open (1,2 in 0,2 out 3.5,-20) (5,6 in 5,6 out 5,6)");
  const MaskPath bare =
      qfhost::ParseMaskJson("[{\"x\": 1, \"y\": 2}, {\"x\": 3, \"y\": 4}, {\"x\": 5, \"y\": 0}]");
  EXPECT_TRUE(bare.closed);
  EXPECT_EQ(bare.vertices.size(), 3u);
}

TEST(MaskJson, NamesTheFault) {
  ExpectRefusals([](const char* json) { qfhost::ParseMaskJson(json); },
                 {
                     {"[]", "no vertices"},
                     {"[{\"x\": 1}]", "mask vertex 0 needs a number \"y\""},
                     {"[{\"x\": 1, \"y\": 2}, {\"x\": 1, \"y\": 2, \"in\": [1]}]",
                      "mask vertex 1 \"in\" must be [x, y]"},
                     {"[{\"x\": 1, \"y\": 2, \"tangent\": 3}]", "unknown key \"tangent\""},
                     {"{\"closed\": 1, \"vertices\": []}", "\"closed\" must be true or false"},
                     {"{\"vertex\": []}", "unknown key \"vertex\""},
                     {"{\"closed\": true}", "\"vertices\" is missing"},
                     {"[1, 2]", "mask vertex 0 is not an object"},
                     {"[{\"x\": 1,\n \"y\": }]", "JSON line 2 column 7"},
                 });
}

TEST(MaskFile, FormatFollowsTheContent) {
  const struct {
    const char* name;
    const char* text;
    size_t vertices;
  } files[] = {
      {"mask.json", "  \n[{\"x\": 1, \"y\": 2}]", 1},
      {"mask.svg", "<svg><path d=\"M0 0 L 1 1 L 2 0\"/></svg>", 3},
      {"mask.txt", "\xEF\xBB\xBF M 0 0 L 4 4", 2},
  };
  for (const auto& f : files) {
    std::ofstream(qfhost_test::TempFile(f.name)) << f.text;
    EXPECT_EQ(qfhost::LoadMask(qfhost_test::TempFile(f.name)).vertices.size(), f.vertices)
        << f.name;
  }
  const std::string broken = qfhost_test::TempFile("broken.svg");
  std::ofstream(broken) << "<svg><path d='M 0 0 A 1 1 0 0 0 5 5'/></svg>";
  const std::string message = ErrorOf([&] { qfhost::LoadMask(broken); });
  EXPECT_EQ(message.rfind(broken + ": ", 0), 0u) << message;
  EXPECT_NE(
      ErrorOf([&] { qfhost::LoadMask(qfhost_test::TempFile("missing")); }).find("No such file"),
      std::string::npos);

  // JSON of the wrong kind, a folder and path data that forgot its M each get their own words.
  const struct {
    const char* text;
    const char* reason;
  } wrong[] = {
      {"null", "mask: JSON null is no mask (an object with \"vertices\", or an array of vertices)"},
      {" 42\n", "mask: JSON number is no mask"},
      {"\"M 0 0 L 1 1\"", "mask: JSON string is no mask"},
      {"true", "mask: JSON true or false is no mask"},
      {"10 20 L 30 40", "SVG path data, character 1: path data must start with M"},
  };
  const std::string file = qfhost_test::TempFile("wrong.mask");
  for (const auto& w : wrong) {
    std::ofstream(file) << w.text;
    EXPECT_EQ(ErrorOf([&] { qfhost::LoadMask(file); }).find(file + ": " + w.reason), 0u)
        << w.text << ": " << ErrorOf([&] { qfhost::LoadMask(file); });
  }
  const std::string folder = ::testing::TempDir();
  EXPECT_EQ(ErrorOf([&] { qfhost::LoadMask(folder); }), folder + ": " + std::strerror(EISDIR));
}

TEST(JsonRead, ValuesEscapesAndLimits) {
  const qfhost::Json j = qfhost::Json::Parse(
      " {\"a\": [1, -2.5e3, true, false, null], \"s\": \"q\\\"\\\\\\/\\n\\u00e9\\ud83d\\ude00\"} ");
  ASSERT_TRUE(j.IsObject());
  const qfhost::Json* a = j.Find("a");
  ASSERT_TRUE(a && a->IsArray());
  ASSERT_EQ(a->size(), 5u);
  EXPECT_EQ((*a)[1].AsNumber(), -2500);
  EXPECT_TRUE((*a)[2].AsBool());
  EXPECT_TRUE((*a)[3].IsBool());
  EXPECT_TRUE((*a)[4].IsNull());
  EXPECT_EQ(j.Find("s")->AsString(), "q\"\\/\n\xC3\xA9\xF0\x9F\x98\x80");
  EXPECT_EQ(j.Find("missing"), nullptr);

  for (const char* bad :
       {"", "[1,]", "{\"a\" 1}", "01", "1.", "[1] 2", "\"\\ud800\"", "nul", "\"a\nb\""})
    EXPECT_THROW(qfhost::Json::Parse(bad), HostError) << bad;
  // Deep nesting is refused rather than followed down the stack.
  EXPECT_THROW(qfhost::Json::Parse(std::string(100000, '[')), HostError);
}

}  // namespace

// The property-list reader against hand-built resources, and the number
// formatting that reports rely on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "pipl_builder.h"
#include "pipl_expect.h"
#include "qf_host/host_error.h"
#include "qf_host/pipl.h"
#include "qf_host/report.h"

namespace {

using qfhost::HostError;
using qfhost::ParsePipl;
using qfhost_test::PiplBuilder;

qfhost::PiplInfo Parse(const std::vector<uint8_t>& bytes) {
  return ParsePipl(bytes.data(), bytes.size());
}

TEST(PiplRead, DecodesAWellFormedEffectList) {
  const auto info = Parse(PiplBuilder().Effect("QuillFrame Floral", "EntryPointFunc").Build());
  EXPECT_EQ(info.version, 1);
  ASSERT_EQ(info.properties.size(), 11u);
  EXPECT_EQ(info.properties[0].vendor, "8BIM");
  qfhost_test::ExpectEffectPipl(info, "QuillFrame Floral", "Tests");
  EXPECT_EQ(info.properties[7].key, "eINF");  // its 2 bytes of padding did not shift what follows
  EXPECT_EQ(info.properties[7].data.size(), 2u);
  EXPECT_NO_THROW(qfhost::RequireEffect(info));
}

TEST(PiplRead, FourCharacterCodesAreStoredByteReversed) {
  const auto bytes = PiplBuilder().Code("kind", "eFKT").Build();
  // Vendor of the first property right after the 10-byte header.
  EXPECT_EQ(std::string(bytes.begin() + 10, bytes.begin() + 14), "MIB8");
  EXPECT_EQ(std::string(bytes.begin() + 14, bytes.begin() + 18), "dnik");
  EXPECT_EQ(Parse(bytes).kind, "eFKT");
}

TEST(PiplRead, RejectsMalformedLists) {
  const auto good = PiplBuilder().Effect("X", "EntryPointFunc").Build();
  // Every cut short of the whole list is noticed, whatever field it falls in.
  for (size_t size = 0; size < good.size() - 1; ++size)
    EXPECT_THROW(ParsePipl(good.data(), size), HostError) << "cut at " << size;

  EXPECT_THROW(Parse(PiplBuilder().Effect("X", "E").Build(2)), HostError);
  EXPECT_THROW(Parse(PiplBuilder().Raw("ADBE", "kind", {0, 0, 0, 0}).Build()), HostError);
  EXPECT_THROW(Parse(PiplBuilder().Raw("8BIM", "eVER", {1, 0}).Build()), HostError);
  EXPECT_THROW(Parse(PiplBuilder().LengthPrefixed("name", std::string(30, 'n'), 20).Build()),
               HostError);
  EXPECT_THROW(Parse(PiplBuilder().Raw("8BIM", "8664", {'E', 'n', 't', 'r'}).Build()), HostError);

  // A count far beyond the data is refused before anything is read.
  auto huge = PiplBuilder().Build();
  huge[6] = huge[7] = huge[8] = huge[9] = 0xFF;
  EXPECT_THROW(Parse(huge), HostError);
}

TEST(PiplRead, AnEffectNeedsItsKindAndEntryPoint) {
  EXPECT_THROW(qfhost::RequireEffect(Parse(PiplBuilder().Code("kind", "8BFM").Build())), HostError);
  EXPECT_THROW(
      qfhost::RequireEffect(Parse(PiplBuilder().ZeroTerminated("8664", "Main", 8).Build())),
      HostError);
  EXPECT_THROW(qfhost::RequireEffect(Parse(PiplBuilder().Code("kind", "eFKT").Build())), HostError);
}

TEST(FixedFormat, ReadsBackAsTheSameValue) {
  EXPECT_EQ(qfhost::FormatFixed(22938), "0.35");
  EXPECT_EQ(qfhost::FormatFixed(6554), "0.1");
  EXPECT_EQ(qfhost::FormatFixed(-50 * 65536), "-50");
  for (int32_t v = -3 * 65536; v <= 3 * 65536; v += 7) {
    const std::string s = qfhost::FormatFixed(v);
    ASSERT_EQ(std::llround(std::strtod(s.c_str(), nullptr) * 65536.0), v) << s;
  }
}

}  // namespace

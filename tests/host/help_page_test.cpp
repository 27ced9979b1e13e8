// The help page written at build time, against the parameters each
// deliverable declares when loaded here.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "qf_host/deliverable.h"
#include "qf_host/host_session.h"
#include "qf_host/loaded_effect.h"

namespace {

TEST(HelpPage, ListsEveryParameterOfBothBuildsWithItsDefault) {
  std::ifstream in(QF_HELP_PAGE);
  ASSERT_TRUE(in) << QF_HELP_PAGE;
  const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(page.find("</html>"), std::string::npos);
  size_t last_section = 0;
  for (const char* path : {QF_FLORAL_PATH, QF_GEOMETRY_PATH}) {
    SCOPED_TRACE(path);
    qfhost::HostSession host;
    qfhost::LoadedEffect effect(host, qfhost::Deliverable::Load(path));
    ASSERT_EQ(effect.GlobalSetup(), PF_Err_NONE);
    ASSERT_EQ(effect.ParamsSetup(), PF_Err_NONE);
    const size_t section = page.find("<h2>" + effect.deliverable().pipl().name + "</h2>");
    ASSERT_NE(section, std::string::npos);
    EXPECT_GT(section, last_section);
    last_section = section;
    const size_t end = page.find("</table>", section);
    // Each value-taking parameter has a row, in declaration order; sliders
    // show their default and valid range.
    size_t at = section;
    for (size_t i = 1; i < effect.param_count(); ++i) {
      const PF_ParamDef& def = effect.param(static_cast<PF_ParamIndex>(i)).def;
      if (def.param_type == PF_Param_GROUP_END || def.ui_flags & PF_PUI_CONTROL) continue;
      const size_t row = page.find(std::string("\">") + def.name + "</td>", at);
      ASSERT_LT(row, end) << def.name;
      at = row;
      if (def.param_type == PF_Param_SLIDER) {
        const std::string cells = "<td>" + std::to_string(def.u.sd.dephault) + "</td><td>" +
                                  std::to_string(def.u.sd.valid_min) + " to " +
                                  std::to_string(def.u.sd.valid_max) + "</td>";
        EXPECT_EQ(page.compare(page.find("<td>slider</td>", row) + 15, cells.size(), cells), 0)
            << def.name;
      }
    }
    effect.GlobalSetdown();
  }
}

}  // namespace

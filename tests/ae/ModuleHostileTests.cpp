#include "ModuleFixture.h"

#include <algorithm>

namespace brantok::lumaro::ae::test {
namespace {

using host::HostWorld;

constexpr A_long kSize = 8;
// The parameters of the first control slot.
constexpr PF_ParamIndex kFirstChoice = ControlParam(0, eControl::Choice);

// Packages made to hurt the plug-in, loaded the way a reopened project loads
// them: the path stored, the popup at the effect, the panel refreshed. What
// the package reader refuses (zip bombs, deep nesting) is tested beside it.
class ModuleHostileTest : public ModuleFixture {};

// The host's popup counts in a 16-bit number: a hundred thousand options fit
// it, names and count agreeing, and a default outside it is kept inside.
TEST_F(ModuleHostileTest, AHundredThousandOptionsAndAnyDefaultFitTheHostsPopup) {
  std::string options = "\"0\"";
  for (int i = 1; i < 100000; ++i) options += ",\"" + std::to_string(i) + "\"";
  // The kernel shows the choice's low 16 bits as red and green.
  const std::string kernel = Kernel("pick", ", uint choice",
                                    "write_imagef(output, (int2)(get_global_id(0), get_global_id(1)), "
                                    "(float4)((choice & 255) / 255.0f, ((choice >> 8) & 255) / 255.0f, 0.0f, 1.0f));");
  for (const std::string defaultIndex : {"5", "99999", "-3", "40000"}) {
    SCOPED_TRACE(defaultIndex);
    auto host = MakeHost(WritePackage("Pick", kernel,
                                      R"({"title": "Pick", "kernel": "pick", "controls": [{"class": "choice", )"
                                      R"("id": "c", "label": "C", "default": )" +
                                          defaultIndex + R"(, "options": [)" + options + "]}]}"));
    const auto& popup = host->Params().At(kFirstChoice);
    EXPECT_FALSE(popup.ui_flags & PF_PUI_INVISIBLE);
    EXPECT_EQ(popup.u.pd.num_choices, 32767);
    const auto names = host->Params().Text(kFirstChoice);
    EXPECT_EQ(std::count(names.begin(), names.end(), '|') + 1, popup.u.pd.num_choices);
    EXPECT_TRUE(defaultIndex != "5" || popup.u.pd.dephault == 6) << popup.u.pd.dephault;
    EXPECT_GE(popup.u.pd.dephault, 1);
    EXPECT_LE(popup.u.pd.dephault, popup.u.pd.num_choices);
    // Picking the effect writes the starting values: the value too.
    host->Params().SetPopupValue(Layout::EffectPopup, Layout::PopupEffect);
    EXPECT_EQ(host->UserChangedParam(sequence_, Layout::EffectPopup), PF_Err_NONE);
    EXPECT_GE(popup.u.pd.value, 1);
    EXPECT_LE(popup.u.pd.value, popup.u.pd.num_choices);

    // The user's choice reaches the kernel: 30000 = 0x7530.
    host->Params().SetPopupValue(kFirstChoice, 30001);
    HostWorld input(kSize, kSize);
    HostWorld output(kSize, kSize);
    ASSERT_EQ(host->Render(sequence_, input, output), PF_Err_NONE);
    EXPECT_EQ(output.Pixel(3, 3)[2], 0x30);
    EXPECT_EQ(output.Pixel(3, 3)[1], 0x75);
  }
}

TEST_F(ModuleHostileTest, LongTextsAreCutToTheHostsFields) {
  const std::string longText(1u << 20, 'L');
  auto host = MakeHost(WritePackage("Long", Kernel("k", ", float s", ""),
                                    R"({"title": ")" + longText +
                                        R"(", "kernel": "k", "controls": [)"
                                        R"({"class": "slider", "id": ")" +
                                        longText + R"(", "label": ")" + longText +
                                        R"(", "min": 0, "max": 1, "default": 0.5}]})"));
  const auto& slider = host->Params().At(kFirstSlider);
  EXPECT_EQ(std::string(slider.name), std::string(31, 'L'));
  EXPECT_FALSE(slider.ui_flags & PF_PUI_INVISIBLE);
  HostWorld input(kSize, kSize);
  HostWorld output(kSize, kSize);
  EXPECT_EQ(host->Render(sequence_, input, output), PF_Err_NONE);
}

} // namespace
} // namespace brantok::lumaro::ae::test

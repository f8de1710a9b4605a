#include "ModuleFixture.h"
#include "PackageWriter.h"

#include <algorithm>

namespace brantok::lumaro::ae::test {
namespace {

using host::HostWorld;

constexpr A_long kSize = 8;
constexpr PF_ParamIndex kEffectPopup = 3;
// The parameters of the first control slot.
constexpr PF_ParamIndex kFirstSlider = 7;
constexpr PF_ParamIndex kFirstChoice = 8;

const std::string kSignature = "(__read_only image2d_t input, __write_only image2d_t output, float time, int frame, "
                               "float duration";

std::size_t Items(const std::string& names) {
  return names.empty() ? 0 : static_cast<std::size_t>(std::count(names.begin(), names.end(), '|')) + 1;
}

// Packages made to hurt the plug-in, loaded the way a reopened project loads
// them: the path stored, the popup at the effect, the panel refreshed.
class ModuleHostileTest : public ModuleFixture {
protected:
  // The frame is copied through unchanged: the effect did not load or build.
  void ExpectCopied(host::EffectHost& host) {
    HostWorld input(kSize, kSize);
    input.FillPixels(0x42);
    HostWorld output(kSize, kSize);
    EXPECT_EQ(host.Render(sequence_, input, output), PF_Err_NONE);
    EXPECT_EQ(output.PackedPixels(), input.PackedPixels());
  }

  static std::string ChoiceMetadata(int options, const std::string& defaultIndex) {
    std::string list;
    for (int i = 0; i < options; ++i) list += (i ? ",\"" : "\"") + std::to_string(i) + "\"";
    return R"({"title": "Pick", "kernel": "pick", "controls": [{"class": "choice", "id": "c", "label": "C", )"
           R"("default": )" +
           defaultIndex + R"(, "options": [)" + list + "]}]}";
  }

  static std::string ChoiceKernel() {
    return "__kernel void pick" + kSignature +
           ", uint choice) { write_imagef(output, (int2)(get_global_id(0), get_global_id(1)), "
           "(float4)((choice & 255) / 255.0f, ((choice >> 8) & 255) / 255.0f, 0.0f, 1.0f)); }";
  }
};

TEST_F(ModuleHostileTest, DeeplyNestedMetadataLoadsNoEffect) {
  const std::string deep(100000, '[');
  auto host = MakeHost();
  for (const auto& metadata : {deep, R"({"title": "Deep", "kernel": "k", "controls": )" + deep + "}",
                               R"({"kernel": "k", "controls": [{"class": "choice", "id": "c", "label": "C", )"
                               R"("default": 0, "options": )" +
                                   deep + std::string(100000, ']') + "}]}"}) {
    ChooseEffect(*host, WritePackage("Deep", "__kernel void k" + kSignature + ") {}", metadata));
    EXPECT_TRUE(VisibleControlParams(*host).empty());
    ExpectCopied(*host);
  }
  TearDownHost(*host);
}

TEST_F(ModuleHostileTest, AZipBombKernelLoadsNoEffect) {
  const auto package = folder_ / "Bomb.lumaro-effect";
  lumaro::test::WritePackage(package, {{"kernel.cl", std::string(40u << 20, ' '), true},
                                       {"metadata.json", R"({"title": "Bomb", "kernel": "k"})", true}});
  auto host = MakeHost();
  ChooseEffect(*host, package);
  ExpectCopied(*host);
  TearDownHost(*host);
}

TEST_F(ModuleHostileTest, AHundredThousandOptionsFitTheHostsPopup) {
  auto host = MakeHost();
  ChooseEffect(*host, WritePackage("Pick", ChoiceKernel(), ChoiceMetadata(100000, "5")));
  const auto& popup = host->Params().At(kFirstChoice);
  EXPECT_FALSE(popup.ui_flags & PF_PUI_INVISIBLE);
  // The host's popup counts in a 16-bit number; names and count agree.
  EXPECT_EQ(popup.u.pd.num_choices, 32767);
  EXPECT_EQ(Items(host->Params().Text(kFirstChoice)), static_cast<std::size_t>(popup.u.pd.num_choices));
  EXPECT_EQ(popup.u.pd.dephault, 6);

  // The user's choice reaches the kernel: 30000 = 0x7530.
  host->Params().SetPopupValue(kFirstChoice, 30001);
  HostWorld input(kSize, kSize);
  HostWorld output(kSize, kSize);
  ASSERT_EQ(host->Render(sequence_, input, output), PF_Err_NONE);
  EXPECT_EQ(output.Pixel(3, 3)[2], 0x30);
  EXPECT_EQ(output.Pixel(3, 3)[1], 0x75);
  TearDownHost(*host);
}

TEST_F(ModuleHostileTest, AChoiceDefaultOutsideTheHostsPopupIsKeptInside) {
  for (const std::string defaultIndex : {"99999", "-3", "40000"}) {
    SCOPED_TRACE(defaultIndex);
    auto host = MakeHost();
    ChooseEffect(*host, WritePackage("Pick", ChoiceKernel(), ChoiceMetadata(100000, defaultIndex)));
    const auto& popup = host->Params().At(kFirstChoice);
    EXPECT_GE(popup.u.pd.dephault, 1);
    EXPECT_LE(popup.u.pd.dephault, popup.u.pd.num_choices);
    // Picking the effect writes the starting values: the value too.
    host->Params().SetPopupValue(kEffectPopup, 4);
    EXPECT_EQ(host->UserChangedParam(sequence_, kEffectPopup), PF_Err_NONE);
    EXPECT_GE(popup.u.pd.value, 1);
    EXPECT_LE(popup.u.pd.value, popup.u.pd.num_choices);
    TearDownHost(*host);
  }
}

TEST_F(ModuleHostileTest, AThousandControlsUseTheSixteenSlotsOnly) {
  std::string controls;
  for (int i = 0; i < 1000; ++i) {
    controls += (i ? "," : "") + std::string(R"({"class": "slider", "id": "s)") + std::to_string(i) +
                R"(", "label": "S", "min": 0, "max": 1, "default": 0})";
  }
  auto host = MakeHost();
  host->ClearUIUpdates();
  ChooseEffect(*host, WritePackage("Crowd", "__kernel void k" + kSignature + ", float s0) {}",
                                   R"({"title": "Crowd", "kernel": "k", "controls": [)" + controls + "]}"));
  for (const auto& update : host->UIUpdates()) {
    EXPECT_GE(update.index, 1);
    EXPECT_LE(update.index, 101);
  }
  // The kernel takes one control, the metadata lists a thousand: no build.
  ExpectCopied(*host);
  TearDownHost(*host);
}

TEST_F(ModuleHostileTest, LongTextsAreCutToTheHostsFields) {
  const std::string longText(1u << 20, 'L');
  auto host = MakeHost();
  ChooseEffect(*host, WritePackage("Long", "__kernel void k" + kSignature + ", float s) {}",
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
  TearDownHost(*host);
}

} // namespace
} // namespace brantok::lumaro::ae::test

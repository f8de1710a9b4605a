// The panel an effect gets and the frames it renders.
#include "ModuleFixture.h"
#include "core/PathText.h"
#include "gpu/opencl/Context.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace brantok::lumaro::ae::test {
namespace {

using host::EffectHost;
using host::FrameTime;
using host::HostWorld;

constexpr A_long kWidth = 16;
constexpr A_long kHeight = 8;

using lumaro::test::Rgba;

Rgba OutputPixel(const HostWorld& world, A_long x, A_long y) {
  return lumaro::test::UnpackPixel(world.Pixel(x, y), ModuleFixture::Packing(world));
}

class ModuleParameterUITest : public ModuleFixture {};

TEST_F(ModuleParameterUITest, AReopenedProjectShowsTheEffectsLabelsAndRangesBeforeAnyUserAction) {
  // Only what a host sends unasked when it opens a project: set-ups, the
  // stored record back, the stored values (the path, the popup at the effect)
  // and the panel refresh the strict host sends because the plug-in asked.
  for (const auto app : {host::eHostApp::PremierePro, host::eHostApp::AfterEffects}) {
    SCOPED_TRACE(app == host::eHostApp::PremierePro ? "Premiere Pro" : "After Effects");
    auto host = MakeHost(app);
    ASSERT_EQ(host->SequenceResetup(sequence_), PF_Err_NONE);
    ChooseEffect(*host, Example("WarmGlow"));
    auto& params = host->Params();
    EXPECT_EQ(params.Text(Layout::EffectPopup), "None|Browse...|(-|WarmGlow");
    EXPECT_EQ(VisibleControlParams(*host), (std::vector<PF_ParamIndex>{kWarmGlowAmount, kWarmGlowTint}));

    const auto& amount = params.At(kWarmGlowAmount);
    EXPECT_EQ(Name(amount), "Amount");
    EXPECT_EQ(amount.u.fs_d.valid_min, 0.0f);
    EXPECT_EQ(amount.u.fs_d.valid_max, 1.0f);
    EXPECT_EQ(amount.u.fs_d.slider_min, 0.0f);
    EXPECT_EQ(amount.u.fs_d.slider_max, 1.0f);
    EXPECT_EQ(amount.u.fs_d.dephault, 0.5f);
    EXPECT_EQ(amount.u.fs_d.precision, 2); // a range below 10
    EXPECT_EQ(amount.ui_flags & PF_PUI_DISABLED, 0);
    EXPECT_EQ(amount.u.fs_d.value, 0.0) << "refreshing the panel sets no value";

    const auto& tint = params.At(kWarmGlowTint);
    EXPECT_EQ(Name(tint), "Tint");
    EXPECT_EQ(tint.u.cd.dephault.red, 255);
    EXPECT_EQ(tint.u.cd.dephault.green, 255);
    EXPECT_EQ(tint.u.cd.dephault.blue, 255);
    EXPECT_TRUE(host->Params().ChangedValues().empty());

    // A second refresh finds the effect loaded for the sequence and shows the same.
    EXPECT_EQ(host->UpdateParamsUI(sequence_), PF_Err_NONE);
    EXPECT_EQ(VisibleControlParams(*host), (std::vector<PF_ParamIndex>{kWarmGlowAmount, kWarmGlowTint}));
    EXPECT_EQ(host->UnsentCommands(), 0);
  }
}

TEST_F(ModuleParameterUITest, AChoiceShowsItsOptionsAndWideRangesKeepOneDecimal) {
  auto host = MakeHost(Example("ToneChoice"));
  auto& params = host->Params();
  EXPECT_EQ(params.Text(kToneChoiceTone), "Sepia|Monochrome|Invert");
  EXPECT_EQ(params.At(kToneChoiceTone).u.pd.num_choices, 3);
  EXPECT_EQ(params.At(kToneChoiceTone).u.pd.dephault, 1);
  const auto& levels = params.At(kToneChoiceLevels).u.fs_d;
  EXPECT_EQ(levels.precision, 1);
  EXPECT_EQ((std::array{levels.valid_min, levels.slider_min, levels.valid_max, levels.slider_max}),
            (std::array{2.0f, 2.0f, 32.0f, 32.0f}));
}

class ModuleRenderTest : public ModuleFixture {
protected:
  HostPtr WarmGlowHost() {
    auto host = MakeHost(Example("WarmGlow"));
    host->Params().SetFloatSliderValue(kWarmGlowAmount, 0.7);
    host->Params().SetColorValue(kWarmGlowTint, PF_Pixel{255, 255, 204, 153});
    return host;
  }

  void ExpectWarmGlow(const HostWorld& output) {
    const bool eightBit = output.Format() != PrPixelFormat_BGRA_4444_32f;
    const float tolerance = eightBit ? 1.01f / 255.0f : 2e-3f;
    for (A_long y = 0; y < kHeight; ++y) {
      for (A_long x = 0; x < kWidth; ++x) {
        const auto input = eightBit ? lumaro::test::Quantised(InputPixel(output, x, y)) : InputPixel(output, x, y);
        // Amount 0.7, tint (1, 0.8, 0.6): the values WarmGlowHost sets.
        const auto expected = lumaro::test::WarmGlow(input, 0.7f, {1.0f, 0.8f, 0.6f});
        const auto actual = OutputPixel(output, x, y);
        for (int c = 0; c < 4; ++c) {
          ASSERT_NEAR(actual[c], expected[c], tolerance) << "pixel " << x << "," << y << " channel " << c;
        }
      }
    }
  }
};

TEST_F(ModuleRenderTest, EightBitFramesTakeTheDirectPathAndFloatFramesTheSwizzlePath) {
  // The device decides the path: PoCL stores blue-green-red images only in
  // 8 bits, so float frames must go through the swizzle kernel to render.
  std::shared_ptr<gpu::IContext> context = gpu::opencl::Context::CreateContext();
  ASSERT_NE(context, nullptr);
  const auto formats = context->GetSupportedImageFormats(gpu::eMemoryDeviceAccess::ReadWrite);
  const bool swizzles = !formats.count(gpu::eGpuFormat::BGRA32F) && formats.count(gpu::eGpuFormat::RGBA32F);
  if (!swizzles) std::cout << "This device stores BGRA float images: both formats render directly.\n";

  // Either path gets the same picture whatever the row order of each world.
  auto host = WarmGlowHost();
  for (const auto format : {PrPixelFormat_BGRA_4444_8u, PrPixelFormat_BGRA_4444_32f}) {
    for (const bool bottomUp : {false, true}) {
      SCOPED_TRACE(std::to_string(format) + (bottomUp ? " bottom-up" : ""));
      HostWorld input(kWidth, kHeight, format, 12, bottomUp);
      HostWorld output(kWidth, kHeight, format, 4, !bottomUp);
      FillInput(input);
      ASSERT_EQ(host->Render(sequence_, input, output), PF_Err_NONE);
      ExpectWarmGlow(output);
      EXPECT_TRUE(output.PaddingIntact());
    }
  }
}

TEST_F(ModuleRenderTest, TheKernelSeesThePictureTopRowFirstWhateverEachWorldsRowOrder) {
  // The kernel copies what it reads at its own coordinate: a 4x4 output of a
  // 4x8 input shows the picture's top four rows, the same way up every time.
  const auto package = WritePackage(
      "Pass",
      Kernel("pass", "",
             "int2 at = (int2)(get_global_id(0), get_global_id(1)); write_imagef(output, at, read_imagef(input, at));"),
      R"({"title": "Pass", "kernel": "pass"})");
  auto host = MakeHost(package);
  for (const bool inputBottomUp : {false, true}) {
    for (const bool outputBottomUp : {false, true}) {
      SCOPED_TRACE(std::to_string(inputBottomUp) + std::to_string(outputBottomUp));
      HostWorld input(4, 8, PrPixelFormat_BGRA_4444_8u, 0, inputBottomUp);
      for (A_long y = 0; y < 8; ++y) {
        for (A_long x = 0; x < 4; ++x) std::fill_n(input.Pixel(x, y), 4, static_cast<std::uint8_t>(10 * y + x));
      }
      HostWorld output(4, 4, PrPixelFormat_BGRA_4444_8u, 0, outputBottomUp);
      ASSERT_EQ(host->Render(sequence_, input, output), PF_Err_NONE);
      const auto picture = input.PackedPixels();
      EXPECT_EQ(output.PackedPixels(), std::vector<std::uint8_t>(picture.begin(), picture.begin() + 4 * 4 * 4));
    }
  }
}

TEST_F(ModuleRenderTest, AFrameTheKernelDidNotWriteIsACopyNeverAnEarlierFrame) {
  // The driver finds no work-group size that divides the frame into 7 x 7, so
  // the launch fails after every argument was set.
  const auto failing =
      WritePackage("Fixed",
                   "__kernel __attribute__((reqd_work_group_size(7, 7, 1))) void fixed(__read_only image2d_t input, "
                   "__write_only image2d_t output, float time, int frame, float duration) { write_imagef(output, "
                   "(int2)(get_global_id(0), get_global_id(1)), (float4)(1.0f)); }",
                   R"({"title": "Fixed", "kernel": "fixed"})");
  auto host = WarmGlowHost();
  HostWorld input(kWidth, kHeight);
  FillInput(input);
  HostWorld glow(kWidth, kHeight);
  ASSERT_EQ(host->Render(sequence_, input, glow), PF_Err_NONE);
  ExpectWarmGlow(glow); // the pooled images now hold this clip's frame

  int other = -1;
  ASSERT_EQ(host->SequenceSetup(other), PF_Err_NONE);
  ASSERT_TRUE(host->Params().WriteArbitraryText(Layout::EffectPath, core::PathToUtf8(failing)));
  ASSERT_EQ(host->UpdateParamsUI(other), PF_Err_NONE);
  ExpectPassThrough(*host, other);
}

TEST_F(ModuleRenderTest, HostSliderValuesReachTheKernelInsideTheControlsRange) {
  const auto package =
      WritePackage("Level",
                   Kernel("level", ", float level",
                          "write_imagef(output, (int2)(get_global_id(0), get_global_id(1)), (float4)(level / 4.0f));"),
                   R"({"title": "Level", "kernel": "level", "controls": [
          {"class": "slider", "id": "level", "label": "Level", "min": 1, "max": 3, "default": 2}]})");
  auto host = MakeHost(package);
  const std::vector<std::pair<double, float>> cases{
      {1e300, 0.75f}, {-1e300, 0.25f}, {std::nan(""), 0.5f}, {2.5, 0.625f}};
  for (const auto& [value, expected] : cases) {
    SCOPED_TRACE(value);
    host->Params().SetFloatSliderValue(kFirstSlider, value);
    HostWorld input(kWidth, kHeight, PrPixelFormat_BGRA_4444_32f);
    HostWorld output(kWidth, kHeight, PrPixelFormat_BGRA_4444_32f);
    ASSERT_EQ(host->Render(sequence_, input, output), PF_Err_NONE);
    EXPECT_EQ(OutputPixel(output, 1, 1)[0], expected);
  }
}

TEST_F(ModuleRenderTest, PointsAnglesAndCheckboxesReachTheKernelAndAPointKeepsItsPlaceAtHalfResolution) {
  const auto package = WritePackage(
      "Kinds",
      Kernel("kinds", ", float2 centre, float beam, int invert",
             "write_imagef(output, (int2)(get_global_id(0), get_global_id(1)), (float4)(centre.x, centre.y, beam / "
             "360.0f, invert));"),
      R"({"title": "Kinds", "kernel": "kinds", "controls": [
          {"class": "point", "id": "centre", "label": "Centre", "default": [0.5, 0.25]},
          {"class": "angle", "id": "beam", "label": "Beam", "default": 0},
          {"class": "checkbox", "id": "invert", "label": "Invert", "default": false}]})");
  constexpr auto kPoint = ControlParam(0, eControl::Point);
  constexpr auto kAngle = ControlParam(1, eControl::Angle);
  constexpr auto kCheckbox = ControlParam(2, eControl::Checkbox);
  auto host = MakeHost();
  host->SetLayerSize(kWidth, kHeight);
  ChooseEffect(*host, package);
  EXPECT_EQ(VisibleControlParams(*host), (std::vector<PF_ParamIndex>{kPoint, kAngle, kCheckbox}));
  // Chosen again, the panel shows a point's default in percent of the layer.
  ASSERT_EQ(host->UserChangedParam(sequence_, Layout::EffectPopup), PF_Err_NONE);
  EXPECT_EQ(host->Params().At(kPoint).u.td.y_dephault, 25 << 16);
  // The host keeps the point in the layer's full-resolution pixels.
  host->Params().SetPointValue(kPoint, 4.0, 6.0);
  host->Params().SetAngleValue(kAngle, 90.0);
  host->Params().SetCheckboxValue(kCheckbox, true);
  // 0 stands for a host that gives no scale (0/1): full resolution.
  for (const A_long scale : {1, 2, 0}) {
    for (const bool bottomUp : {false, true}) {
      SCOPED_TRACE(std::to_string(scale) + (bottomUp ? " bottom-up" : ""));
      const A_long den = std::max<A_long>(scale, 1);
      const PF_RationalScale downsample{scale ? 1 : 0, static_cast<A_u_long>(den)};
      host->SetDownsample(downsample, downsample);
      HostWorld input(kWidth / den, kHeight / den, PrPixelFormat_BGRA_4444_32f, 0, bottomUp);
      HostWorld output(kWidth / den, kHeight / den, PrPixelFormat_BGRA_4444_32f, 0, bottomUp);
      ASSERT_EQ(host->Render(sequence_, input, output), PF_Err_NONE);
      EXPECT_EQ(OutputPixel(output, 0, 0), (Rgba{0.25f, 0.75f, 0.25f, 1.0f}));
    }
  }
}

// The effect is off, or its package cannot be used: no control is shown (a
// failed build's are shown disabled) and frames pass through.
TEST_F(ModuleRenderTest, WithoutAUsableEffectNoControlIsUsableAndTheFrameIsCopied) {
  const auto broken = WritePackage("Broken", "__kernel void broken( {", R"({"title": "B", "kernel": "broken",
      "controls": [{"class": "slider", "id": "s", "label": "S", "min": 0, "max": 1, "default": 0}]})");
  struct Case {
    std::string name;
    std::filesystem::path package;
    A_long popup;
  };
  const std::vector<Case> cases{{"popup at None", Example("WarmGlow"), Layout::PopupNone},
                                {"missing package", folder_ / "Missing.lumaro-effect", Layout::PopupEffect},
                                {"no path", {}, Layout::PopupEffect},
                                {"failed build", broken, Layout::PopupEffect}};
  for (const auto& [name, package, popup] : cases) {
    SCOPED_TRACE(name);
    auto host = MakeHost(package);
    // A frame asked for while the effect is still loaded, then the panel.
    host->Params().SetPopupValue(Layout::EffectPopup, popup);
    ExpectPassThrough(*host, sequence_);
    EXPECT_EQ(host->UpdateParamsUI(sequence_), PF_Err_NONE);
    if (package == broken) {
      EXPECT_EQ(VisibleControlParams(*host), std::vector<PF_ParamIndex>{kFirstSlider});
      EXPECT_TRUE(host->Params().At(kFirstSlider).ui_flags & PF_PUI_DISABLED);
    } else {
      EXPECT_TRUE(VisibleControlParams(*host).empty());
    }
    if (popup == Layout::PopupNone) {
      EXPECT_EQ(host->Params().Text(Layout::EffectPopup), "None|Browse...|(-|WarmGlow")
          << "the stored path still names the effect";
    }
  }
}

TEST_F(ModuleRenderTest, AfterEffectsRefusesFramesThatNeedTheEffect) {
  auto host = MakeHost(Example("WarmGlow"), host::eHostApp::AfterEffects);
  ExpectPassThrough(*host, sequence_, PF_Err_UNRECOGNIZED_PARAM_TYPE);
  // Without the effect, After Effects gets the frame through.
  host->Params().SetPopupValue(Layout::EffectPopup, Layout::PopupNone);
  ExpectPassThrough(*host, sequence_);
}

TEST_F(ModuleRenderTest, FormatsOutsideTheSupportedPairAreRefused) {
  auto host = WarmGlowHost();
  ExpectPassThrough(*host, sequence_, PF_Err_UNRECOGNIZED_PARAM_TYPE, PrPixelFormat_ARGB_4444_8u);
  {
    HostWorld input(kWidth, kHeight, PrPixelFormat_VUYA_4444_8u);
    HostWorld output(kWidth, kHeight, PrPixelFormat_VUYA_4444_8u);
    output.FillPixels(0x22);
    EXPECT_NE(host->Render(sequence_, input, output), PF_Err_NONE);
    EXPECT_EQ(host->LastReturnMessage(), "Unsupported Premiere pixel format");
    EXPECT_EQ(output.PackedPixels(), std::vector<std::uint8_t>(kWidth * kHeight * 4, 0x22));
  }
}

TEST_F(ModuleRenderTest, ControlsBeyondTheSixteenthAreNotShownButStillReachTheKernel) {
  std::string arguments, controls;
  for (int i = 0; i < 17; ++i) {
    arguments += ", float s" + std::to_string(i);
    if (i) controls += ",";
    const auto value = std::to_string(i);
    controls += R"({"class": "slider", "id": "s)" + value + R"(", "label": "S", "min": )" + value + R"(, "max": )" +
                std::to_string(i + 10) + R"(, "default": )" + value + "}";
  }
  const auto package =
      WritePackage("Many",
                   Kernel("many", arguments,
                          "write_imagef(output, (int2)(get_global_id(0), get_global_id(1)), (float4)(s16 / 50.0f));"),
                   R"({"title": "Many", "kernel": "many", "controls": [)" + controls + "]}");
  auto host = MakeHost(package);
  std::vector<PF_ParamIndex> shown;
  for (A_long slot = 0; slot < Layout::ControlSlots; ++slot) shown.push_back(ControlParam(slot, eControl::Slider));
  EXPECT_EQ(VisibleControlParams(*host), shown);
  EXPECT_EQ(host->Params().At(kFirstSlider).u.fs_d.precision, 1); // a range of exactly 10 is a wide one
  for (const auto& update : host->UIUpdates()) EXPECT_LE(update.index, Layout::LastControlParam);
  HostWorld input(kWidth, kHeight);
  HostWorld output(kWidth, kHeight);
  ASSERT_EQ(host->Render(sequence_, input, output), PF_Err_NONE);
  for (const auto byte : output.PackedPixels()) ASSERT_NEAR(byte, 82, 1); // 16 / 50 of 255
}

TEST_F(ModuleRenderTest, TimeReachesTheKernelAndAZeroStepGivesFrameZero) {
  const auto package = WritePackage("Clock",
                                    Kernel("clock", "",
                                           "write_imagef(output, (int2)(get_global_id(0), get_global_id(1)), "
                                           "(float4)(time / 10.0f, frame / 100.0f, duration / 10.0f, 1.0f));"),
                                    R"({"title": "Clock", "kernel": "clock"})");
  auto host = MakeHost(package);
  HostWorld input(kWidth, kHeight, PrPixelFormat_BGRA_4444_32f);
  HostWorld output(kWidth, kHeight, PrPixelFormat_BGRA_4444_32f);
  ASSERT_EQ(host->Render(sequence_, input, output, FrameTime{2500, 100, 8000, 1000}), PF_Err_NONE);
  auto pixel = OutputPixel(output, 3, 2);
  EXPECT_NEAR(pixel[0], 0.25f, 1e-5f);
  EXPECT_NEAR(pixel[1], 0.25f, 1e-5f);
  EXPECT_NEAR(pixel[2], 0.8f, 1e-5f);
  ASSERT_EQ(host->Render(sequence_, input, output, FrameTime{2500, 0, 8000, 1000}), PF_Err_NONE);
  EXPECT_NEAR(OutputPixel(output, 3, 2)[1], 0.0f, 1e-6f);
}

} // namespace
} // namespace brantok::lumaro::ae::test

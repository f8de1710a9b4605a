#include "correction/PromptEffect.h"

#include "LogCapture.h"
#include "PackageWriter.h"
#include "Pixels.h"
#include "TempFolder.h"
#include "correction/EffectCache.h"
#include "correction/effects/IRangeControl.h"
#include "correction/effects/controls/Angle.h"
#include "correction/effects/controls/Checkbox.h"
#include "correction/effects/controls/Choice.h"
#include "correction/effects/controls/ColorPicker.h"
#include "correction/effects/controls/Point.h"
#include "correction/effects/controls/Slider.h"
#include "correction/effects/library/Entry.h"
#include "gpu/IImage2D.h"
#include "gpu/IProgram.h"
#include "gpu/IQueue.h"
#include "gpu/opencl/Context.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <functional>

namespace brantok::lumaro::correction {
namespace {

using effects::Color;
using effects::IControl;
using effects::library::Entry;
using Pixel = test::Rgba;
using Reference = std::function<Pixel(const Pixel&, int x, int y)>;

constexpr int kWidth = 19;
constexpr int kHeight = 11;

// A ramp over both axes with the edge values 0 and 1 in it.
std::vector<Pixel> InputRamp() {
  std::vector<Pixel> pixels;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const float u = static_cast<float>(x) / (kWidth - 1);
      const float v = static_cast<float>(y) / (kHeight - 1);
      pixels.push_back({u, v, 1.0f - u, 0.5f + 0.5f * v});
    }
  }
  return pixels;
}

// The effect cache and the prompt effect, on the machine's OpenCL device.
class EffectGpuTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { context_ = gpu::opencl::Context::CreateContext(); }
  static void TearDownTestSuite() { context_.reset(); }

  void SetUp() override {
    ASSERT_NE(context_, nullptr) << "no OpenCL device";
    cache_ = std::make_shared<EffectCache>(context_);
    queue_ = context_->CreateQueue("test-queue");
  }

  std::filesystem::path Package(const std::string& kernel, const std::string& metadata,
                                const std::string& name = "Effect") {
    const auto path = folder_ / (name + ".lumaro-effect");
    test::WritePackage(path, test::StandardEntries(kernel, metadata, "prompt"));
    return path;
  }

  std::shared_ptr<PromptEffect> Load(const std::filesystem::path& package) {
    Entry entry(package);
    return std::make_shared<PromptEffect>(entry, *cache_);
  }

  // Uploads `input` in `format`, applies the effect and reads the result back
  // as floats.
  std::vector<Pixel> Render(PromptEffect& effect, gpu::eGpuFormat format, const std::vector<Pixel>& input,
                            const std::optional<RenderTime>& time, bool* applied = nullptr) {
    const gpu::Int2 size{kWidth, kHeight};
    auto in = context_->CreateImage2D(size, format, gpu::eMemoryDeviceAccess::ReadWrite,
                                      gpu::eMemoryHostAccess::ReadWrite, gpu::eMemoryLocation::Device, "input");
    auto out = context_->CreateImage2D(size, format, gpu::eMemoryDeviceAccess::ReadWrite,
                                       gpu::eMemoryHostAccess::ReadWrite, gpu::eMemoryLocation::Device, "output");
    const auto packing = format == gpu::eGpuFormat::BGRA8 ? test::ePacking::Bgra8 : test::ePacking::Rgba32f;
    const auto pixelSize = test::PackedSize(packing);
    std::vector<std::uint8_t> bytes(input.size() * pixelSize);
    for (std::size_t i = 0; i < input.size(); ++i) test::PackPixel(input[i], packing, &bytes[i * pixelSize]);
    queue_->WriteImage(*in, {0, 0}, size, bytes, 0, std::nullopt);
    const bool result = effect.Apply(*cache_, *in, *out, *queue_, size, time);
    if (applied) *applied = result;
    std::vector<std::uint8_t> read(bytes.size()); // the queue writes into the caller's memory
    queue_->ReadImage(*out, read);
    queue_->Finish();
    std::vector<Pixel> pixels(input.size());
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = test::UnpackPixel(&read[i * pixelSize], packing);
    return pixels;
  }

  // Compares the GPU result with the formula computed here, on the input as
  // the GPU saw it (8-bit input is quantised first).
  void ExpectMatches(PromptEffect& effect, const Reference& reference) {
    for (const auto format : {gpu::eGpuFormat::BGRA8, gpu::eGpuFormat::RGBA32F}) {
      const bool eightBit = format == gpu::eGpuFormat::BGRA8;
      auto input = InputRamp();
      if (eightBit) std::transform(input.begin(), input.end(), input.begin(), test::Quantised);
      bool applied = false;
      const auto output = Render(effect, format, input, std::nullopt, &applied);
      ASSERT_TRUE(applied);
      const float tolerance = eightBit ? 1.01f / 255.0f : 2e-3f;
      for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
          const auto i = static_cast<std::size_t>(y * kWidth + x);
          const Pixel expected = reference(input[i], x, y);
          for (int c = 0; c < 4; ++c) {
            ASSERT_NEAR(output[i][c], expected[c], tolerance) << effect.GetName() << " at " << x << "," << y
                                                              << " channel " << c << (eightBit ? " BGRA8" : " RGBA32F");
          }
        }
      }
    }
  }

  int Compiles() const { return log_.Count("OpenCL program '"); }

  static std::shared_ptr<gpu::IContext> context_;
  test::TempFolder folder_;
  test::LogCapture log_;
  std::shared_ptr<EffectCache> cache_;
  std::unique_ptr<gpu::IQueue> queue_;
};

std::shared_ptr<gpu::IContext> EffectGpuTest::context_;
using EffectCacheTest = EffectGpuTest;
using PromptEffectTest = EffectGpuTest;

float Clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

TEST_F(PromptEffectTest, SpotlightMatchesItsFormula) {
  const auto effect = Load(std::filesystem::path(LUMARO_EFFECTS_DIR) / "Spotlight.lumaro-effect");
  ASSERT_TRUE(effect->IsReady());
  // A point, an angle and a checkbox reach the kernel beside two sliders.
  std::dynamic_pointer_cast<effects::controls::Point>(effect->FindControl("centre"))->SetPosition({0.3f, 0.6f});
  std::dynamic_pointer_cast<effects::controls::Angle>(effect->FindControl("beam"))->SetDegrees(30.0f);
  std::dynamic_pointer_cast<effects::controls::Checkbox>(effect->FindControl("invert"))->SetChecked(true);
  std::dynamic_pointer_cast<effects::IRangeControl>(effect->FindControl("radius"))->SetNumber(0.4f);
  std::dynamic_pointer_cast<effects::IRangeControl>(effect->FindControl("darkness"))->SetNumber(0.8f);
  ExpectMatches(*effect, [](const Pixel& p, int x, int y) {
    const float dx = (x + 0.5f - 0.3f * kWidth) / kHeight;
    const float dy = (y + 0.5f - 0.6f * kHeight) / kHeight;
    const float a = 30.0f * 3.14159265f / 180.0f;
    const float u = (dx * std::cos(a) - dy * std::sin(a)) / 2.0f;
    const float v = dx * std::sin(a) + dy * std::cos(a);
    const float t = Clamp01((std::sqrt(u * u + v * v) / 0.4f - 0.7f) / 0.3f);
    const float light = t * t * (3.0f - 2.0f * t); // inverted: 1 - (1 - smoothstep)
    const float scale = 1.0f - 0.8f * (1.0f - light);
    return Pixel{p[0] * scale, p[1] * scale, p[2] * scale, p[3]};
  });
}

const std::string kTimeKernel =
    "__kernel void show_time(__read_only image2d_t input, __write_only image2d_t output,\n"
    "                        float time, int frame, float duration, float gain) {\n"
    "  write_imagef(output, (int2)(get_global_id(0), get_global_id(1)), (float4)(time, frame, duration, gain));\n"
    "}\n";
const std::string kTimeMetadata = R"({"title": "", "kernel": "show_time", "controls": [
    {"class": "slider", "id": "gain", "label": "Gain", "min": 0, "max": 1, "default": 0.25}]})";

TEST_F(PromptEffectTest, ArgumentCountMismatchStaysUnbuiltWithoutRecompiling) {
  // Two controls need seven arguments; this kernel has six.
  const std::string metadata = R"({"kernel": "show_time", "controls": [
      {"class": "slider", "id": "gain", "label": "Gain", "min": 0, "max": 1, "default": 0.25},
      {"class": "color", "id": "tint", "label": "Tint"}]})";
  const auto effect = Load(Package(kTimeKernel, metadata));
  EXPECT_FALSE(effect->IsReady());
  EXPECT_TRUE(effect->HasBuildFailed());
  EXPECT_EQ(effect->GetControls().size(), 2u) << "shown disabled beside the failure";
  EXPECT_EQ(log_.Count("PromptEffect::BuildFromSource failed due to unexpected program argument count"), 1);

  for (int frame = 0; frame < 2; ++frame) {
    bool applied = true;
    Render(*effect, gpu::eGpuFormat::RGBA32F, InputRamp(), std::nullopt, &applied);
    EXPECT_FALSE(applied);
  }
  EXPECT_EQ(log_.Count("No program for prompt effect 'Effect', building from source..."), 2);
  EXPECT_EQ(log_.Count("PromptEffect::BuildFromSource failed due to unexpected program argument count"), 3);
  EXPECT_EQ(Compiles(), 1); // the cache hands back the compiled program
}

TEST_F(PromptEffectTest, TheKernelTheMetadataNamesRunsWhateverTheDriverListsFirstWithTheFrameValues) {
  // A helper kernel of the same signature that paints everything white.
  const std::string helper = "__kernel void helper(__read_only image2d_t input, __write_only image2d_t output,\n"
                             "                     float time, int frame, float duration, float gain) {\n"
                             "  write_imagef(output, (int2)(get_global_id(0), get_global_id(1)), (float4)(1.0f));\n"
                             "}\n";
  const auto effect = Load(Package(helper + kTimeKernel, kTimeMetadata, "Two"));
  ASSERT_TRUE(effect->IsReady());
  EXPECT_EQ(effect->GetName(), "Two"); // an empty title keeps the file's name
  const auto swapped = Load(Package(kTimeKernel + helper, kTimeMetadata, "Swapped"));
  ASSERT_TRUE(swapped->IsReady());
  for (auto* loaded : {effect.get(), swapped.get()}) {
    const auto output = Render(*loaded, gpu::eGpuFormat::RGBA32F, InputRamp(), RenderTime{1.5, 7, 10.0});
    EXPECT_EQ(output.back(), (Pixel{1.5f, 7.0f, 10.0f, 0.25f}));
    // Without a render time the frame values are zero.
    EXPECT_EQ(Render(*loaded, gpu::eGpuFormat::RGBA32F, InputRamp(), std::nullopt)[0],
              (Pixel{0.0f, 0.0f, 0.0f, 0.25f}));
  }

  const auto missing = Load(Package(helper, kTimeMetadata, "Missing"));
  EXPECT_TRUE(missing->HasBuildFailed());
  EXPECT_FALSE(missing->IsReady());
  EXPECT_EQ(missing->GetBuildError(), "The kernel source has no kernel named 'show_time'");
  EXPECT_EQ(log_.Count("PromptEffect::BuildFromSource failed: The kernel source has no kernel named 'show_time'"), 1);
}

TEST_F(PromptEffectTest, AKernelWhoseArgumentsDoNotFitItsControlsIsNotBuilt) {
  const std::string metadata = R"({"kernel": "k", "controls": [
      {"class": "slider", "id": "gain", "label": "Gain", "min": 0, "max": 1, "default": 0.25},
      {"class": "color", "id": "tint", "label": "Tint"},
      {"class": "choice", "id": "mode", "label": "Mode", "options": ["a", "b"], "default": 0}]})";
  const std::string images = "__read_only image2d_t input, __write_only image2d_t output, ";
  struct Case {
    std::string arguments;
    std::string error; // empty: builds
  };
  const std::vector<Case> cases{
      {images + "float t, int f, float d, float gain, float4 tint, uint mode", ""},
      {images + "float t, uint f, float d, float gain, float4 tint, int mode", ""},
      {images + "float t, int f, float d, float gain, float4 tint, float mode",
       "Kernel argument 7 'mode' is declared 'float' but control 'mode' needs 'uint' or 'int' or 'unsigned int'"},
      {images + "float t, float f, float d, float gain, float4 tint, uint mode",
       "Kernel argument 3 'f' is declared 'float' but the frame index needs 'int' or 'uint' or 'unsigned int'"},
      {"__global float4* input, __global float4* output, float t, int f, float d, float gain, float4 tint, uint mode",
       "Kernel argument 0 'input' is declared '__global float4*' but the input image needs '__read_only image2d_t'"},
      {"__read_only image2d_t input, __read_only image2d_t output, float t, int f, float d, float gain, float4 tint, "
       "uint mode",
       "Kernel argument 1 'output' is declared '__read_only image2d_t' but the output image needs '__write_only "
       "image2d_t'"},
  };
  int refused = 0;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const auto& [arguments, error] = cases[i];
    // An empty body compiles whatever "output" is declared as.
    const auto effect = Load(Package("__kernel void k(" + arguments + ") {}", metadata, "Case" + std::to_string(i)));
    EXPECT_EQ(effect->IsReady(), error.empty()) << arguments;
    EXPECT_EQ(effect->HasBuildFailed(), !error.empty()) << arguments;
    EXPECT_EQ(effect->GetBuildError(), error) << arguments;
    if (!error.empty()) {
      EXPECT_EQ(log_.Count("PromptEffect::BuildFromSource failed: " + error), 1) << arguments;
      ++refused;
    }
  }
  EXPECT_EQ(refused, 4);
}

TEST_F(PromptEffectTest, BuildErrorsAreLoggedWithTheCachesMessageOrAsMissingSource) {
  const auto noKernel = Load(Package(kTimeKernel, R"({"title": "No Kernel"})", "A"));
  EXPECT_TRUE(noKernel->HasBuildFailed());
  EXPECT_EQ(noKernel->GetName(), "No Kernel");
  EXPECT_EQ(log_.Count("PromptEffect::BuildFromSource failed due to program build error: "
                       "No entry point defined in metadata"),
            1);

  const auto broken = Load(Package("__kernel void show_time( {", R"({"kernel": "show_time"})", "B"));
  EXPECT_TRUE(broken->HasBuildFailed());
  EXPECT_EQ(log_.Count("PromptEffect::BuildFromSource failed due to program build error: "), 2);
  EXPECT_EQ(log_.Lines().front(), "Importing 'A' prompt effect from " + (folder_ / "A.lumaro-effect").string() + "...");

  // A package without metadata gives an effect with no controls that never applies.
  test::WritePackage(folder_ / "Broken Package.lumaro-effect", {{"kernel.cl", kTimeKernel}});
  const auto unreadable = Load(folder_ / "Broken Package.lumaro-effect");
  EXPECT_EQ(unreadable->GetName(), "Broken Package");
  EXPECT_FALSE(unreadable->IsReady());
  EXPECT_TRUE(unreadable->HasBuildFailed());
  EXPECT_TRUE(unreadable->GetControls().empty());
  EXPECT_EQ(log_.Count("PromptEffect::BuildFromSource failed due to missing source"), 1);
  bool applied = true;
  Render(*unreadable, gpu::eGpuFormat::RGBA32F, InputRamp(), std::nullopt, &applied);
  EXPECT_FALSE(applied);
}

TEST_F(PromptEffectTest, RebuildCarriesValuesOverByIdAndKindAndFindControlTakesTheFirstOfAnId) {
  // An effect without a source never touches the GPU; SetControls alone decides.
  test::WritePackage(folder_ / "Bare.lumaro-effect", {{"prompt.txt", "p"}});
  const auto effect = Load(folder_ / "Bare.lumaro-effect");
  using namespace effects::controls;
  using effects::ControlValue;
  using effects::Position;
  using Values = std::vector<std::pair<std::string, ControlValue>>;
  const std::vector<std::string> abc{"A", "B", "C"};
  effect->SetControls(
      {std::make_shared<Slider>("s", "S", 0.0f, 1.0f, 0.1f), std::make_shared<Choice>("c", "C", abc, 0),
       std::make_shared<ColorPicker>("p", "P", Color{1, 1, 1, 1}),
       std::make_shared<Slider>("was-slider", "W", 0.0f, 1.0f, 0.1f), std::make_shared<Choice>("renamed", "R", abc, 0),
       std::make_shared<Angle>("a", "A", 0.0f, 0.0f), std::make_shared<Checkbox>("b", "B", false, false),
       std::make_shared<Point>("pt", "Pt", Position{}, Position{}),
       std::make_shared<Angle>("was-angle", "WA", 0.0f, 0.0f), std::make_shared<Choice>("out", "O", abc, 0)});
  const Values set{
      {"s", 0.9f},  {"c", 2},    {"p", Color{0.1f, 0.2f, 0.3f, 1.0f}}, {"was-slider", 0.9f}, {"renamed", 1},
      {"a", 90.0f}, {"b", true}, {"pt", Position{0.1f, 0.9f}},         {"was-angle", 45.0f}, {"out", 3}};
  for (const auto& [id, value] : set) ASSERT_TRUE(effect->FindControl(id)->SetValue(value)) << id;

  effect->SetControls(
      {std::make_shared<Slider>("s", "S", 0.0f, 1.0f, 0.5f),
       std::make_shared<Choice>("c", "C", std::vector<std::string>{"X", "Y", "C", "D"}, 0),
       std::make_shared<ColorPicker>("p", "P", Color{1, 1, 1, 1}), std::make_shared<Choice>("was-slider", "W", abc, 1),
       std::make_shared<Choice>("renamed", "R", std::vector<std::string>{"A", "Bee"}, 0),
       std::make_shared<Slider>("new", "N", 0.0f, 1.0f, 0.4f), std::make_shared<Angle>("a", "A", 0.0f, 0.0f),
       std::make_shared<Checkbox>("b", "B", false, false), std::make_shared<Point>("pt", "Pt", Position{}, Position{}),
       std::make_shared<Slider>("was-angle", "WA", 0.0f, 100.0f, 1.0f),
       std::make_shared<Choice>("out", "O", std::vector<std::string>{"A", "B", "C", "D"}, 1)});
  // "c" keeps 2 since its text there is still "C"; a changed kind or text, or
  // a selection past the old options, starts fresh.
  const Values expected{{"s", 0.9f},         {"c", 2},       {"p", Color{0.1f, 0.2f, 0.3f, 1.0f}},
                        {"was-slider", 1},   {"renamed", 0}, {"new", 0.4f},
                        {"a", 90.0f},        {"b", true},    {"pt", Position{0.1f, 0.9f}},
                        {"was-angle", 1.0f}, {"out", 1}};
  for (const auto& [id, value] : expected) EXPECT_EQ(effect->FindControl(id)->GetValue(), value) << id;
  EXPECT_EQ(effect->GetControls().size(), expected.size());

  // Of controls that share an id, the first is found; ids match exactly.
  effect->SetControls({std::make_shared<Slider>("x", "First", 0.0f, 1.0f, 0.1f),
                       std::make_shared<Slider>("x", "Second", 0.0f, 1.0f, 0.2f)});
  EXPECT_EQ(effect->FindControl("x")->GetLabel(), "First");
  EXPECT_EQ(effect->FindControl("X"), nullptr);
}

// Every compile logs one "OpenCL program '...' built" or "... failed to build" line.
const std::string kCopyKernel = "__kernel void copy(__read_only image2d_t input, __write_only image2d_t output,\n"
                                "                   float time, int frame, float duration) {}\n";
const std::string kCopyMetadata = R"({"title": "Copy", "kernel": "copy"})";

TEST_F(EffectCacheTest, SameSourceCompilesOnceAndKeepsItsIdAndOneChangedByteDoesNot) {
  const EffectSource source{2, kCopyKernel, kCopyMetadata};
  const auto first = cache_->GetOrBuildProgram(source);
  ASSERT_TRUE(first.id);
  EXPECT_EQ(first.error, 0);
  EXPECT_FALSE(first.message);
  const auto second = cache_->GetOrBuildProgram(EffectSource{2, kCopyKernel, kCopyMetadata});
  EXPECT_EQ(second.id, first.id);
  EXPECT_EQ(Compiles(), 1);
  // One changed byte of the metadata is another program.
  const auto changed = cache_->GetOrBuildProgram(EffectSource{2, kCopyKernel, kCopyMetadata + " "});
  ASSERT_TRUE(changed.id);
  EXPECT_NE(changed.id, first.id);
  EXPECT_EQ(Compiles(), 2);

  const auto program = cache_->GetProgram(*first.id);
  ASSERT_NE(program, nullptr);
  EXPECT_EQ(program->GetName(), "Copy");
  EXPECT_EQ(program->GetKernelNames(), std::vector<std::string>{"copy"});
  EXPECT_EQ(cache_->GetProgram(Uuid::Generate()), nullptr);

  // A removed program is gone; the same source then builds afresh.
  EXPECT_TRUE(cache_->RemoveProgram(source));
  EXPECT_FALSE(cache_->RemoveProgram(source));
  EXPECT_EQ(cache_->GetProgram(*first.id), nullptr);
  EXPECT_NE(cache_->GetOrBuildProgram(source).id, first.id);
}

TEST_F(EffectCacheTest, MissingEntryPointIsError5AndInvalidMetadataThrows) {
  for (const char* metadata : {R"({"title": "T"})", R"({"kernel": ""})"}) {
    const EffectSource source{2, kCopyKernel, metadata};
    for (int attempt = 0; attempt < 2; ++attempt) {
      const auto result = cache_->GetOrBuildProgram(source);
      EXPECT_FALSE(result.id);
      EXPECT_EQ(result.error, 5);
      EXPECT_EQ(result.message, "No entry point defined in metadata");
    }
  }
  const EffectSource invalid{2, kCopyKernel, "{ not json"};
  EXPECT_THROW(cache_->GetOrBuildProgram(invalid), nlohmann::json::parse_error);
  EXPECT_EQ(Compiles(), 0);
}

TEST_F(EffectCacheTest, FailedBuildIsError18WithTheLogAndIsRetried) {
  const EffectSource source{2, "__kernel void copy( { this is not C", kCopyMetadata};
  const auto first = cache_->GetOrBuildProgram(source);
  EXPECT_FALSE(first.id);
  EXPECT_EQ(first.error, 18);
  ASSERT_TRUE(first.message);
  EXPECT_FALSE(first.message->empty());
  // The message is the build log itself, which the program's report carries too.
  EXPECT_EQ(log_.Count("OpenCL program 'Copy' failed to build:\n" + *first.message), 1);

  const auto second = cache_->GetOrBuildProgram(source);
  EXPECT_EQ(second.error, 18);
  EXPECT_EQ(log_.Count("failed to build"), 2);
}

} // namespace
} // namespace brantok::lumaro::correction

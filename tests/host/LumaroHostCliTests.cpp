#include "ChildProcess.h"
#include "ControlParam.h"
#include "Image.h"
#include "PackageWriter.h"
#include "TempFolder.h"
#include "TestEnvironment.h"
#include "core/PathText.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <utility>

namespace brantok::lumaro::host {
namespace {

using ae::test::kToneChoiceLevels;
using ae::test::kToneChoiceTone;
using ae::test::kWarmGlowAmount;
using ae::test::kWarmGlowTint;
using ae::test::Layout;
using lumaro::test::TempFolder;
using test::ProcessResult;

const std::filesystem::path kEffects = LUMARO_EFFECTS_DIR;

std::string Utf8(const std::filesystem::path& path) { return core::PathToUtf8(path); }

// Width and height of a PNG, through the program's own reader.
std::pair<int, int> PngSize(const std::filesystem::path& path) {
  const auto image = Image::LoadPng(path);
  return {image.Width(), image.Height()};
}

class LumaroHostTest : public ::testing::Test {
protected:
  // The program inherits this environment: sanitizer options that keep its
  // standard error to its own lines, and a log folder inside the build tree.
  static void SetUpTestSuite() {
    static bool prepared = false;
    if (std::exchange(prepared, true)) return;
    // The tests' suppressions plus PoCL's compiler (LLVM), whose allocations
    // while it builds a kernel for the first time have stacks that the fast
    // unwinder ends inside LLVM, short of the libpocl frame the suppressions
    // name; and no list of used suppressions, a second line on standard error.
    const char* options = std::getenv("LSAN_OPTIONS");
    lumaro::test::SetEnvironment("LSAN_OPTIONS", std::string(options ? options : "") +
                                                     ":suppressions=" LUMARO_CLI_LSAN_SUPPRESSIONS
                                                     ":print_suppressions=0");
    const char* scratch = std::getenv("LUMARO_TEST_SCRATCH");
    if (scratch && *scratch && !std::getenv("XDG_DATA_HOME")) {
      lumaro::test::SetEnvironment("XDG_DATA_HOME", std::string(scratch) + "/xdg-data");
    }
  }

  void SetUp() override {
    input_ = folder_ / "in.png";
    output_ = folder_ / "out.png";
    const auto made = Run({"sample", "--output", Utf8(input_), "--width", "40", "--height", "24"});
    ASSERT_EQ(made.exitCode, 0) << made.errors;
  }

  static ProcessResult Run(const std::vector<std::string>& arguments) {
    return test::RunProgram(LUMARO_HOST_PATH, arguments);
  }

  // The program's report with these arguments, parsed; it must succeed and
  // write nothing on standard error.
  static nlohmann::json Report(const std::vector<std::string>& arguments) {
    const auto result = Run(arguments);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(result.errors, "");
    auto report = nlohmann::json::parse(result.output, nullptr, false);
    EXPECT_TRUE(report.is_object()) << result.output;
    return report.is_object() ? report : nlohmann::json::object();
  }

  // The arguments of a render of the package at `effect` with these extra
  // arguments, from `input` (else the sample card) to the output.
  std::vector<std::string> RenderArguments(const std::string& effect, std::vector<std::string> extra = {},
                                           const std::filesystem::path& input = {}) const {
    std::vector<std::string> arguments{
        "render", "--effect", effect, "--input", Utf8(input.empty() ? input_ : input), "--output", Utf8(output_)};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
  }

  // A render of the example `effect` with these extra arguments.
  ProcessResult Render(const std::string& effect, std::vector<std::string> extra = {}) const {
    return Run(RenderArguments(Utf8(kEffects / effect), std::move(extra)));
  }

  // Lines the program wrote. LeakSanitizer's exit-time scan sometimes crashes
  // in its own tracer while the OpenCL runtime's threads go away; its note of
  // that ("has encountered a fatal error", with its hints) is not the
  // program's. A leak it finds is still reported and changes the exit status.
  static long ProgramLines(const std::string& errors) {
    std::istringstream lines(errors);
    long count = 0;
    const bool tracerFailed = errors.find("LeakSanitizer has encountered a fatal error") != std::string::npos;
    for (std::string line; std::getline(lines, line);) {
      const bool noise = tracerFailed &&
                         (line.empty() || line.starts_with("Tracer caught signal") ||
                          (line.starts_with("==") && (line.find("LeakSanitizer has encountered") != std::string::npos ||
                                                      line.find("HINT:") != std::string::npos)));
      if (!noise) ++count;
    }
    return count;
  }

  // Exit status 1 and exactly one line on standard error, which says `reason`;
  // unless `printsNothing` is false, nothing on standard output.
  static void ExpectFailure(const ProcessResult& result, const std::string& reason, bool printsNothing = true) {
    EXPECT_EQ(result.exitCode, 1) << result.errors;
    EXPECT_EQ(ProgramLines(result.errors), 1) << result.errors;
    EXPECT_TRUE(result.errors.starts_with("lumaro-host: ")) << result.errors;
    EXPECT_NE(result.errors.find(reason), std::string::npos) << result.errors;
    if (printsNothing) {
      EXPECT_EQ(result.output, "");
    }
  }

  TempFolder folder_;
  std::filesystem::path input_;
  std::filesystem::path output_;
};

// Mistakes in the command line, its files, its control values or the module
// fail with one line that names them, and write nothing.
TEST_F(LumaroHostTest, MistakesFailWithOneLine) {
  lumaro::test::WriteFile(folder_ / "text.png", "not a picture at all");
  lumaro::test::WriteFile(folder_ / "cut.png", lumaro::test::ReadFile(input_).substr(0, 40));
  lumaro::test::WriteFile(folder_ / "Text.lumaro-effect", "this is no zip archive");
  const std::string warm = Utf8(kEffects / "WarmGlow.lumaro-effect");
  const std::string tone = Utf8(kEffects / "ToneChoice.lumaro-effect");
  const std::string spot = Utf8(kEffects / "Spotlight.lumaro-effect");
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{}, "no command"},
      {{"paint"}, "unknown command 'paint'"},
      {RenderArguments(warm, {"--colour", "red"}), "unknown option '--colour'"},
      {RenderArguments(warm, {"--time"}), "--time needs a value"},
      {{"render", "--input", Utf8(input_), "--output", Utf8(output_)}, "--effect"},
      {RenderArguments(warm, {"--format", "rgba16"}), "--format 'rgba16'"},
      {RenderArguments(warm, {"--host", "resolve"}), "--host 'resolve'"},
      {RenderArguments(warm, {"--time", "soon"}), "--time"},
      {RenderArguments(warm, {"--frame", "-1"}), "--frame"},
      {RenderArguments(warm, {"--time", "0", "--frame", "3"}), "--frame 3"},
      {RenderArguments(warm, {}, folder_ / "absent.png"), "cannot read image"},
      {RenderArguments(warm, {}, folder_ / "text.png"), "is not a PNG image"},
      {RenderArguments(warm, {}, folder_ / "cut.png"), "cut.png"},
      {RenderArguments(Utf8(folder_ / "Absent.lumaro-effect")), "does not exist"},
      {RenderArguments(Utf8(folder_ / "Text.lumaro-effect")), "cannot read effect package"},
      {RenderArguments(warm, {"--set", "glow=1"}), "unknown control id 'glow'"},
      {RenderArguments(warm, {"--set", "amount"}), "ID=VALUE"},
      {RenderArguments(warm, {"--set", "amount=lots"}), "slider 'amount'"},
      {RenderArguments(warm, {"--set", "amount=2"}), "0 to 1"},
      {RenderArguments(warm, {"--set", "tint=orange"}), "#RRGGBB"},
      {RenderArguments(warm, {"--set", "tint=#12345G"}), "#RRGGBB"},
      {RenderArguments(tone, {"--set", "tone=Purple"}), "no option 'Purple'"},
      {RenderArguments(tone, {"--set", "tone=3"}), "no option '3'"},
      {RenderArguments(spot, {"--set", "invert=yes"}), "checkbox 'invert' needs true, false, 1 or 0"},
      {RenderArguments(spot, {"--set", "beam=north"}), "angle 'beam'"},
      {RenderArguments(spot, {"--set", "centre=0.5"}), "point 'centre' needs x,y"},
      {RenderArguments(spot, {"--set", "centre=a,0.5"}), "point 'centre' needs x,y"},
      // What the host cannot store is refused, not wrapped round to another value.
      {RenderArguments(spot, {"--set", "beam=40000"}), "takes -32767 to 32767 degrees"},
      {RenderArguments(spot, {"--set", "beam=1e300"}), "takes -32767 to 32767 degrees"},
      {RenderArguments(spot, {"--set", "centre=1000,0.5"}),
       "lies beyond the 32767 pixels a host can store on a 40x24 layer"},
      // After Effects refuses the frame with its host error.
      {RenderArguments(warm, {"--host", "aftereffects"}), "host error 514"},
      {RenderArguments(warm, {"--module", Utf8(folder_ / "NoSuchModule")}), "does not exist"},
      {RenderArguments(warm, {"--module", Utf8(input_)}), "cannot load module"},
      {{"sample", "--output", Utf8(folder_ / "missing" / "card.png")}, "cannot write"},
      // The user's actions: mistakes fail before anything happens.
      {{"action"}, "--press update|sync or --choose none|browse|effect"},
      {{"action", "--press", "print"}, "unknown --press 'print' (sync|update)"},
      {{"action", "--choose", "Sepia"}, "unknown --choose 'Sepia'"},
      {{"action", "--press", "sync", "--choose", "none"}, "one of --press and --choose"},
      {{"action", "--press", "sync", "--press", "update"}, "--press given twice"},
      // The update check would go to the network; its mistakes never get that far.
      {{"action", "--press", "update", "--answer", "maybe"}, "unknown --answer 'maybe' (yes or no)"},
      {{"action", "--press", "update", "--choose-file"}, "--choose-file needs a value"},
      {{"action", "--press", "update", "--module", Utf8(folder_ / "NoSuchModule")}, "does not exist"},
      {{"action", "--choose", "effect", "--effect", Utf8(folder_ / "Absent.lumaro-effect")},
       "Absent.lumaro-effect does not exist"},
  };
  for (const auto& [arguments, reason] : cases) {
    SCOPED_TRACE(reason);
    ExpectFailure(Run(arguments), reason);
  }
  EXPECT_FALSE(std::filesystem::exists(output_));
  EXPECT_NE(Run({"help"}).output.find("lumaro-host action"), std::string::npos);
}

// From here on the plug-in module does the work.

TEST_F(LumaroHostTest, RendersWithControlValuesFloatFramesChoicesByTextOrIndexAndTime) {
  auto result = Render("WarmGlow.lumaro-effect", {"--set", "amount=0.75", "--set", "tint=#FF8000"});
  ASSERT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_EQ(result.errors, "");
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(PngSize(output_), (std::pair<int, int>{40, 24}));
  EXPECT_NE(lumaro::test::ReadFile(output_), lumaro::test::ReadFile(input_));

  result = Render("ToneChoice.lumaro-effect", {"--format", "bgra32f", "--set", "tone=Invert", "--set=levels=4"});
  ASSERT_EQ(result.exitCode, 0) << result.errors;
  const std::string byText = lumaro::test::ReadFile(output_);
  result = Render("ToneChoice.lumaro-effect", {"--format", "bgra32f", "--set", "tone=2", "--set=levels=4"});
  ASSERT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_EQ(lumaro::test::ReadFile(output_), byText);

  result = Render("PulseVignette.lumaro-effect", {"--time", "0.5", "--frame", "12", "--duration", "4"});
  ASSERT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_EQ(PngSize(output_), (std::pair<int, int>{40, 24}));
}

// Every way a package can fail to become usable fails both commands with
// the plug-in's own reason (a machine without a device: the no-OpenCL test);
// nothing is called built because no failure line was found.
TEST_F(LumaroHostTest, EveryUnusablePackageFailsInfoAndRenderWithItsReason) {
  const std::string fixed = "__read_only image2d_t input, __write_only image2d_t output, float seconds, int frame, "
                            "float duration";
  const auto kernel = [&](const std::string& name, const std::string& arguments) {
    return "__kernel void " + name + "(" + arguments + ") { }\n";
  };
  const auto metadata = [](const std::string& kernelName, const std::string& controls = "") {
    return R"({"kernel": ")" + kernelName + R"(", "controls": [)" + controls + "]}";
  };
  const std::string amount = R"({"class": "slider", "id": "amount", "label": "Amount", "min": 0, "max": 1,)"
                             R"( "default": 0.5})";
  struct Case {
    std::string name;
    std::vector<lumaro::test::PackageEntry> entries; // none: not a zip archive
    std::string reason;
  };
  const std::vector<Case> cases{
      {"NotAZip", {}, "Failed to open zip file"},
      {"NoKernelEntry", {{"metadata.json", metadata("k")}}, "Entry not found in zip: kernel.cl"},
      {"BadMetadata", lumaro::test::StandardEntries(kernel("k", fixed), "{\"controls\": [", ""),
       "has invalid metadata.json: [json.exception.parse_error.101] parse error"},
      {"CompileError",
       lumaro::test::StandardEntries("__kernel void k(" + fixed + ") {\n  no_such_name = 1;\n}\n", metadata("k"), ""),
       "kernel.cl:2:"},
      {"MissingKernel", lumaro::test::StandardEntries(kernel("k", fixed), metadata("absent"), ""),
       "has no kernel named 'absent'"},
      {"EmptyKernel", lumaro::test::StandardEntries("", metadata("k"), ""), "has no kernel named 'k'"},
      {"ArgumentCount", lumaro::test::StandardEntries(kernel("k", fixed + ", float extra"), metadata("k"), ""),
       "declares 6 arguments but needs 5"},
      {"PointerInput",
       lumaro::test::StandardEntries(
           kernel("k", "__global float4* input, __write_only image2d_t output, float seconds, int frame, "
                       "float duration"),
           metadata("k"), ""),
       "input"},
      {"ControlType", lumaro::test::StandardEntries(kernel("k", fixed + ", int amount"), metadata("k", amount), ""),
       "amount"},
  };
  for (const auto& item : cases) {
    SCOPED_TRACE(item.name);
    const auto package = folder_ / (item.name + ".lumaro-effect");
    if (item.entries.empty()) {
      lumaro::test::WriteFile(package, "this is no zip archive");
    } else {
      lumaro::test::WritePackage(package, item.entries);
    }
    const auto render = Run(RenderArguments(Utf8(package)));
    ExpectFailure(render, item.reason);
    EXPECT_FALSE(std::filesystem::exists(output_));
    const auto info = Run({"info", "--json", "--effect", Utf8(package)});
    ExpectFailure(info, item.reason, false);
    if (!info.output.empty()) {
      EXPECT_EQ(nlohmann::json::parse(info.output).value("built", true), false);
    }
  }
}

TEST_F(LumaroHostTest, InfoJsonDescribesTheExampleAndItsControls) {
  auto info = Report({"info", "--json", "--effect", Utf8(kEffects / "ToneChoice.lumaro-effect")});
  EXPECT_EQ(info["name"], "Tone Choice");
  EXPECT_EQ(info["built"], true);
  // Each control with its host parameter and the value it starts at.
  EXPECT_EQ(info["controls"], nlohmann::json::parse(R"([
      {"id": "tone", "kind": "choice", "label": "Tone", "options": ["Sepia", "Monochrome", "Invert"], "default": 0,
       "value": 1, "parameter": 8},
      {"id": "levels", "kind": "slider", "label": "Levels", "min": 2, "max": 32, "default": 8, "value": 8,
       "parameter": 13}])"));

  const auto text = Run({"info", "--effect", Utf8(kEffects / "WarmGlow.lumaro-effect")});
  ASSERT_EQ(text.exitCode, 0) << text.errors;
  EXPECT_NE(text.output.find("Warm Glow"), std::string::npos);
  EXPECT_NE(text.output.find("(built)"), std::string::npos);
  EXPECT_NE(text.output.find("tint"), std::string::npos);
}

// Bad values of these kinds fail with the other mistakes.
TEST_F(LumaroHostTest, CheckboxAngleAndPointValuesRender) {
  auto with = [&](const std::string& invert) {
    return Render("Spotlight.lumaro-effect",
                  {"--set", "beam=-45", "--set", "centre=0.25,0.75", "--set", "invert=" + invert});
  };
  ASSERT_EQ(with("true").exitCode, 0);
  const std::string inverted = lumaro::test::ReadFile(output_);
  ASSERT_EQ(with("1").exitCode, 0);
  EXPECT_EQ(lumaro::test::ReadFile(output_), inverted);
  ASSERT_EQ(with("false").exitCode, 0);
  EXPECT_NE(lumaro::test::ReadFile(output_), inverted);

  // --describe says what the host stored, which the kernel gets.
  const auto described = Render("Spotlight.lumaro-effect", {"--set", "beam=0.000001", "--describe"});
  ASSERT_EQ(described.exitCode, 0) << described.errors;
  EXPECT_NE(described.output.find("Beam Direction 0 deg"), std::string::npos) << described.output;

  auto controls = Report({"info", "--json", "--effect", Utf8(kEffects / "Spotlight.lumaro-effect")})["controls"];
  ASSERT_EQ(controls.size(), 5u);
  EXPECT_EQ(controls[0]["kind"], "point");
  EXPECT_EQ(controls[0]["default"], (nlohmann::json{0.5, 0.5}));
  EXPECT_EQ(controls[0]["value"], (nlohmann::json{0.4, 0.45}));
  EXPECT_EQ(controls[1]["kind"], "angle");
  EXPECT_EQ(controls[1]["value"], 30);
  EXPECT_EQ(controls[2]["kind"], "checkbox");
  EXPECT_EQ(controls[2]["default"], false);
  const auto text = Run({"info", "--effect", Utf8(kEffects / "Spotlight.lumaro-effect")});
  EXPECT_NE(text.output.find("centre  point  \"Centre\"  default 0.5,0.5 of the frame"), std::string::npos);
  EXPECT_NE(text.output.find("beam  angle  \"Beam Direction\"  default 0 degrees"), std::string::npos);
  EXPECT_NE(text.output.find("invert  checkbox  \"Invert\"  default off"), std::string::npos);
}

TEST_F(LumaroHostTest, SampleAndSheetMakePictures) {
  const auto sheet = folder_ / "sheet.png";
  const auto result =
      Run({"sheet", "--output", Utf8(sheet), "--columns", "2", Utf8(input_), Utf8(input_), Utf8(input_)});
  ASSERT_EQ(result.exitCode, 0) << result.errors;
  // Two columns and two rows of 40 x 24 cells with 8-pixel gaps.
  EXPECT_EQ(PngSize(sheet), (std::pair<int, int>{8 + 2 * 48, 8 + 2 * 32}));
  // Captions take a band of two lines under each cell's image.
  const auto captioned = Run({"sheet", "--output", Utf8(sheet), "--caption", "Before", "--caption",
                              "Warm Glow: Amount 0.75", Utf8(input_), Utf8(input_)});
  ASSERT_EQ(captioned.exitCode, 0) << captioned.errors;
  EXPECT_EQ(PngSize(sheet), (std::pair<int, int>{8 + 2 * 48, 8 + 24 + 48 + 8}));
  ExpectFailure(Run({"sheet", "--output", Utf8(sheet)}), "at least one image");
}

bool SameFile(const nlohmann::json& text, const std::filesystem::path& path) {
  std::error_code error;
  return text.is_string() && std::filesystem::equivalent(core::PathFromUtf8(text.get<std::string>()), path, error);
}

// The user's actions in the effect's panel, through `lumaro-host action`.
class LumaroHostActionTest : public LumaroHostTest {
protected:
  // `lumaro-host action --json` with these arguments, parsed.
  static nlohmann::json Action(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"action", "--json"});
    return Report(arguments);
  }

  static std::vector<int> ControlParameters(const nlohmann::json& report) {
    std::vector<int> indices;
    for (const auto& control : report["controls"]) indices.push_back(control["parameter"].get<int>());
    return indices;
  }
};

TEST_F(LumaroHostActionTest, BrowsingToAnExampleLoadsItAndShowsItsControls) {
  const auto example = kEffects / "WarmGlow.lumaro-effect";
  const auto report = Action({"--choose", "browse", "--choose-file", Utf8(example)});
  EXPECT_EQ(report["action"], "choose browse");
  ASSERT_EQ(report["dialogs"].size(), 1u) << report.dump();
  EXPECT_EQ(report["dialogs"][0]["dialog"], "open file");
  EXPECT_EQ(report["dialogs"][0]["title"], "Select Lumaro Effect");
  EXPECT_TRUE(SameFile(report["dialogs"][0]["file"], example)) << report.dump();
  EXPECT_TRUE(SameFile(report["effectPath"], example)) << report.dump();
  EXPECT_EQ(report["effectPopup"]["value"], Layout::PopupEffect);
  EXPECT_EQ(report["effectPopup"]["choices"], (nlohmann::json{"None", "Browse...", "(-", "WarmGlow"}));
  EXPECT_EQ(report["effectPopup"]["choice"], "WarmGlow");
  EXPECT_EQ(report["effectId"], true);
  EXPECT_EQ(ControlParameters(report), (std::vector<int>{kWarmGlowAmount, kWarmGlowTint}));
  EXPECT_EQ(report["controls"][0]["name"], "Amount");
  EXPECT_EQ(report["controls"][0]["type"], "slider");
  EXPECT_EQ(report["controls"][0]["disabled"], false);
  EXPECT_EQ(report["controls"][1]["name"], "Tint");
  EXPECT_EQ(report["controls"][1]["type"], "color");
  EXPECT_EQ(report["unused"], nlohmann::json::array());
}

// A new version saved over the clip's package while the project is open is
// what the clip then uses.
TEST_F(LumaroHostActionTest, ANewVersionSavedOverThePackageIsPickedUp) {
  const auto package = folder_ / "Look.lumaro-effect";
  std::filesystem::copy_file(kEffects / "WarmGlow.lumaro-effect", package);
  const auto report = Action(
      {"--effect", Utf8(package), "--new-version", Utf8(kEffects / "ToneChoice.lumaro-effect"), "--choose", "effect"});
  EXPECT_EQ(ControlParameters(report), (std::vector<int>{kToneChoiceTone, kToneChoiceLevels})) << report.dump();
  EXPECT_EQ(lumaro::test::ReadFile(package), lumaro::test::ReadFile(kEffects / "ToneChoice.lumaro-effect"));
}

// A project reopened where its package is missing renders from the copy it keeps.
TEST_F(LumaroHostActionTest, AProjectWithoutItsPackageUsesTheCopyItKeeps) {
  const auto report =
      Action({"--effect", Utf8(kEffects / "WarmGlow.lumaro-effect"), "--choose", "effect", "--reopen-without-package"});
  EXPECT_EQ(report["effectPopup"]["choice"], "WarmGlow (kept in project)") << report.dump();
  EXPECT_EQ(ControlParameters(report), (std::vector<int>{kWarmGlowAmount, kWarmGlowTint}));
  EXPECT_FALSE(std::filesystem::exists(core::PathFromUtf8(report["effectPath"].get<std::string>())));
}

TEST_F(LumaroHostActionTest, CancellingBrowseTurnsTheEffectOff) {
  const auto result = Run({"action", "--effect", Utf8(kEffects / "WarmGlow.lumaro-effect"), "--choose", "browse"});
  ASSERT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_NE(result.output.find("open file:    Select Lumaro Effect -> cancelled\n"), std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find("effect popup: 1 None ("), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("controls:     0\n"), std::string::npos) << result.output;
}

// A machine without an OpenCL driver keeps the user's choice and says why;
// the same project, opened where the runtime is, renders the effect.
TEST_F(LumaroHostActionTest, WithoutOpenClTheChoiceIsKeptForAMachineThatHasADevice) {
  TempFolder noDriver;
  const auto example = kEffects / "WarmGlow.lumaro-effect";
  // Under Wine the program runs as a copy elsewhere, without the module beside it.
  auto withoutOpenCl = [&](std::vector<std::string> arguments) {
    arguments.insert(arguments.end(), {"--module", LUMARO_MODULE_PATH});
    return test::RunProgramWithoutOpenCl(LUMARO_HOST_PATH, arguments, noDriver.Path());
  };
  const auto chosen =
      withoutOpenCl({"action", "--choose", "browse", "--choose-file", Utf8(example), "--answer", "yes"});
  if (!chosen) GTEST_SKIP() << "the OpenCL runtime cannot be hidden on Windows itself";
  ASSERT_EQ(chosen->exitCode, 0) << chosen->errors;
  EXPECT_EQ(chosen->errors, "");
  // What the module shows and keeps is its own tests'; the report carries it.
  // A box with only OK takes no answer: the one given is reported unused.
  const std::string& report = chosen->output;
  for (const std::string part : {"\nmessage box:  (error) No OpenCL Device: No OpenCL device was found, so 'WarmGlow'",
                                 " -> ok\neffect path:  ", "\ncontrols:     0\nunused:       --answer yes\n"}) {
    EXPECT_NE(report.find(part), std::string::npos) << report;
  }
  const auto path = report.find("effect path:  ") + 14;

  const std::string reason = "No OpenCL device was found: a graphics driver with OpenCL support is needed";
  ExpectFailure(*withoutOpenCl(RenderArguments(Utf8(example))), reason);
  ExpectFailure(*withoutOpenCl({"info", "--effect", Utf8(example)}), reason);
  EXPECT_FALSE(std::filesystem::exists(output_));

  const auto render = Run(RenderArguments(report.substr(path, report.find('\n', path) - path)));
  ASSERT_EQ(render.exitCode, 0) << render.errors;
  EXPECT_NE(lumaro::test::ReadFile(output_), lumaro::test::ReadFile(input_));
}

} // namespace
} // namespace brantok::lumaro::host

#include "Commands.h"

#include "CliError.h"
#include "CliOptions.h"
#include "CommandLine.h"
#include "ControlValues.h"
#include "EffectPackage.h"
#include "FrameTiming.h"
#include "Image.h"
#include "ModuleRun.h"
#include "Pictures.h"
#include "WorldPixels.h"
#include "core/PathText.h"

#include <iostream>
#include <sstream>
#include <system_error>

namespace brantok::lumaro::host {
namespace {

// The module the build placed beside this program.
std::filesystem::path ModulePath(const std::optional<std::filesystem::path>& given) {
  if (given) return *given;
  const auto executable = ExecutablePath();
  if (executable.empty()) throw CliError("cannot find this program's folder; give --module PATH");
  return executable.parent_path() / LUMARO_MODULE_FILE_NAME;
}

void CheckWritableFolder(const std::filesystem::path& output) {
  const auto folder = output.parent_path();
  std::error_code error;
  if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
    throw CliError("cannot write " + core::PathToUtf8(output) + ": no folder " + core::PathToUtf8(folder));
  }
}

std::string Number(const nlohmann::json& value) {
  std::ostringstream text;
  text << value.get<double>();
  return text.str();
}

std::string FormatInfo(const nlohmann::json& info) {
  std::ostringstream text;
  text << info["name"].get<std::string>() << " (" << info["package"].get<std::string>() << ")\n";
  text << "  kernel:   " << info["kernel"].get<std::string>()
       << (info["built"].get<bool>() ? " (built)" : " (did not build: " + info["log"].get<std::string>() + ")") << "\n";
  std::string prompt = info["prompt"].get<std::string>();
  while (!prompt.empty() && (prompt.back() == '\n' || prompt.back() == '\r')) prompt.pop_back();
  text << "  prompt:   " << prompt << "\n";
  text << "  controls: " << info["controls"].size() << "\n";
  for (const auto& control : info["controls"]) {
    const std::string kind = control["kind"].get<std::string>();
    text << "    " << control["id"].get<std::string>() << "  " << kind << "  \"" << control["label"].get<std::string>()
         << "\"  ";
    if (kind == "slider") {
      text << "range " << Number(control["min"]) << " to " << Number(control["max"]) << ", default "
           << Number(control["default"]);
    } else if (kind == "choice") {
      text << "options";
      int index = 0;
      for (const auto& option : control["options"]) text << " " << index++ << ":'" << option.get<std::string>() << "'";
      text << ", default " << control["default"].get<int>();
    } else {
      text << "default " << control["default"].get<std::string>();
    }
    text << "\n";
  }
  return text.str();
}

void CheckStatus(const EffectPackage& package, const ModuleRun::Status& status) {
  const std::string shown = core::PathToUtf8(package.Path());
  if (!status.loaded) throw CliError("effect package " + shown + " does not load: " + status.log);
  if (!status.built) throw CliError("the kernel of effect package " + shown + " did not build: " + status.log);
}

} // namespace

int RunRender(const std::vector<std::string>& arguments) {
  const RenderOptions options = ParseRenderOptions(arguments);
  const FrameTime time = ChooseFrameTime(options.time, options.frame, options.duration);
  const auto module = ModulePath(options.module);
  const EffectPackage package(options.effect);
  ControlValues values(package);
  for (const auto& assignment : options.sets) values.Set(assignment);
  const Image input = Image::LoadPng(options.input);
  CheckWritableFolder(options.output);

  // Premiere Pro renders the formats the plug-in asks for; After Effects has
  // its own ARGB layout (its frames are refused before the format matters).
  const bool premiere = options.app == eHostApp::PremierePro;
  const PrPixelFormat format = options.floatFormat
                                   ? (premiere ? PrPixelFormat_BGRA_4444_32f : PrPixelFormat_ARGB_4444_32f)
                                   : (premiere ? PrPixelFormat_BGRA_4444_8u : PrPixelFormat_ARGB_4444_8u);
  HostWorld inputWorld(input.Width(), input.Height(), format);
  HostWorld outputWorld(input.Width(), input.Height(), format);
  WriteImageToWorld(input, inputWorld);
  {
    ModuleRun run(module, options.app);
    CheckStatus(package, run.Open(package.Path(), package.ParameterIndices()));
    values.ApplyTo(run.Params());
    run.Render(inputWorld, outputWorld, time);
    run.Close();
  }
  ReadImageFromWorld(outputWorld).SavePng(options.output);
  return 0;
}

int RunInfo(const std::vector<std::string>& arguments) {
  const InfoOptions options = ParseInfoOptions(arguments);
  const auto module = ModulePath(options.module);
  const EffectPackage package(options.effect);
  ModuleRun::Status status;
  {
    ModuleRun run(module, eHostApp::PremierePro);
    status = run.Open(package.Path(), package.ParameterIndices());
    run.Close();
  }
  if (!status.loaded) CheckStatus(package, status);
  auto info = package.Describe();
  info["built"] = status.built;
  info["log"] = status.log;
  std::cout << (options.json ? info.dump(2) + "\n" : FormatInfo(info));
  std::cout.flush();
  // The description is printed either way; a kernel that does not build
  // still fails the command.
  CheckStatus(package, status);
  return 0;
}

int RunSample(const std::vector<std::string>& arguments) {
  const SampleOptions options = ParseSampleOptions(arguments);
  CheckWritableFolder(options.output);
  MakeTestCard(options.width, options.height).SavePng(options.output);
  return 0;
}

int RunSheet(const std::vector<std::string>& arguments) {
  const SheetOptions options = ParseSheetOptions(arguments);
  std::vector<Image> images;
  for (const auto& path : options.images) images.push_back(Image::LoadPng(path));
  CheckWritableFolder(options.output);
  MakeSheet(images, options.columns).SavePng(options.output);
  return 0;
}

std::string Usage() {
  return R"(usage:
  lumaro-host render --effect PKG --input IN.png --output OUT.png
                     [--format bgra8|bgra32f] [--set ID=VALUE]...
                     [--time SECONDS] [--frame N] [--duration SECONDS]
                     [--host premiere|aftereffects] [--module PATH]
  lumaro-host info   --effect PKG [--json] [--module PATH]
  lumaro-host sample --output OUT.png [--width W] [--height H]
  lumaro-host sheet  --output OUT.png [--columns N] IMAGE.png...
  lumaro-host help

render loads the plug-in module (by default the one beside this program),
opens PKG in it as a host does, sets the controls (--set: slider NUMBER,
colour #RRGGBB, choice OPTION or 0-based INDEX) and renders one frame.
info prints the package's name, whether its kernel builds, and its controls.
sample writes a test card; sheet lays images out in a grid (default 2 columns).
Exit status 0 on success, 1 with one line on standard error otherwise.
)";
}

} // namespace brantok::lumaro::host

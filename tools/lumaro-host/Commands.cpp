#include "Commands.h"

#include "ActionReport.h"
#include "CliError.h"
#include "CliOptions.h"
#include "CommandLine.h"
#include "ControlValues.h"
#include "EffectPackage.h"
#include "FrameTiming.h"
#include "Image.h"
#include "ModuleRun.h"
#include "Pictures.h"
#include "ScriptedUser.h"
#include "WorldPixels.h"
#include "core/PathText.h"

#include <chrono>
#include <iostream>
#include <memory>
#include <sstream>
#include <system_error>
#include <thread>

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
    } else if (kind == "angle") {
      text << "default " << Number(control["default"]) << " degrees";
    } else if (kind == "checkbox") {
      text << "default " << (control["default"].get<bool>() ? "on" : "off");
    } else if (kind == "point") {
      text << "default " << Number(control["default"][0]) << "," << Number(control["default"][1]) << " of the frame";
    } else {
      text << "default " << control["default"].get<std::string>();
    }
    text << "\n";
  }
  return text.str();
}

void CheckStatus(const EffectPackage& package, const ModuleRun::Status& status) {
  const std::string shown = core::PathToUtf8(package.Path());
  // Not the package's fault: the plug-in's own words.
  if (status.noDevice) throw CliError(status.log);
  if (!status.loaded) throw CliError("effect package " + shown + " does not load: " + status.log);
  if (!status.built) throw CliError("the kernel of effect package " + shown + " did not build: " + status.log);
}

// A new version saved the way applications save safely: written beside the
// file, then renamed over it.
void SaveOver(const std::filesystem::path& version, const std::filesystem::path& package) {
  auto saving = package;
  saving += ".saving";
  std::error_code error;
  std::filesystem::copy_file(version, saving, std::filesystem::copy_options::overwrite_existing, error);
  if (!error) std::filesystem::rename(saving, package, error);
  if (error)
    throw CliError("cannot save " + core::PathToUtf8(version) + " over " + core::PathToUtf8(package) + ": " +
                   error.message());
}

// The user answers the plug-in's dialogs for as long as this lives.
class ActiveUser {
public:
  explicit ActiveUser(ScriptedUser& user) { ScriptedUser::SetActive(&user); }
  ~ActiveUser() { ScriptedUser::SetActive(nullptr); }
  ActiveUser(const ActiveUser&) = delete;
  ActiveUser& operator=(const ActiveUser&) = delete;
};

constexpr PF_ParamIndex kUpdateButton = 1;
constexpr PF_ParamIndex kSyncButton = 2;
constexpr PF_ParamIndex kEffectPopup = 3;

// The Effect popup's item for each choice (1-based; 3 is the separator).
A_long PopupValue(ActionOptions::eAction action) {
  switch (action) {
  case ActionOptions::eAction::ChooseBrowse:
    return 2;
  case ActionOptions::eAction::ChooseEffect:
    return 4;
  default:
    return 1;
  }
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
    run.SetLayerSize(input.Width(), input.Height());
    CheckStatus(package, run.Open(package.Path(), package.ParameterIndices()));
    values.ApplyTo(run.Params(), input.Width(), input.Height());
    run.Render(inputWorld, outputWorld, time);
    run.Close();
  }
  ReadImageFromWorld(outputWorld).SavePng(options.output);
  if (options.describe) std::cout << values.Describe() << "\n";
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

int RunAction(const std::vector<std::string>& arguments) {
  using eAction = ActionOptions::eAction;
  const ActionOptions options = ParseActionOptions(arguments);
  const auto module = ModulePath(options.module);
  std::error_code error;
  for (const auto& file : {options.effect, options.newVersion}) {
    if (file && !std::filesystem::is_regular_file(*file, error)) {
      throw CliError("effect package " + core::PathToUtf8(*file) + " does not exist");
    }
  }

  // The controls start as render's do, when the package can be read; one
  // that cannot is still stored, to try what the plug-in makes of it.
  std::unique_ptr<EffectPackage> package;
  std::unique_ptr<ControlValues> values;
  if (options.effect) {
    try {
      package = std::make_unique<EffectPackage>(*options.effect);
      values = std::make_unique<ControlValues>(*package);
    } catch (const CliError&) {
    }
  }

  // A copy the project can lose without touching the user's file.
  std::optional<std::filesystem::path> copyFolder;
  auto effect = options.effect;
  if (options.reopenWithoutPackage) {
    copyFolder = std::filesystem::temp_directory_path(error) /
                 ("lumaro-host-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    effect = *copyFolder / options.effect->filename();
    std::filesystem::create_directories(*copyFolder, error);
    std::filesystem::copy_file(*options.effect, *effect, error);
    if (error) throw CliError("cannot copy " + core::PathToUtf8(*options.effect) + ": " + error.message());
  }
  struct FolderRemover {
    std::optional<std::filesystem::path> folder;
    ~FolderRemover() {
      std::error_code ignored;
      if (folder) std::filesystem::remove_all(*folder, ignored);
    }
  } remover{copyFolder};

  ScriptedUser user(options.answers, options.chooseFile, options.saveFile);
  nlohmann::ordered_json state;
  {
    const ActiveUser active(user);
    ModuleRun run(module, eHostApp::PremierePro);
    // No frame is rendered: the effect sits on an HD layer, where points are
    // placed.
    constexpr A_long kLayerWidth = 1920;
    constexpr A_long kLayerHeight = 1080;
    run.SetLayerSize(kLayerWidth, kLayerHeight);
    // Whether the stored package loads is part of what the state shows.
    if (effect) {
      run.Open(*effect, {});
      if (values) values->ApplyTo(run.Params(), kLayerWidth, kLayerHeight);
    } else {
      run.OpenEmpty();
    }
    if (options.newVersion) {
      SaveOver(*options.newVersion, *effect);
      // The plug-in looks at the file at most four times a second; the editor
      // then looks at the clip again.
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      run.RefreshPanel();
    }
    switch (options.action) {
    case eAction::PressUpdate:
      run.UserChangedParam(kUpdateButton);
      break;
    case eAction::PressSync:
      run.UserChangedParam(kSyncButton);
      break;
    case eAction::ChooseNone:
    case eAction::ChooseBrowse:
    case eAction::ChooseEffect:
      // The panel changes the value before the plug-in hears of it.
      run.Params().SetPopupValue(kEffectPopup, PopupValue(options.action));
      run.UserChangedParam(kEffectPopup);
      break;
    }
    if (options.reopenWithoutPackage) {
      std::filesystem::remove(*effect, error);
      run.Reopen();
    }
    state = DescribeParameters(run.Params(), run.SequenceRecord());
    run.Close();
  }

  const std::string actionText =
      options.actionText + (options.reopenWithoutPackage ? ", then reopened without the package" : "");
  nlohmann::ordered_json report = {{"action", actionText}, {"dialogs", DescribeDialogs(user.Dialogs())}};
  for (const auto& [key, value] : state.items()) report[key] = value;
  nlohmann::ordered_json unused = nlohmann::ordered_json::array();
  for (std::size_t i = options.answers.size() - user.UnusedAnswers(); i < options.answers.size(); ++i) {
    unused.push_back(std::string("--answer ") + (options.answers[i] ? "yes" : "no"));
  }
  if (user.OpenFileUnused()) unused.push_back("--choose-file");
  if (user.SaveFileUnused()) unused.push_back("--save-file");
  report["unused"] = std::move(unused);
  std::cout << (options.json ? report.dump(2) + "\n" : FormatActionReport(report));
  std::cout.flush();
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
  MakeSheet(images, options.columns, options.captions).SavePng(options.output);
  return 0;
}

std::string Usage() {
  return R"(usage:
  lumaro-host render --effect PKG --input IN.png --output OUT.png
                     [--format bgra8|bgra32f] [--set ID=VALUE]...
                     [--time SECONDS] [--frame N] [--duration SECONDS]
                     [--host premiere|aftereffects] [--module PATH] [--describe]
  lumaro-host info   --effect PKG [--json] [--module PATH]
  lumaro-host action [--effect PKG] (--press update|sync | --choose none|browse|effect)
                     [--answer yes|no]... [--choose-file PATH] [--save-file PATH]
                     [--json] [--module PATH]
  lumaro-host sample --output OUT.png [--width W] [--height H]
  lumaro-host sheet  --output OUT.png [--columns N] [--caption TEXT]... IMAGE.png...
  lumaro-host help

render loads the plug-in module (by default the one beside this program),
opens PKG in it as a host does, sets the controls (--set: slider NUMBER,
colour #RRGGBB, choice OPTION or 0-based INDEX, checkbox true|false|1|0,
angle DEGREES, point X,Y as fractions of the frame) and renders one frame;
--describe prints the effect's name and the values used on one line.
info prints the package's name, whether its kernel builds, and its controls.
action opens a project (with --effect, one that uses PKG; else an empty one)
and does what a user does in the effect's panel: presses "Check for
updates..." or "Sync From Lumaro", or chooses an Effect popup item (None,
Browse..., or the stored effect). The plug-in's dialogs are answered from
the command line: question boxes take the --answer values in order, then No;
boxes with only OK are acknowledged; the open dialog returns --choose-file
and the save dialog --save-file, each cancelled when not given. It prints
every dialog (one line each) and the resulting Effect Path, popup, effect id
and visible controls, or with --json the same as one object. Answering yes to
an offered update opens the download page in the browser, as the plug-in does.
sample writes a test card; sheet lays images out in a grid (default 2 columns),
each under its --caption, in order.
Exit status 0 on success, 1 with one line on standard error otherwise.
)";
}

} // namespace brantok::lumaro::host

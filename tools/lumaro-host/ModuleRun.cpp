#include "ModuleRun.h"

#include "CliError.h"
#include "HandleStore.h"
#include "core/Logger.h"
#include "core/PathText.h"

#include <sstream>
#include <system_error>

namespace brantok::lumaro::host {
namespace {

constexpr PF_ParamIndex kEffectPopup = 3;
constexpr PF_ParamIndex kEffectPath = 4;
constexpr A_long kLoadedEffectChoice = 4;

constexpr const char* kLoadFailure = "Failed to load effect from path: ";
// Said once when no GPU context can be made, in place of the load failure.
constexpr const char* kNoDevice = "No OpenCL device was found";
constexpr const char* kBuildFailure = "PromptEffect::BuildFromSource failed due to ";
// What the plug-in's message box prints when no dialog can be shown; it
// follows the build log and repeats what we report.
constexpr const char* kMessageBox = "Unsupported Lumaro Effect: ";

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Compiler noise that says nothing the log lines do not.
bool IsNoise(const std::string& line) {
  if (line.find_first_not_of("^~ ") == std::string::npos) return true;
  return line.ends_with(" generated.") &&
         (line.find(" error") != std::string::npos || line.find(" warning") != std::string::npos);
}

// The message from `marker` on, up to the message box, as one line.
std::string OneLine(const std::string& text, std::size_t from) {
  std::string rest = text.substr(from);
  if (const auto box = rest.find(kMessageBox); box != std::string::npos) rest.resize(box);
  std::istringstream lines(rest);
  std::string joined;
  for (std::string line; std::getline(lines, line);) {
    line = Trim(line);
    if (line.empty() || IsNoise(line)) continue;
    joined += (joined.empty() ? "" : " | ") + line;
  }
  return joined;
}

ModuleRun::Status Judge(const std::string& errors, const HostParameters& params,
                        const std::vector<PF_ParamIndex>& controls) {
  ModuleRun::Status status;
  if (const auto at = errors.find(kNoDevice); at != std::string::npos) {
    status.noDevice = true;
    // Up to what the plug-in does with frames meanwhile, which no command here sees.
    status.log = Trim(errors.substr(at, errors.find_first_of(";\n", at) - at));
    return status;
  }
  if (const auto at = errors.find(kLoadFailure); at != std::string::npos) {
    status.log = OneLine(errors, at + std::string(kLoadFailure).size());
    if (const auto reason = status.log.find(". Error: "); reason != std::string::npos) {
      status.log = status.log.substr(reason + 9);
    }
    return status;
  }
  bool shown = false;
  bool disabled = false;
  for (PF_ParamIndex index : controls) {
    if (index >= static_cast<PF_ParamIndex>(params.Count())) continue;
    const PF_ParamDef& def = params.At(index);
    if (def.ui_flags & PF_PUI_INVISIBLE) continue;
    shown = true;
    disabled = disabled || (def.ui_flags & PF_PUI_DISABLED);
  }
  const auto build = errors.find(kBuildFailure);
  if (!controls.empty() && !shown && build == std::string::npos) {
    status.log = "the plug-in shows none of its controls";
    return status;
  }
  status.loaded = true;
  status.built = build == std::string::npos && !disabled;
  if (build != std::string::npos) status.log = OneLine(errors, build + std::string(kBuildFailure).size());
  return status;
}

} // namespace

ModuleRun::ModuleRun(const std::filesystem::path& module, eHostApp app) {
  const std::string shown = core::PathToUtf8(module);
  std::error_code error;
  if (!std::filesystem::is_regular_file(module, error)) throw CliError("module " + shown + " does not exist");
  std::string reason;
  module_ = LoadedModule::Load(module, reason);
  if (!module_) throw CliError("cannot load module " + shown + ": " + reason);
  const auto entry = EffectHost::FindEntryPoint(*module_);
  if (!entry) throw CliError("module " + shown + " has no EffectMain");
  host_ = std::make_unique<EffectHost>(entry, app);
  // Only what a real host sends: a panel that needs an unasked refresh shows
  // here as it would in the video editor.
  host_->SetStrict(true);
}

ModuleRun::~ModuleRun() {
  // After a failure the plug-in still gets its setdowns, as a host closing
  // the project would send them; their results no longer matter.
  if (sequenceSetUp_) host_->SequenceSetdown(sequence_);
  if (globalSetUp_) host_->GlobalSetdown();
  host_.reset();
  module_.reset();
}

void ModuleRun::Check(PF_Err error, const char* command) {
  if (error == PF_Err_NONE) return;
  const std::string hostError = host_->LastHostError();
  if (!hostError.empty()) throw CliError("host error " + std::to_string(error) + " in " + hostError);
  const std::string message = host_->LastReturnMessage();
  throw CliError("host error " + std::to_string(error) + " in " + command + (message.empty() ? "" : ": " + message));
}

void ModuleRun::SetUp() {
  Check(host_->GlobalSetup(), "GLOBAL_SETUP");
  globalSetUp_ = true;
  Check(host_->ParamsSetup(), "PARAMS_SETUP");
  const auto& params = host_->Params();
  if (params.Count() <= kEffectPath || params.At(kEffectPopup).param_type != PF_Param_POPUP ||
      params.At(kEffectPath).param_type != PF_Param_ARBITRARY_DATA) {
    throw CliError("the module set up " + std::to_string(params.Count() - 1) +
                   " parameters, without the Effect popup and the Effect Path");
  }
  const PF_Err sequenceError = host_->SequenceSetup(sequence_);
  sequenceSetUp_ = true;
  Check(sequenceError, "SEQUENCE_SETUP");
}

ModuleRun::Status ModuleRun::Open(const std::filesystem::path& package, const std::vector<PF_ParamIndex>& controls) {
  SetUp();
  std::error_code error;
  const auto absolute = std::filesystem::absolute(package, error);
  if (!host_->Params().WriteArbitraryText(kEffectPath, core::PathToUtf8(error ? package : absolute))) {
    throw CliError("the path of " + core::PathToUtf8(package) + " is too long for the Effect Path parameter");
  }
  host_->Params().SetPopupValue(kEffectPopup, kLoadedEffectChoice);

  const std::size_t before = capture_.Errors().size();
  logFiles_.Appended();
  Check(host_->UpdateParamsUI(sequence_), "UPDATE_PARAMS_UI");
  std::string errors = capture_.Errors();
  errors = errors.size() > before ? errors.substr(before) : std::string();
  Status status = Judge(errors, host_->Params(), controls);
  if ((!status.loaded || !status.built) && status.log.empty()) {
    status = Judge(logFiles_.Appended(), host_->Params(), controls);
    if (status.log.empty())
      status.log = "see the plug-in's log in " + core::PathToUtf8(core::Logger::GetLogDirectory());
  }
  return status;
}

void ModuleRun::OpenEmpty() {
  SetUp();
  Check(host_->UpdateParamsUI(sequence_), "UPDATE_PARAMS_UI");
}

void ModuleRun::UserChangedParam(PF_ParamIndex index) {
  Check(host_->UserChangedParam(sequence_, index), "USER_CHANGED_PARAM");
}

std::vector<std::uint8_t> ModuleRun::SequenceRecord() const {
  return HandleStore::Instance().Bytes(host_->SequenceData(sequence_));
}

void ModuleRun::Render(HostWorld& input, HostWorld& output, const FrameTime& time) {
  Check(host_->Render(sequence_, input, output, time), "RENDER");
}

void ModuleRun::Close() {
  sequenceSetUp_ = false;
  Check(host_->SequenceSetdown(sequence_), "SEQUENCE_SETDOWN");
  globalSetUp_ = false;
  Check(host_->GlobalSetdown(), "GLOBAL_SETDOWN");
}

} // namespace brantok::lumaro::host
